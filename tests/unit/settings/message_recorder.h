#pragma once

#include <string>
#include <vector>

#include "ui/message_box.h"

namespace parvel::settings_test {

struct ShownMessage {
  std::wstring title;
  std::wstring text;
  MessageIcon icon;
  bool operator==(const ShownMessage&) const = default;
};

class MessageRecorder final : public MessageBoxes {
 public:
  std::vector<ShownMessage> shown;

  void Show(std::wstring_view title, std::wstring_view text, MessageIcon icon) override {
    shown.push_back({std::wstring(title), std::wstring(text), icon});
  }
};

}  // namespace parvel::settings_test
