#include "standin_host/time_text.h"

#include <array>
#include <chrono>
#include <cwctype>

namespace parvel::standin {
namespace {

constexpr std::wstring_view kDefaultPattern = L"dd mmm yy hh:mm";
constexpr std::wstring_view kOpen = L"{now";
constexpr std::array<std::wstring_view, 12> kMonths = {
    L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun", L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};

// Where the next {now...} starts; a word such as "{nowhere" is not one.
std::size_t FindTime(std::wstring_view text, std::size_t from) {
  for (auto start = text.find(kOpen, from); start != std::wstring_view::npos;
       start = text.find(kOpen, start + 1)) {
    const std::size_t after = start + kOpen.size();
    if (after == text.size() || !std::iswalnum(static_cast<std::wint_t>(text[after]))) return start;
  }
  return std::wstring_view::npos;
}

std::wstring TwoDigits(int value) {
  return {static_cast<wchar_t>(L'0' + value / 10 % 10), static_cast<wchar_t>(L'0' + value % 10)};
}

}  // namespace

LocalTime AddMinutes(const LocalTime& time, long long minutes) {
  using namespace std::chrono;
  const sys_days day = year_month_day{year{time.year}, month{static_cast<unsigned>(time.month)},
                                      std::chrono::day{static_cast<unsigned>(time.day)}};
  const auto moment = day + hours{time.hour} + std::chrono::minutes{time.minute + minutes};
  const sys_days new_day = floor<days>(moment);
  const year_month_day date{new_day};
  const hh_mm_ss clock{moment - new_day};
  return {.year = static_cast<int>(date.year()),
          .month = static_cast<int>(static_cast<unsigned>(date.month())),
          .day = static_cast<int>(static_cast<unsigned>(date.day())),
          .hour = static_cast<int>(clock.hours().count()),
          .minute = static_cast<int>(clock.minutes().count())};
}

std::wstring FormatTime(const LocalTime& time, std::wstring_view pattern) {
  std::wstring out;
  bool after_hours = false;
  for (std::size_t i = 0; i < pattern.size();) {
    const std::wstring_view rest = pattern.substr(i);
    if (rest.starts_with(L"yyyy")) {
      out += TwoDigits(time.year / 100) + TwoDigits(time.year % 100);
      i += 4;
    } else if (rest.starts_with(L"yy")) {
      out += TwoDigits(time.year % 100);
      i += 2;
    } else if (rest.starts_with(L"mmm")) {
      out += kMonths[static_cast<std::size_t>(time.month - 1)];
      i += 3;
    } else if (rest.starts_with(L"mm")) {
      out += TwoDigits(after_hours ? time.minute : time.month);
      after_hours = false;
      i += 2;
    } else if (rest.starts_with(L"dd")) {
      out += TwoDigits(time.day);
      i += 2;
    } else if (rest.starts_with(L"hh")) {
      out += TwoDigits(time.hour);
      after_hours = true;
      i += 2;
    } else {
      out += pattern[i];
      ++i;
    }
  }
  return out;
}

std::wstring ExpandTimes(std::wstring_view text, const LocalTime& now) {
  std::wstring out;
  std::size_t pos = 0;
  while (true) {
    const auto start = FindTime(text, pos);
    if (start == std::wstring_view::npos) break;
    out += text.substr(pos, start - pos);
    const auto close = text.find(L'}', start);
    if (close == std::wstring_view::npos) throw TimeTextError("a {now...} has no closing brace");
    std::wstring_view token = text.substr(start + kOpen.size(), close - start - kOpen.size());
    std::wstring_view pattern = kDefaultPattern;
    if (const auto colon = token.find(L':'); colon != std::wstring_view::npos) {
      pattern = token.substr(colon + 1);
      token = token.substr(0, colon);
    }
    long long minutes = 0;
    if (!token.empty()) {
      const wchar_t sign = token.front();
      const wchar_t unit = token.back();
      const std::wstring_view digits = token.substr(1, token.size() - 2);
      const bool digits_ok = token.size() >= 3 && digits.size() <= 6 &&
                             digits.find_first_not_of(L"0123456789") == std::wstring_view::npos;
      const int factor = unit == L'm' ? 1 : unit == L'h' ? 60 : unit == L'd' ? 1440 : 0;
      if ((sign != L'+' && sign != L'-') || !digits_ok || factor == 0) {
        throw TimeTextError("a time is written {now}, {now+12h}, {now-30m} or {now+2d}");
      }
      minutes = std::stoll(std::wstring(digits)) * factor * (sign == L'-' ? -1 : 1);
    }
    out += FormatTime(AddMinutes(now, minutes), pattern);
    pos = close + 1;
  }
  out += text.substr(pos);
  return out;
}

}  // namespace parvel::standin
