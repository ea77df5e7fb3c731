#include "dialogs/contacts_window_win.h"

#include "dialogs/contacts_controls.h"

namespace parvel::dialogs {
namespace {

using namespace contacts_controls;

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
                  .windows = windows}) {
  UseCommands<ContactsPresenter>(kContactsCommands, presenter_);
}

void ContactsWindow::OnInit() {
  owned_boxes_.SetOwner(hwnd());
  SetUpRecipientList(kContactList, kNameWidth, kMobileWidth);
  SetUpRecipientList(kSelectedList, kNameWidth, kMobileWidth);
  presenter_.Load();
  if (!ClosePending()) ShowWindow(hwnd(), SW_SHOW);
}

void ContactsWindow::OnCloseRequest() { presenter_.OnCancelClicked(); }

}  // namespace parvel::dialogs
