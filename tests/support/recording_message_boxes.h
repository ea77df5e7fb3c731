#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "ui/message_box.h"

namespace parvel::fakes {

struct ShownMessage {
  std::wstring title;
  std::wstring text;
  MessageIcon icon = MessageIcon::Exclamation;
  bool question = false;  // Yes and No buttons

  bool operator==(const ShownMessage&) const = default;
};

void PrintTo(const ShownMessage& message, std::ostream* out);

// Keeps every message box shown, in order.
class RecordingMessageBoxes final : public MessageBoxes {
 public:
  void Show(std::wstring_view title, std::wstring_view text, MessageIcon icon) override {
    shown.push_back({std::wstring(title), std::wstring(text), icon});
  }
  bool Ask(std::wstring_view title, std::wstring_view text) override {
    shown.push_back({std::wstring(title), std::wstring(text), MessageIcon::Exclamation, true});
    if (while_asked) while_asked();
    return answer;
  }

  std::vector<ShownMessage> shown;
  bool answer = true;  // to every question
  // What the user does in other windows while a question is open.
  std::function<void()> while_asked;
};

}  // namespace parvel::fakes
