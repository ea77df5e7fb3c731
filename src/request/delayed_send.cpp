#include "request/delayed_send.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <optional>
#include <tuple>
#include <vector>
#include "codec/plain_text.h"

namespace parvel {
namespace {

constexpr std::array<std::wstring_view, 12> kEnglishAbbreviated = {
    L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun", L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
constexpr std::array<std::wstring_view, 12> kEnglishFull = {
    L"January", L"February", L"March",     L"April",   L"May",      L"June",
    L"July",    L"August",   L"September", L"October", L"November", L"December"};

bool IsLetter(wchar_t ch) {
  return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z') || ch >= 0xC0;
}

bool IsAsciiLetter(wchar_t ch) { return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z'); }

bool IsDigit(wchar_t ch) { return ch >= L'0' && ch <= L'9'; }

[[noreturn]] void Refuse(DelayedSendTextError reason, const char* what) {
  throw DelayedSendParseError(reason, what);
}

std::chrono::year_month_day CalendarDate(int year, int month, int day) {
  return std::chrono::year{year} / std::chrono::month{static_cast<unsigned>(month)} /
         std::chrono::day{static_cast<unsigned>(day)};
}

// A real calendar date (proleptic Gregorian).
bool IsRealDate(int year, int month, int day) {
  if (year < 100 || year > static_cast<int>(std::chrono::year::max()) || month < 1 || month > 12 ||
      day < 1 || day > 31) {
    return false;
  }
  return CalendarDate(year, month, day).ok();
}

class Scanner {
 public:
  explicit Scanner(std::wstring_view text) : text_(text) {}

  bool AtEnd() const { return pos_ == text_.size(); }

  std::size_t SkipBlanks() {
    const std::size_t start = pos_;
    while (!AtEnd() && text_[pos_] == L' ') ++pos_;
    return pos_ - start;
  }

  // Blanks, at most one of - / . , and blanks again; at least one character.
  void Separator() {
    std::size_t length = SkipBlanks();
    if (!AtEnd() && (text_[pos_] == L'-' || text_[pos_] == L'/' || text_[pos_] == L'.' ||
                     text_[pos_] == L',')) {
      ++pos_;
      ++length;
    }
    length += SkipBlanks();
    if (length == 0) Refuse(DelayedSendTextError::Malformed, "missing separator");
  }

  // A run of digits; returns the value and how many digits it had.
  std::pair<int, std::size_t> Number() {
    int value = 0;
    std::size_t digits = 0;
    while (!AtEnd() && IsDigit(text_[pos_]) && digits < 5) {
      value = value * 10 + (text_[pos_] - L'0');
      ++pos_;
      ++digits;
    }
    if (digits == 0 || (!AtEnd() && IsDigit(text_[pos_]))) {
      Refuse(DelayedSendTextError::Malformed, "a number was expected");
    }
    return {value, digits};
  }

  void Expect(wchar_t ch) {
    if (AtEnd() || text_[pos_] != ch) Refuse(DelayedSendTextError::Malformed, "unexpected text");
    ++pos_;
  }

  bool Peek(wchar_t ch) const { return !AtEnd() && text_[pos_] == ch; }

  // The longest month name that stands here as a whole word.
  int Month(const Locale& locale) {
    if (AtEnd() || !IsLetter(text_[pos_])) {
      Refuse(DelayedSendTextError::Malformed, "a month name was expected");
    }
    std::optional<int> month;
    std::size_t best = 0;
    const auto consider = [&](std::wstring_view name, int candidate) {
      if (name.empty() || name.size() <= best || pos_ + name.size() > text_.size()) return;
      for (std::size_t i = 0; i < name.size(); ++i) {
        if (FoldCase(text_[pos_ + i]) != FoldCase(name[i])) return;
      }
      const std::size_t end = pos_ + name.size();
      if (end < text_.size() && IsLetter(text_[end]) && IsLetter(name.back())) return;
      best = name.size();
      month = candidate;
    };
    for (int m = 1; m <= 12; ++m) {
      const auto index = static_cast<std::size_t>(m - 1);
      consider(locale.AbbreviatedMonthName(m), m);
      consider(locale.MonthName(m), m);
      consider(kEnglishAbbreviated[index], m);
      consider(kEnglishFull[index], m);
    }
    if (!month) {
      Refuse(DelayedSendTextError::UnknownMonth, "not a month name");
    }
    pos_ += best;
    return *month;
  }

 private:
  std::wstring_view text_;
  std::size_t pos_ = 0;
};

std::wstring TwoDigits(int value) {
  std::wstring text(2, L'0');
  text[0] = static_cast<wchar_t>(L'0' + (value / 10) % 10);
  text[1] = static_cast<wchar_t>(L'0' + value % 10);
  return text;
}

std::wstring Time(const LocalDateTime& when) {
  return TwoDigits(when.hour) + L":" + TwoDigits(when.minute);
}

}  // namespace

LocalDateTime ParseDelayedSendText(std::wstring_view text, const Locale& locale) {
  if (text.find(L'_') != std::wstring_view::npos) {
    Refuse(DelayedSendTextError::PromptCharacter, "the date and time are not complete");
  }
  Scanner scan(text);
  LocalDateTime when;
  scan.SkipBlanks();
  const auto [day, day_digits] = scan.Number();
  if (day_digits > 2) Refuse(DelayedSendTextError::Malformed, "day has too many digits");
  scan.Separator();
  when.month = scan.Month(locale);
  scan.Separator();
  const auto [year, year_digits] = scan.Number();
  if (year_digits == 2) {
    when.year = year < 30 ? 2000 + year : 1900 + year;
  } else if (year_digits == 4) {
    when.year = year;
  } else {
    Refuse(DelayedSendTextError::Malformed, "year must have two or four digits");
  }
  if (scan.SkipBlanks() == 0) Refuse(DelayedSendTextError::Malformed, "missing time");
  const auto [hour, hour_digits] = scan.Number();
  scan.Expect(L':');
  const auto [minute, minute_digits] = scan.Number();
  int second = 0;
  std::size_t second_digits = 2;
  if (scan.Peek(L':')) {
    scan.Expect(L':');
    std::tie(second, second_digits) = scan.Number();
  }
  scan.SkipBlanks();
  if (!scan.AtEnd() || hour_digits > 2 || minute_digits != 2 || second_digits != 2) {
    Refuse(DelayedSendTextError::Malformed, "unexpected text after the time");
  }
  if (!IsRealDate(when.year, when.month, day)) {
    Refuse(DelayedSendTextError::ImpossibleDate, "no such date");
  }
  if (hour > 23 || minute > 59 || second > 59) {
    Refuse(DelayedSendTextError::ImpossibleTime, "no such time");
  }
  when.day = day;
  when.hour = hour;
  when.minute = minute;
  return when;
}

bool IsRealDateTime(const LocalDateTime& when) {
  return IsRealDate(when.year, when.month, when.day) && when.hour >= 0 && when.hour <= 23 &&
         when.minute >= 0 && when.minute <= 59;
}

std::wstring FormatGatewayDate(const LocalDateTime& when, const Locale& locale,
                               const CodePage& code_page) {
  // One language for all twelve months: a gateway that got "mars" in March
  // must not get "Dec" in December from the same user.
  const auto travels = [&](int month) {
    const std::wstring name = locale.AbbreviatedMonthName(month);
    return !name.empty() && IsAsciiLetter(name.front()) &&
           std::all_of(name.begin(), name.end(),
                       [](wchar_t ch) { return ch >= L' ' && ch <= L'~'; });
  };
  bool all_travel = !code_page.DoubleByte();
  for (int month = 1; all_travel && month <= 12; ++month) all_travel = travels(month);
  const std::wstring month = all_travel ? locale.AbbreviatedMonthName(when.month)
                                        : EnglishLocale().AbbreviatedMonthName(when.month);
  // At least four digits: the parser takes a year before 1000 only so.
  std::wstring year = std::to_wstring(when.year);
  if (year.size() < 4) year.insert(0, 4 - year.size(), L'0');
  return TwoDigits(when.day) + L" " + month + L", " + year + L" " + Time(when);
}

std::int64_t MinuteNumber(const LocalDateTime& when) {
  const std::int64_t days = std::chrono::sys_days(CalendarDate(when.year, when.month, when.day))
                                .time_since_epoch()
                                .count();
  return (days * 24 + when.hour) * 60 + when.minute;
}

LocalDateTime FromMinuteNumber(std::int64_t minutes) {
  std::int64_t days = minutes / 1440;
  std::int64_t rest = minutes % 1440;
  if (rest < 0) {
    rest += 1440;
    --days;
  }
  const std::chrono::year_month_day date{std::chrono::sys_days{std::chrono::days{days}}};
  LocalDateTime when;
  when.year = static_cast<int>(date.year());
  when.month = static_cast<int>(static_cast<unsigned>(date.month()));
  when.day = static_cast<int>(static_cast<unsigned>(date.day()));
  when.hour = static_cast<int>(rest / 60);
  when.minute = static_cast<int>(rest % 60);
  return when;
}

std::wstring EnglishLocale::AbbreviatedMonthName(int month) const {
  return std::wstring(kEnglishAbbreviated[static_cast<std::size_t>(month - 1)]);
}

std::wstring EnglishLocale::MonthName(int month) const {
  return std::wstring(kEnglishFull[static_cast<std::size_t>(month - 1)]);
}

}  // namespace parvel
