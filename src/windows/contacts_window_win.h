#pragma once

#include "recipients/pending_events_win.h"
#include "windows/dialog_window_win.h"
#include "windows/message_boxes_win.h"
#include "windows/ol_contacts.h"

namespace parvel::windows {

// The contacts picker OLContacts as a Win32 dialog around its presenter.
class ContactsWindow final : public DialogWindow {
 public:
  ContactsWindow(Session& session, AddinWindows& windows);

  OLContacts& presenter() noexcept { return presenter_; }

  // A handler of the window is running, perhaps letting events run in the
  // middle of a listing: the window must not be discarded now. A close asked
  // for meanwhile happens as soon as the handler ends.
  bool Busy() const noexcept { return handlers_ > 0; }
  void Close() override;

 private:
  class Handling;

  void OnInit() override;
  void OnCommand(int id, int code) override;
  void OnNotify(const NMHDR& header) override;
  void OnCloseRequest() override;

  OwnedMessageBoxes message_boxes_;
  ThreadMessagePump pending_events_;
  OLContacts presenter_;
  int handlers_ = 0;
  bool close_pending_ = false;
};

}  // namespace parvel::windows
