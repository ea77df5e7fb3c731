#include "dialogs/compose_window_win.h"

#include "dialogs/window_ids.h"

namespace parvel::dialogs {
namespace {

constexpr ControlName kControls[] = {
    {L"Label6", IDC_OLMAIN_LABEL6},       {L"Label7", IDC_OLMAIN_LABEL7},
    {L"Label8", IDC_OLMAIN_LABEL8},       {L"Label3", IDC_OLMAIN_LABEL3},
    {L"Text2", IDC_OLMAIN_TEXT2},         {L"Command1", IDC_OLMAIN_COMMAND1},
    {L"Command2", IDC_OLMAIN_COMMAND2},   {L"Label4", IDC_OLMAIN_LABEL4},
    {L"ListView1", IDC_OLMAIN_LISTVIEW1}, {L"Command6", IDC_OLMAIN_COMMAND6},
    {L"Label1", IDC_OLMAIN_LABEL1},       {L"Text1", IDC_OLMAIN_TEXT1},
    {L"Label5", IDC_OLMAIN_LABEL5},       {L"Frame2", IDC_OLMAIN_FRAME2},
    {L"Check1", IDC_OLMAIN_CHECK1},       {L"MaskEdBox1", IDC_OLMAIN_MASKEDBOX1},
    {L"Label9", IDC_OLMAIN_LABEL9},       {L"Command3", IDC_OLMAIN_COMMAND3},
    {L"Command5", IDC_OLMAIN_COMMAND5},   {L"Command7", IDC_OLMAIN_COMMAND7},
    {L"Command4", IDC_OLMAIN_COMMAND4},
};

constexpr int kMessageLimit = 480;
constexpr std::wstring_view kDelayedSendBox = L"MaskEdBox1";
// Day, abbreviated month of the user's locale, two-digit year, 24-hour time:
// for the eye only, the presenter works with the picker's value.
constexpr wchar_t kDelayedSendFormat[] = L"dd MMM yy HH:mm";

}  // namespace

ComposeWindow::ComposeWindow(Session& session, RegistryPort& registry, AddinWindows& windows)
    // No cancel button: one keystroke must not discard the recipients and
    // the message.
    : DialogWindow(L"OLMain", kControls, EscKey::Ignored),
      presenter_({.session = session,
                  .view = *this,
                  .message_boxes = message_boxes_,
                  .registry = registry,
                  .clock = SystemClock(),
                  .windows = windows}) {}

void ComposeWindow::OnInit() {
  message_boxes_.SetOwner(hwnd());
  MakeBold({L"Label6", L"Label7", L"Label8"});
  SetUpRecipientList(L"ListView1", 190, 120);
  SendMessageW(Control(L"Text1"), EM_LIMITTEXT, kMessageLimit, 0);
  SendMessageW(Control(kDelayedSendBox), DTM_SETFORMATW, 0,
               reinterpret_cast<LPARAM>(kDelayedSendFormat));
  presenter_.Form_Load();
  Focus(L"Text2");
}

void ComposeWindow::OnCommand(int id, int code) {
  switch (id) {
    case IDC_OLMAIN_TEXT1:
      if (code == EN_CHANGE) presenter_.Text1_Change();
      break;
    case IDC_OLMAIN_TEXT2:
      // Enter in the mobile number box adds the number.
      if (code == EN_SETFOCUS) SendMessageW(hwnd(), DM_SETDEFID, IDC_OLMAIN_COMMAND1, 0);
      if (code == EN_KILLFOCUS) SendMessageW(hwnd(), DM_SETDEFID, IDOK, 0);
      break;
    case IDC_OLMAIN_COMMAND1:
      presenter_.Command1_Click();
      break;
    case IDC_OLMAIN_COMMAND2:
      presenter_.Command2_Click();
      break;
    case IDC_OLMAIN_COMMAND3:
      presenter_.Command3_Click();
      break;
    case IDC_OLMAIN_COMMAND5:
      presenter_.Command5_Click();
      break;
    case IDC_OLMAIN_COMMAND6:
      presenter_.Command6_Click();
      break;
    case IDC_OLMAIN_COMMAND7:
      presenter_.Command7_Click();
      break;
    case IDC_OLMAIN_COMMAND4:
      presenter_.Command4_Click();
      break;
    default:
      break;
  }
}

void ComposeWindow::OnNotify(const NMHDR& header) {
  if (header.idFrom == IDC_OLMAIN_LISTVIEW1 && header.code == LVN_COLUMNCLICK) {
    presenter_.ListView1_ColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
  }
}

}  // namespace parvel::dialogs
