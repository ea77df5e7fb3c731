// The templates file loaded and saved: once over the real files in a
// temporary folder (each save writes, flushes and renames), once over memory
// to show the store's own share.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <system_error>

#include "templates/template_store.h"

namespace {

using namespace parvel;

class MemoryFiles final : public TemplateFiles {
 public:
  std::optional<std::string> ReadAll(const std::filesystem::path& file) override {
    const auto found = files_.find(file);
    if (found == files_.end()) return std::nullopt;
    return found->second;
  }
  bool Replace(const std::filesystem::path& file, std::string_view bytes) override {
    files_[file] = bytes;
    return true;
  }
  bool CreateFolder(const std::filesystem::path&) override { return true; }

 private:
  std::map<std::filesystem::path, std::string> files_;
};

class BenchFolder {
 public:
  BenchFolder()
      : path_(
            std::filesystem::temp_directory_path() /
            ("parvel-templates-bench-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)))) {
    std::filesystem::create_directories(path_);
  }
  ~BenchFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  BenchFolder(const BenchFolder&) = delete;
  BenchFolder& operator=(const BenchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// n entries of a typical size: a short name and a message of about 120 characters.
void Fill(TemplateStore& store, int entries) {
  const std::wstring text(110, L'x');
  for (int i = 0; i < entries; ++i) {
    store.AddTemplate(L"Template " + std::to_wstring(i), L"Message " + std::to_wstring(i) + text);
  }
}

template <typename Files>
void Load(benchmark::State& state, Files& files, const std::filesystem::path& folder) {
  const auto entries = static_cast<int>(state.range(0));
  TemplateStore writer(files, folder);
  Fill(writer, entries);
  writer.SaveTemplates();
  TemplateStore store(files, folder);
  for (auto _ : state) {
    store.LoadTemplates();
    benchmark::DoNotOptimize(store.TemplateTexts().data());
  }
  if (store.TemplateCount() != static_cast<std::size_t>(entries)) {
    state.SkipWithError("the file did not hold every entry");
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * entries);
  state.SetComplexityN(entries);
}

template <typename Files>
void Save(benchmark::State& state, Files& files, const std::filesystem::path& folder) {
  const auto entries = static_cast<int>(state.range(0));
  TemplateStore store(files, folder);
  Fill(store, entries);
  for (auto _ : state) store.SaveTemplates();
  TemplateStore reader(files, folder);
  reader.LoadTemplates();
  if (reader.TemplateCount() != static_cast<std::size_t>(entries)) {
    state.SkipWithError("the file did not hold every entry");
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * entries);
  state.SetComplexityN(entries);
}

void BM_LoadTemplatesFromDisk(benchmark::State& state) {
  BenchFolder folder;
  DiskFiles files;
  Load(state, files, folder.path());
}

void BM_SaveTemplatesToDisk(benchmark::State& state) {
  BenchFolder folder;
  DiskFiles files;
  Save(state, files, folder.path());
}

void BM_LoadTemplatesFromMemory(benchmark::State& state) {
  MemoryFiles files;
  Load(state, files, "memory");
}

void BM_SaveTemplatesToMemory(benchmark::State& state) {
  MemoryFiles files;
  Save(state, files, "memory");
}

void Sizes(benchmark::internal::Benchmark* bench) {
  bench->RangeMultiplier(10)->Range(100, 10000)->Unit(benchmark::kMillisecond);
  bench->Complexity(benchmark::oN);
}

BENCHMARK(BM_LoadTemplatesFromDisk)->Apply(Sizes);
BENCHMARK(BM_SaveTemplatesToDisk)->Apply(Sizes);
BENCHMARK(BM_LoadTemplatesFromMemory)->Apply(Sizes);
BENCHMARK(BM_SaveTemplatesToMemory)->Apply(Sizes);

}  // namespace
