#include "dialogs/contacts_window_win.h"

#include "dialogs/ol_contacts_controls.h"

namespace parvel::dialogs {
namespace {

using namespace ol_contacts_controls;

// Column widths of both list views, in dialog units.
constexpr int kNameWidth = 100;
constexpr int kMobileWidth = 70;

}  // namespace

ContactsWindow::ContactsWindow(Session& session, AddinWindows& windows)
    // "&Cancel" is an ordinary button: Esc does not drop the selection.
    : DialogWindow(L"OLContacts", kControls, EscKey::Ignored),
      message_boxes_(owned_boxes_, session),
      pending_events_(pump_, session),
      presenter_({.session = session,
                  .view = *this,
                  .message_boxes = message_boxes_,
                  .pending_events = pending_events_,
                  .windows = windows}) {}

void ContactsWindow::OnInit() {
  owned_boxes_.SetOwner(hwnd());
  SetUpRecipientList(klvw, kNameWidth, kMobileWidth);
  SetUpRecipientList(klvw2, kNameWidth, kMobileWidth);
  presenter_.Form_Load();
  if (!ClosePending()) ShowWindow(hwnd(), SW_SHOW);
}

void ContactsWindow::OnCommand(int id, int code) {
  switch (id) {
    case kOption1.id:
      if (code == BN_CLICKED) presenter_.Option1_Click();
      break;
    case kOption2.id:
      if (code == BN_CLICKED) presenter_.Option2_Click();
      break;
    case kList1.id:
      if (code == LBN_SELCHANGE) presenter_.List1_Click();
      break;
    case kCommand1.id:
      presenter_.Command1_Click();
      break;
    case kCommand4.id:
      presenter_.Command4_Click();
      break;
    case kCommand2.id:
      presenter_.Command2_Click();
      break;
    case kCommand3.id:
      presenter_.Command3_Click();
      break;
    default:
      break;
  }
}

void ContactsWindow::OnNotify(const NMHDR& header) {
  const bool contacts = header.idFrom == klvw.id;
  if (!contacts && header.idFrom != klvw2.id) return;
  if (header.code == NM_DBLCLK) {
    if (contacts) {
      presenter_.lvw_DblClick();
    } else {
      presenter_.lvw2_DblClick();
    }
  } else if (header.code == LVN_COLUMNCLICK) {
    const int column = reinterpret_cast<const NMLISTVIEW&>(header).iSubItem;
    if (contacts) {
      presenter_.lvw_ColumnClick(column);
    } else {
      presenter_.lvw2_ColumnClick(column);
    }
  }
}

void ContactsWindow::OnCloseRequest() { presenter_.Command3_Click(); }

}  // namespace parvel::dialogs
