#pragma once

#include <string_view>

#include "host/session.h"
#include "recipients/pending_events.h"
#include "ui/message_box.h"

namespace parvel {

// The turns in which a handler lets other events run: a pending-events turn of
// an address-book walk, and the loop of a message box it shows. The host may
// disconnect the add-in during one (the user switches it off, or Outlook
// closes); the handler then stops right after the turn with
// host::HostDisconnected, before it reaches for the host again. What it holds
// of the host stays until it has ended (Session::Handler).
class StoppingPendingEvents final : public PendingEvents {
 public:
  StoppingPendingEvents(PendingEvents& events, const Session& session)
      : events_(events), session_(session) {}

  void Run() override {
    events_.Run();
    session_.StopIfDisconnected();
  }

 private:
  PendingEvents& events_;
  const Session& session_;
};

class StoppingMessageBoxes final : public MessageBoxes {
 public:
  StoppingMessageBoxes(MessageBoxes& boxes, const Session& session)
      : boxes_(boxes), session_(session) {}

  void Show(std::wstring_view title, std::wstring_view text, MessageIcon icon) override {
    boxes_.Show(title, text, icon);
    session_.StopIfDisconnected();
  }
  bool Ask(std::wstring_view title, std::wstring_view text) override {
    const bool yes = boxes_.Ask(title, text);
    session_.StopIfDisconnected();
    return yes;
  }

 private:
  MessageBoxes& boxes_;
  const Session& session_;
};

}  // namespace parvel
