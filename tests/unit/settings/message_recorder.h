#pragma once

#include <gtest/gtest.h>

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
  // The account settings never ask.
  bool Ask(std::wstring_view title, std::wstring_view) override {
    ADD_FAILURE() << "unexpected question " << std::string(title.begin(), title.end());
    return false;
  }
};

}  // namespace parvel::settings_test
