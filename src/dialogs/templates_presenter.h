#pragma once

#include <optional>
#include <string_view>

#include "codec/code_page.h"
#include "dialogs/command_map.h"
#include "dialogs/templates_controls.h"
#include "templates/template_files.h"
#include "templates/template_store.h"
#include "templates/templates_location.h"
#include "ui/addin_windows.h"
#include "ui/message_box.h"
#include "ui/window_view.h"

namespace parvel {

struct TemplatesPorts {
  WindowView& view;
  MessageBoxes& message_boxes;
  AddinWindows& windows;
  TemplateFiles& files;
  TemplatesLocation location;  // where the templates file is
  const CodePage& code_page = SystemCodePage();
};

inline constexpr std::wstring_view kTemplatesCaption = L"Templates";
inline constexpr std::wstring_view kNoTemplateSelectedTitle = L"No Template Selected";
inline constexpr std::wstring_view kNoTemplateSelectedText = L"There is no template selected...";
inline constexpr std::wstring_view kInsufficientDataTitle = L"Insufficient Data";
inline constexpr std::wstring_view kInsufficientDataText =
    L"You must supply the template text and a template name...";
// The file keeps each template's name and text on one line each: a line
// break would cut the text short and could start a false entry.
inline constexpr std::wstring_view kLineBreakTitle = L"Line Break";
inline constexpr std::wstring_view kLineBreakText =
    L"A template is kept on a single line. Please remove the line breaks from the template text "
    L"and name...";

inline constexpr std::wstring_view kTemplatesNotSavedTitle = L"Templates Not Saved";
inline constexpr std::wstring_view kTemplatesNotSavedText =
    L"The templates file ZNSMSTemplates.txt could not be written, so this change has not been "
    L"saved.\r\n\r\nThe file may be read-only or in use, or you may not have the right to change "
    L"it. The list shows the templates as they are stored, and the boxes keep what you typed...";

// The templates window: applies a stored template to the compose window's
// message, adds templates and deletes them. Every change is saved and read
// back at once, so the list always shows the file.
class TemplatesPresenter {
 public:
  explicit TemplatesPresenter(const TemplatesPorts& ports);

  void Load();
  void OnSelectClicked();  // "&Select"
  void OnCloseClicked();   // "&Close"
  void OnAddClicked();     // "Add"
  void OnDeleteClicked();  // "Delete"

  const TemplateStore& Store() const noexcept { return store_; }

 private:
  // The store's entry behind the selected row; nothing when no row is
  // selected, after telling the user.
  std::optional<std::size_t> SelectedEntry();
  // False when the file could not be written: the user has been told.
  bool SaveThenLoad();
  void LoadTemplates();

  TemplatesPorts ports_;
  TemplateStore store_;
};

// The templates window's command map.
inline constexpr Command<TemplatesPresenter> kTemplatesCommands[] = {
    {templates_controls::kSelectButton, ControlEvent::Clicked,
     &TemplatesPresenter::OnSelectClicked},
    {templates_controls::kCloseButton, ControlEvent::Clicked, &TemplatesPresenter::OnCloseClicked},
    {templates_controls::kAddButton, ControlEvent::Clicked, &TemplatesPresenter::OnAddClicked},
    {templates_controls::kDeleteButton, ControlEvent::Clicked,
     &TemplatesPresenter::OnDeleteClicked},
};

}  // namespace parvel
