#include "templates/template_store.h"

#include <optional>
#include <stdexcept>

namespace parvel {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::wstring WithoutMarkers(std::wstring_view label) {
  std::wstring name;
  name.reserve(label.size());
  for (std::size_t i = 0; i < label.size();) {
    if (label.substr(i, kLabelMarker.size()) == kLabelMarker) {
      i += kLabelMarker.size();
    } else {
      name.push_back(label[i++]);
    }
  }
  return name;
}

}  // namespace

std::vector<std::wstring> SplitTemplateLines(std::wstring_view content) {
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  for (std::size_t end = content.find(L'\n'); end != std::wstring_view::npos;
       end = content.find(L'\n', start)) {
    std::size_t length = end - start;
    if (length > 0 && content[end - 1] == L'\r') --length;
    lines.emplace_back(content.substr(start, length));
    start = end + 1;
  }
  if (start < content.size()) lines.emplace_back(content.substr(start));
  return lines;
}

TemplateStore::TemplateStore(TemplateFiles& files, const std::filesystem::path& folder,
                             const CodePage& code_page)
    : TemplateStore(files, TemplatesLocation{.folder = folder}, code_page) {}

TemplateStore::TemplateStore(TemplateFiles& files, const TemplatesLocation& location,
                             const CodePage& code_page)
    : files_(files),
      file_(location.folder / kTemplatesFileName),
      shared_file_(location.shared_folder.empty() ? std::filesystem::path()
                                                  : location.shared_folder / kTemplatesFileName),
      code_page_(code_page) {
  Clear();
}

void TemplateStore::Clear() {
  texts_.assign(1, std::wstring());
  labels_.assign(1, std::wstring());
}

void TemplateStore::LoadTemplates() {
  Clear();
  std::optional<std::string> bytes = files_.ReadAll(file_);
  if (!bytes && !shared_file_.empty()) bytes = files_.ReadAll(shared_file_);
  if (!bytes) return;
  const std::vector<std::wstring> lines = SplitTemplateLines(code_page_.FromBytes(*bytes));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!lines[i].starts_with(kLabelMarker)) continue;
    labels_.push_back(lines[i]);
    texts_.push_back(i + 1 < lines.size() ? lines[++i] : std::wstring());
  }
}

bool TemplateStore::SaveTemplates() {
  std::string bytes;
  for (std::size_t entry = 1; entry <= TemplateCount(); ++entry) {
    if (texts_[entry] == kDeletedText) continue;
    bytes += code_page_.ToBytes(labels_[entry]);
    bytes += kLineEnd;
    bytes += code_page_.ToBytes(texts_[entry]);
    bytes += kLineEnd;
  }
  if (!shared_file_.empty() && !files_.CreateFolder(file_.parent_path())) return false;
  return files_.Replace(file_, bytes);
}

std::vector<std::wstring> TemplateStore::TemplateNames() const {
  std::vector<std::wstring> names;
  names.reserve(TemplateCount());
  for (std::size_t entry = 1; entry <= TemplateCount(); ++entry) {
    names.push_back(WithoutMarkers(labels_[entry]));
  }
  return names;
}

void TemplateStore::AddTemplate(std::wstring_view name, std::wstring_view text) {
  labels_.push_back(std::wstring(kLabelMarker) + std::wstring(name));
  texts_.emplace_back(text);
}

void TemplateStore::MarkDeleted(std::size_t entry) {
  if (entry < 1 || entry > TemplateCount()) throw std::out_of_range("no such template");
  texts_[entry] = kDeletedText;
}

}  // namespace parvel
