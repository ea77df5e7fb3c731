#include <utility>
#include <vector>

#include "fuzz_support.h"
#include "templates/template_store.h"

namespace {

// The templates file in memory: it holds the fuzz bytes until a save replaces them.
class MemoryFiles final : public parvel::TemplateFiles {
 public:
  explicit MemoryFiles(std::string bytes) : bytes_(std::move(bytes)) {}
  std::optional<std::string> ReadAll(const std::filesystem::path&) override { return bytes_; }
  bool Replace(const std::filesystem::path&, std::string_view bytes) override {
    bytes_ = bytes;
    return true;
  }
  bool CreateFolder(const std::filesystem::path&) override { return true; }

 private:
  std::string bytes_;
};

using Entries = std::vector<std::pair<std::wstring, std::wstring>>;

Entries Loaded(const parvel::TemplateStore& store) {
  using parvel::kLabelMarker;
  PARVEL_FUZZ_CHECK(store.TemplateLabels().size() == store.TemplateCount() + 1);
  PARVEL_FUZZ_CHECK(store.TemplateTexts().size() == store.TemplateCount() + 1);
  PARVEL_FUZZ_CHECK(store.TemplateNames().size() == store.TemplateCount());
  Entries entries;
  for (std::size_t entry = 1; entry <= store.TemplateCount(); ++entry) {
    const std::wstring& label = store.TemplateLabels()[entry];
    const std::wstring& text = store.TemplateTexts()[entry];
    PARVEL_FUZZ_CHECK(label.starts_with(kLabelMarker));
    PARVEL_FUZZ_CHECK(label.find(L'\n') == std::wstring::npos);
    PARVEL_FUZZ_CHECK(text.find(L'\n') == std::wstring::npos);
    entries.emplace_back(label, text);
  }
  return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace parvel;
  MemoryFiles files(fuzz::Bytes(data, size));
  const Windows1252CodePage code_page;
  TemplateStore store(files, "templates", code_page);
  store.LoadTemplates();
  const Entries first = Loaded(store);

  // A save keeps every entry but those marked deleted, exactly as loaded.
  Entries kept;
  for (const auto& entry : first) {
    if (entry.second != kDeletedText) kept.push_back(entry);
  }
  store.SaveTemplates();
  store.LoadTemplates();
  PARVEL_FUZZ_CHECK(Loaded(store) == kept);
  return 0;
}
