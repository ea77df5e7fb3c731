#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "codec/code_page.h"
#include "codec/gateway_text.h"
#include "request/locale.h"
#include "settings/account_settings.h"

namespace parvel {

// The length the compose window advises for a message with its name.
inline constexpr std::size_t kAdvisedLength = 160;

// The message as the gateway will get it, and the count the compose window
// shows for it.
struct MessagePreview {
  GatewayText message;
  // The message as sent, a line break counted as one, + 1 + the name prefix
  // and the user's name as the section carries them.
  std::size_t used = 0;
};

MessagePreview PreviewMessage(std::wstring_view message, const AccountSettings& settings,
                              std::wstring_view user_name, const Locale& locale,
                              const CodePage& code_page);

// The line under the counter: what will happen to the message's characters
// ("2 characters will be replaced"), empty when nothing will.
std::wstring ReplacementNote(const GatewayText& message);

}  // namespace parvel
