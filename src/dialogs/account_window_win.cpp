#include "dialogs/account_window_win.h"

#include "dialogs/account_controls.h"

namespace parvel::dialogs {
namespace {

using namespace account_controls;

// What the user may type; texts the window puts in are not cut.
constexpr int kAccountLimit = 20;
constexpr int kPasswordLimit = 10;
constexpr int kNamePrefixLimit = 30;

}  // namespace

AccountWindow::AccountWindow(AccountSettings& settings, RegistryPort& registry)
    : DialogWindow(L"OLAccount", kControls),
      presenter_({.settings = settings,
                  .view = *this,
                  .message_boxes = message_boxes_,
                  .registry = registry}) {
  UseCommands<AccountPresenter>(kAccountCommands, presenter_);
}

void AccountWindow::OnInit() {
  message_boxes_.SetOwner(hwnd());
  SendMessageW(Control(kAccountBox), EM_LIMITTEXT, kAccountLimit, 0);
  SendMessageW(Control(kPasswordBox), EM_LIMITTEXT, kPasswordLimit, 0);
  SendMessageW(Control(kNamePrefixBox), EM_LIMITTEXT, kNamePrefixLimit, 0);
  // Common controls 6, which Outlook loads, would mask with dots.
  for (const ControlName& box : {kPasswordBox, kConfirmBox}) {
    SendMessageW(Control(box), EM_SETPASSWORDCHAR, L'*', 0);
  }
  presenter_.Load();
  ShowWindow(hwnd(), SW_SHOW);
  Focus(kAccountBox);
}

// Esc: "&Close" is the cancel button.
void AccountWindow::OnCommand(int id, int code) {
  if (id == IDCANCEL && code == BN_CLICKED) presenter_.OnCloseClicked();
}

}  // namespace parvel::dialogs
