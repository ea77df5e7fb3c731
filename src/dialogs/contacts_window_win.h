#pragma once

#include "dialogs/contacts_presenter.h"
#include "dialogs/dialog_window_win.h"
#include "dialogs/message_boxes_win.h"
#include "recipients/pending_events_win.h"
#include "workflows/handler_turns.h"

namespace parvel::dialogs {

// The contacts picker OLContacts as a Win32 dialog around its presenter.
class ContactsWindow final : public DialogWindow {
 public:
  ContactsWindow(Session& session, AddinWindows& windows);

  ContactsPresenter& presenter() noexcept { return presenter_; }

 private:
  void OnInit() override;
  void OnCloseRequest() override;

  OwnedMessageBoxes owned_boxes_;
  ThreadMessagePump pump_;
  StoppingMessageBoxes message_boxes_;
  StoppingPendingEvents pending_events_;
  ContactsPresenter presenter_;
};

}  // namespace parvel::dialogs
