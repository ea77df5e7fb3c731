#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "recipients/recipient_entry.h"
#include "request/delayed_send.h"
#include "settings/registry_port.h"

namespace parvel {

// The compose window's work that has not been sent when its window goes away
// with the host (Outlook closes, or disconnects the add-in): kept under
// HKEY_CURRENT_USER until the window opens again. Never the password: the
// compose window does not hold it.
struct UnsentWork {
  std::wstring message;
  std::vector<RecipientEntry> rows;  // in display order
  bool delayed_send = false;
  std::optional<LocalDateTime> delayed_send_time;  // none when the box held none

  bool operator==(const UnsentWork&) const = default;
};

// Under HKEY_CURRENT_USER, beside the settings: "Message", "Recipients" (the
// number of rows), "Recipient1" ... (Name|Mobile|Kind|Key|Tag), "DelayedSend"
// ("1" or "0") and "DelayedSendTime" ("2026-12-05 17:30").
inline constexpr std::wstring_view kUnsentWorkKeyPath = L"SOFTWARE\\Parvello\\Unsent";

// What is kept cannot be read back (a value edited or cut short by hand).
class UnsentWorkError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Replaces what was kept with work. Returns 0, or the code of the first
// registry call that failed.
std::int32_t KeepUnsentWork(RegistryPort& registry, const UnsentWork& work);
// What was kept; none when nothing is. Throws UnsentWorkError.
std::optional<UnsentWork> ReadUnsentWork(RegistryPort& registry);
// Forgets what was kept. Returns 0 or the code of the delete.
std::int32_t ForgetUnsentWork(RegistryPort& registry);

// The registry takes texts in the ANSI code page, which turns every
// character it cannot represent into "?". Kept texts therefore hold printable
// ASCII only, the same bytes in every ANSI code page: a backslash is written
// "\\", a "|" and every character outside 0x20-0x7E "\uXXXX" (its UTF-16 code
// unit in hexadecimal), so any text comes back exactly and stays readable in
// the registry editor.
std::wstring EscapeKeptText(std::wstring_view text);
// None for a text that EscapeKeptText cannot have written.
std::optional<std::wstring> UnescapeKeptText(std::wstring_view text);

}  // namespace parvel
