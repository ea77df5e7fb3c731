#include "dialogs/templates_window_win.h"

#include "dialogs/templates_controls.h"

namespace parvel::dialogs {
namespace {

using namespace templates_controls;

// What the user may type into a new template's text.
constexpr int kTemplateTextLimit = 160;

}  // namespace

TemplatesWindow::TemplatesWindow(AddinWindows& windows, const TemplatesLocation& location)
    : DialogWindow(L"ZNSMSTemplates", kControls, EscKey::Ignored),
      presenter_({.view = *this,
                  .message_boxes = message_boxes_,
                  .windows = windows,
                  .files = files_,
                  .location = location}) {
  // The window has no default or cancel button: Enter and Esc do nothing
  // here, also in the multi-line text box, which would close the window.
  UseCommands<TemplatesPresenter>(kTemplatesCommands, presenter_);
}

void TemplatesWindow::OnInit() {
  message_boxes_.SetOwner(hwnd());
  SendMessageW(Control(kNewTextBox), EM_LIMITTEXT, kTemplateTextLimit, 0);
  presenter_.Load();
  ShowWindow(hwnd(), SW_SHOW);
  Focus(kTemplateList);
}

}  // namespace parvel::dialogs
