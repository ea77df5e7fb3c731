#pragma once

#include <algorithm>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "recipients/recipient_entry.h"
#include "ui/compose_view.h"

namespace parvel::fakes {

// Everything the compose view holds, so that a test can compare it whole.
struct ComposeState {
  std::wstring message;                       // Text1
  std::wstring mobile;                        // Text2
  std::vector<RecipientEntry> rows;           // ListView1
  bool delayed_send_ticked = false;           // Check1
  std::optional<LocalDateTime> delayed_send;  // MaskEdBox1
  bool account_button_shown = true;           // Command5
  std::wstring focus;                         // name of the control with the focus; empty at first

  bool operator==(const ComposeState&) const = default;
};

void PrintTo(const ComposeState& state, std::ostream* out);

class RecordingComposeView final : public ComposeView {
 public:
  std::wstring MessageText() const override { return state.message; }
  std::vector<RecipientEntry> RecipientRows() const override { return state.rows; }
  bool DelayedSendTicked() const override { return state.delayed_send_ticked; }
  std::optional<LocalDateTime> DelayedSendTime() const override { return state.delayed_send; }
  bool AccountButtonShown() const override { return state.account_button_shown; }

  void SetMessageText(std::wstring_view text) override { state.message = text; }
  void SetMobileText(std::wstring_view text) override { state.mobile = text; }
  void RemoveRecipients(std::span<const RecipientEntry> rows) override {
    for (const RecipientEntry& row : rows) {
      if (const auto at = std::ranges::find(state.rows, row); at != state.rows.end()) {
        state.rows.erase(at);
      }
    }
  }
  void SetDelayedSendTicked(bool ticked) override { state.delayed_send_ticked = ticked; }

  void FocusMessage() override { state.focus = L"Text1"; }
  void FocusMobile() override { state.focus = L"Text2"; }
  void FocusAccountButton() override { state.focus = L"Command5"; }

  ComposeState state;
};

}  // namespace parvel::fakes
