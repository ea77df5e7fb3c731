#include "dialogs/account_window_win.h"

#include "dialogs/ol_account_controls.h"

namespace parvel::dialogs {
namespace {

using namespace ol_account_controls;

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
  UseCommands<OLAccount>(kOLAccountCommands, presenter_);
}

void AccountWindow::OnInit() {
  message_boxes_.SetOwner(hwnd());
  SendMessageW(Control(kText1), EM_LIMITTEXT, kAccountLimit, 0);
  SendMessageW(Control(kText2), EM_LIMITTEXT, kPasswordLimit, 0);
  SendMessageW(Control(kText5), EM_LIMITTEXT, kNamePrefixLimit, 0);
  // Common controls 6, which Outlook loads, would mask with dots.
  for (const ControlName& box : {kText2, kText3}) {
    SendMessageW(Control(box), EM_SETPASSWORDCHAR, L'*', 0);
  }
  presenter_.Form_Load();
  ShowWindow(hwnd(), SW_SHOW);
  Focus(kText1);
}

// Esc: "&Close" is the cancel button.
void AccountWindow::OnCommand(int id, int code) {
  if (id == IDCANCEL && code == BN_CLICKED) presenter_.Command1_Click();
}

}  // namespace parvel::dialogs
