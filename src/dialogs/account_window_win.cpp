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
                  .registry = registry}) {}

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

void AccountWindow::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case kCommand2.id:
      presenter_.Command2_Click();
      break;
    case kCommand1.id:
    case IDCANCEL:  // Esc: "&Close" is the cancel button
      presenter_.Command1_Click();
      break;
    default:
      break;
  }
}

}  // namespace parvel::dialogs
