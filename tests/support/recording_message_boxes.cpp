#include "support/recording_message_boxes.h"

#include <gtest/gtest.h>

namespace parvel::fakes {
namespace {

const char* IconName(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Exclamation:
      return "exclamation";
    case MessageIcon::Error:
      return "error";
    case MessageIcon::Information:
      return "information";
  }
  return "?";
}

}  // namespace

void PrintTo(const ShownMessage& message, std::ostream* out) {
  *out << "{" << testing::PrintToString(message.title) << ", "
       << testing::PrintToString(message.text) << ", " << IconName(message.icon)
       << (message.question ? ", yes/no" : "") << "}";
}

}  // namespace parvel::fakes
