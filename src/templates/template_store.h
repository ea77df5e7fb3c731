#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "codec/code_page.h"
#include "templates/template_files.h"
#include "templates/templates_location.h"

namespace parvel {

// The templates file, beside the add-in's own file.
inline constexpr std::wstring_view kTemplatesFileName = L"ZNSMSTemplates.txt";
// Begins every label line; the template's name follows it.
inline constexpr std::wstring_view kLabelMarker = L"%LABEL%";
// The text of an entry deleted since the last save.
inline constexpr std::wstring_view kDeletedText = L"**DELETED**";

// The message templates while the templates window is loaded: entries 1 to
// TemplateCount() in file order, each a label line (the marker and the name)
// and a text. Index 0 of both arrays is not used, so row r of the window's
// list is entry r + 1.
//
// The file holds two lines per entry, each ended by CR LF, in the ANSI code
// page. Reading is lenient: a line also ends at a lone LF (a lone CR is part
// of its line); a line that begins with the marker starts an entry and the
// line after it is that entry's text whatever it holds; any other line met
// where a label is expected is skipped.
class TemplateStore {
 public:
  TemplateStore(TemplateFiles& files, const std::filesystem::path& folder,
                const CodePage& code_page = SystemCodePage());
  TemplateStore(TemplateFiles& files, const TemplatesLocation& location,
                const CodePage& code_page = SystemCodePage());

  // Empties the store, then reads the file (or, while it is missing or
  // unreadable, the shared folder's); no file leaves it empty.
  void LoadTemplates();
  // Replaces the file by the entries not marked deleted (DiskFiles says
  // how), creating a user's own folder first; false when that fails.
  bool SaveTemplates();

  std::size_t TemplateCount() const noexcept { return labels_.size() - 1; }
  const std::vector<std::wstring>& TemplateTexts() const noexcept { return texts_; }
  const std::vector<std::wstring>& TemplateLabels() const noexcept { return labels_; }
  // The names as the window lists them: each label line with every marker
  // taken out.
  std::vector<std::wstring> TemplateNames() const;

  // Appends an entry; it reaches the file at the next save.
  void AddTemplate(std::wstring_view name, std::wstring_view text);
  // Marks entry 1 to TemplateCount() deleted; the next save leaves it out.
  void MarkDeleted(std::size_t entry);

 private:
  void Clear();

  TemplateFiles& files_;
  std::filesystem::path file_;
  std::filesystem::path shared_file_;  // empty without a shared folder
  const CodePage& code_page_;
  std::vector<std::wstring> texts_;
  std::vector<std::wstring> labels_;
};

// Lines as the templates file is read: a line ends at CR LF or at a lone LF;
// the end of the content ends a last line that has no line end.
std::vector<std::wstring> SplitTemplateLines(std::wstring_view content);

}  // namespace parvel
