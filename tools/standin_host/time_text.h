#pragma once

// Times relative to now inside scenario texts: {now}, {now+12h}, {now-30m},
// {now+2d}, each optionally with a pattern after a colon, for instance
// {now+1d:dd-mmm-yy hh:mm}. The default pattern is "dd mmm yy hh:mm".

#include <stdexcept>
#include <string>
#include <string_view>

namespace parvel::standin {

class TimeTextError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct LocalTime {
  int year = 2000;
  int month = 1;  // 1..12
  int day = 1;
  int hour = 0;
  int minute = 0;

  bool operator==(const LocalTime&) const = default;
};

LocalTime AddMinutes(const LocalTime& time, long long minutes);

// Pattern parts: dd, mmm (English month abbreviation), mm (minutes after an
// hh, the month number elsewhere), yyyy, yy, hh; anything else is copied.
std::wstring FormatTime(const LocalTime& time, std::wstring_view pattern);

// The text with every time written in it. Throws TimeTextError for a
// malformed {now...}; other braces are copied.
std::wstring ExpandTimes(std::wstring_view text, const LocalTime& now);

}  // namespace parvel::standin
