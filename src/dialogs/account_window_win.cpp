#include "dialogs/account_window_win.h"

#include "dialogs/window_ids.h"

namespace parvel::dialogs {
namespace {

constexpr ControlName kControls[] = {
    {L"Label1", IDC_OLACCOUNT_LABEL1},     {L"Text1", IDC_OLACCOUNT_TEXT1},
    {L"Label2", IDC_OLACCOUNT_LABEL2},     {L"Text2", IDC_OLACCOUNT_TEXT2},
    {L"Label3", IDC_OLACCOUNT_LABEL3},     {L"Text3", IDC_OLACCOUNT_TEXT3},
    {L"Label4", IDC_OLACCOUNT_LABEL4},     {L"Text4", IDC_OLACCOUNT_TEXT4},
    {L"Label5", IDC_OLACCOUNT_LABEL5},     {L"Text5", IDC_OLACCOUNT_TEXT5},
    {L"Command2", IDC_OLACCOUNT_COMMAND2}, {L"Command1", IDC_OLACCOUNT_COMMAND1},
};

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
  SendMessageW(Control(L"Text1"), EM_LIMITTEXT, kAccountLimit, 0);
  SendMessageW(Control(L"Text2"), EM_LIMITTEXT, kPasswordLimit, 0);
  SendMessageW(Control(L"Text5"), EM_LIMITTEXT, kNamePrefixLimit, 0);
  // Common controls 6, which Outlook loads, would mask with dots.
  for (const wchar_t* box : {L"Text2", L"Text3"}) {
    SendMessageW(Control(box), EM_SETPASSWORDCHAR, L'*', 0);
  }
  presenter_.Form_Load();
  ShowWindow(hwnd(), SW_SHOW);
  Focus(L"Text1");
}

void AccountWindow::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDC_OLACCOUNT_COMMAND2:
      presenter_.Command2_Click();
      break;
    case IDC_OLACCOUNT_COMMAND1:
    case IDCANCEL:  // Esc: "&Close" is the cancel button
      presenter_.Command1_Click();
      break;
    default:
      break;
  }
}

}  // namespace parvel::dialogs
