#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "recipients/recipient_entry.h"
#include "request/delayed_send.h"

namespace parvel {

// The compose window (OLMain) as its presenter and the send workflow see it.
// Reads give the controls' present contents; writes change only what they name.
class ComposeView {
 public:
  virtual ~ComposeView() = default;

  virtual std::wstring MessageText() const = 0;                   // Text1
  virtual std::vector<RecipientEntry> RecipientRows() const = 0;  // ListView1, display order
  virtual bool DelayedSendTicked() const = 0;                     // Check1
  // MaskEdBox1: the date and time as picked, none when the box holds none.
  virtual std::optional<LocalDateTime> DelayedSendTime() const = 0;
  virtual bool AccountButtonShown() const = 0;  // Command5

  virtual void SetMessageText(std::wstring_view text) = 0;
  virtual void SetMobileText(std::wstring_view text) = 0;  // Text2
  // Removes one row equal to each of these; rows added meanwhile stay.
  virtual void RemoveRecipients(std::span<const RecipientEntry> rows) = 0;
  virtual void SetDelayedSendTicked(bool ticked) = 0;

  virtual void FocusMessage() = 0;        // Text1
  virtual void FocusMobile() = 0;         // Text2
  virtual void FocusAccountButton() = 0;  // Command5
};

}  // namespace parvel
