#include "dialogs/compose_window_win.h"

#include "dialogs/ol_main_controls.h"

namespace parvel::dialogs {
namespace {

using namespace ol_main_controls;

constexpr int kMessageLimit = 480;
// Day, abbreviated month of the user's locale, two-digit year, 24-hour time:
// for the eye only, the presenter works with the picker's value.
constexpr wchar_t kDelayedSendFormat[] = L"dd MMM yy HH:mm";

}  // namespace

ComposeWindow::ComposeWindow(Session& session, RegistryPort& registry, AddinWindows& windows)
    // No cancel button: one keystroke must not discard the recipients and
    // the message.
    : DialogWindow(L"OLMain", kControls, EscKey::Ignored),
      message_boxes_(owned_boxes_, session),
      presenter_({.session = session,
                  .view = *this,
                  .message_boxes = message_boxes_,
                  .registry = registry,
                  .clock = SystemClock(),
                  .windows = windows}) {}

void ComposeWindow::OnInit() {
  owned_boxes_.SetOwner(hwnd());
  MakeBold({kLabel6, kLabel7, kLabel8});
  SetUpRecipientList(kListView1, 190, 120);
  SendMessageW(Control(kText1), EM_LIMITTEXT, kMessageLimit, 0);
  SendMessageW(Control(kMaskEdBox1), DTM_SETFORMATW, 0,
               reinterpret_cast<LPARAM>(kDelayedSendFormat));
  presenter_.Form_Load();
  Focus(kText2);
}

void ComposeWindow::OnCommand(int id, int code) {
  switch (id) {
    case kText1.id:
      if (code == EN_CHANGE) presenter_.Text1_Change();
      break;
    case kText2.id:
      // Enter in the mobile number box adds the number.
      if (code == EN_SETFOCUS) SendMessageW(hwnd(), DM_SETDEFID, kCommand1.id, 0);
      if (code == EN_KILLFOCUS) SendMessageW(hwnd(), DM_SETDEFID, IDOK, 0);
      break;
    case kCommand1.id:
      presenter_.Command1_Click();
      break;
    case kCommand2.id:
      presenter_.Command2_Click();
      break;
    case kCommand3.id:
      presenter_.Command3_Click();
      break;
    case kCommand5.id:
      presenter_.Command5_Click();
      break;
    case kCommand6.id:
      presenter_.Command6_Click();
      break;
    case kCommand7.id:
      presenter_.Command7_Click();
      break;
    case kCommand4.id:
      presenter_.Command4_Click();
      break;
    default:
      break;
  }
}

// The close box closes as "Clos&e" does.
void ComposeWindow::OnCloseRequest() { presenter_.Command4_Click(); }

void ComposeWindow::OnNotify(const NMHDR& header) {
  if (header.idFrom == kListView1.id && header.code == LVN_COLUMNCLICK) {
    presenter_.ListView1_ColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
  }
}

}  // namespace parvel::dialogs
