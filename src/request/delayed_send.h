#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "codec/code_page.h"
#include "request/locale.h"

namespace parvel {

// A local date and time to the minute; seconds play no part in a delayed send.
struct LocalDateTime {
  int year = 2000;
  int month = 1;  // 1 to 12
  int day = 1;
  int hour = 0;
  int minute = 0;

  bool operator==(const LocalDateTime&) const = default;
};

enum class DelayedSendTextError {
  PromptCharacter,  // the masked box still shows its prompt character
  Malformed,
  UnknownMonth,
  ImpossibleDate,
  ImpossibleTime,
};

class DelayedSendParseError : public std::runtime_error {
 public:
  DelayedSendParseError(DelayedSendTextError reason, const std::string& what)
      : std::runtime_error(what), reason_(reason) {}
  DelayedSendTextError reason() const noexcept { return reason_; }

 private:
  DelayedSendTextError reason_;
};

// Reads the delayed-send box: day, month name, year, then hh:mm, for example
// "05 Dec 26 17:30", "05-Dec-26 17:30" or "5 december 2026 17:30". Month
// names may be the locale's or English ones, in any letter case; two-digit
// years 00-29 are 2000-2029 and 30-99 are 1930-1999. Throws
// DelayedSendParseError for anything else.
LocalDateTime ParseDelayedSendText(std::wstring_view text, const Locale& locale = UserLocale());

// Whether the date exists in the calendar and the time on a 24-hour clock.
bool IsRealDateTime(const LocalDateTime& when);

// "dd mmm, yyyy hh:mm", the form the gateway receives, with the locale's
// abbreviated month names where every one of the twelve can reach the
// gateway as a month name: one-byte ASCII text that starts with a letter.
// Elsewhere (a "févr.", "дек" or "12月" among them, or any double-byte code
// page) the English names for all twelve, which the gateway reads everywhere.
std::wstring FormatGatewayDate(const LocalDateTime& when, const Locale& locale = UserLocale(),
                               const CodePage& code_page = SystemCodePage());

// Minutes since 1 Jan 1970 00:00, proleptic Gregorian calendar.
std::int64_t MinuteNumber(const LocalDateTime& when);
LocalDateTime FromMinuteNumber(std::int64_t minutes);

}  // namespace parvel
