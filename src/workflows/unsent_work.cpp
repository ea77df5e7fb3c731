#include "workflows/unsent_work.h"

#include <array>
#include <type_traits>
#include <utility>
#include <variant>

#include "settings/reg_functions.h"

namespace parvel {
namespace {

constexpr std::wstring_view kMessage = L"Message";
constexpr std::wstring_view kRecipients = L"Recipients";
constexpr std::wstring_view kRecipient = L"Recipient";
constexpr std::wstring_view kDelayedSend = L"DelayedSend";
constexpr std::wstring_view kDelayedSendTime = L"DelayedSendTime";
constexpr wchar_t kFieldSeparator = L'|';
constexpr std::size_t kRowFields = 5;
constexpr wchar_t kHexDigits[] = L"0123456789ABCDEF";

// A character's code, whether wchar_t is signed (32 bits) or not (Windows).
std::uint32_t CodeOf(wchar_t ch) {
  return static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<wchar_t>>(ch));
}

int HexValue(wchar_t ch) {
  if (ch >= L'0' && ch <= L'9') return ch - L'0';
  if (ch >= L'A' && ch <= L'F') return ch - L'A' + 10;
  if (ch >= L'a' && ch <= L'f') return ch - L'a' + 10;
  return -1;
}

// Two digits, or four for the year.
void AppendNumber(std::wstring& text, int number, std::size_t digits) {
  const std::wstring part = std::to_wstring(number);
  if (part.size() < digits) text.append(digits - part.size(), L'0');
  text += part;
}

std::wstring TimeText(const LocalDateTime& when) {
  std::wstring text;
  AppendNumber(text, when.year, 4);
  text += L'-';
  AppendNumber(text, when.month, 2);
  text += L'-';
  AppendNumber(text, when.day, 2);
  text += L' ';
  AppendNumber(text, when.hour, 2);
  text += L':';
  AppendNumber(text, when.minute, 2);
  return text;
}

std::optional<LocalDateTime> ParseTimeText(std::wstring_view text) {
  // "YYYY-MM-DD hh:mm": each number at its place, the separators between.
  constexpr std::wstring_view kShape = L"0000-00-00 00:00";
  if (text.size() != kShape.size()) return std::nullopt;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= L'0' && text[i] <= L'9';
    if (kShape[i] == L'0' ? !digit : text[i] != kShape[i]) return std::nullopt;
  }
  const auto number = [&](std::size_t at, std::size_t digits) {
    int value = 0;
    for (std::size_t i = at; i < at + digits; ++i) value = value * 10 + (text[i] - L'0');
    return value;
  };
  const LocalDateTime when{.year = number(0, 4),
                           .month = number(5, 2),
                           .day = number(8, 2),
                           .hour = number(11, 2),
                           .minute = number(14, 2)};
  if (!IsRealDateTime(when)) return std::nullopt;
  return when;
}

std::wstring RowText(const RecipientEntry& row) {
  std::wstring text;
  const std::wstring kind(KindText(row.kind));
  for (const std::wstring* field : {&row.name, &row.mobile, &kind, &row.key, &row.tag}) {
    if (field != &row.name) text += kFieldSeparator;
    text += EscapeKeptText(*field);
  }
  return text;
}

RecipientEntry ParseRow(std::wstring_view text) {
  std::array<std::wstring, kRowFields> fields;
  std::size_t field = 0;
  while (true) {
    const auto end = text.find(kFieldSeparator);
    std::optional<std::wstring> value = UnescapeKeptText(text.substr(0, end));
    if (!value || field == kRowFields) throw UnsentWorkError("a kept recipient cannot be read");
    fields[field++] = std::move(*value);
    if (end == std::wstring_view::npos) break;
    text.remove_prefix(end + 1);
  }
  const std::optional<RecipientEntry::Kind> kind = KindFromText(fields[2]);
  if (field != kRowFields || !kind) throw UnsentWorkError("a kept recipient cannot be read");
  return {.name = std::move(fields[0]),
          .mobile = std::move(fields[1]),
          .kind = *kind,
          .key = std::move(fields[3]),
          .tag = std::move(fields[4])};
}

// A kept value as text without its terminating zero; none when it is missing.
std::optional<std::wstring> FetchKept(RegistryPort& registry, std::wstring_view name) {
  RegValue value = RegFetchValue(registry, kHkeyCurrentUser, kUnsentWorkKeyPath, name);
  auto* text = std::get_if<std::wstring>(&value);
  if (text == nullptr) return std::nullopt;
  if (!text->empty() && text->back() == L'\0') text->pop_back();
  return std::move(*text);
}

std::wstring RequiredKept(RegistryPort& registry, std::wstring_view name) {
  std::optional<std::wstring> text = FetchKept(registry, name);
  if (!text) throw UnsentWorkError("a kept value is missing");
  return std::move(*text);
}

}  // namespace

std::wstring EscapeKeptText(std::wstring_view text) {
  std::wstring kept;
  kept.reserve(text.size());
  const auto escape = [&](std::uint32_t unit) {
    kept += L"\\u";
    for (int shift = 12; shift >= 0; shift -= 4) kept += kHexDigits[(unit >> shift) & 0xFU];
  };
  for (const wchar_t ch : text) {
    const std::uint32_t code = CodeOf(ch);
    if (ch == L'\\') {
      kept += L"\\\\";
    } else if (ch >= 0x20 && ch <= 0x7E && ch != kFieldSeparator) {
      kept += ch;
    } else if (code > 0xFFFF) {
      // Only where wchar_t is 32 bits wide: the UTF-16 pair Windows holds.
      escape(0xD800 + ((code - 0x10000) >> 10));
      escape(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      escape(code);
    }
  }
  return kept;
}

std::optional<std::wstring> UnescapeKeptText(std::wstring_view text) {
  std::wstring plain;
  plain.reserve(text.size());
  bool pair_open = false;  // the last character came as a high surrogate
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t ch = text[i];
    if (ch < 0x20 || ch > 0x7E || ch == kFieldSeparator) return std::nullopt;
    if (ch != L'\\') {
      plain += ch;
      pair_open = false;
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == L'\\') {
      plain += L'\\';
      pair_open = false;
      ++i;
      continue;
    }
    if (i + 5 >= text.size() || text[i + 1] != L'u') return std::nullopt;
    std::uint32_t unit = 0;
    for (std::size_t k = i + 2; k < i + 6; ++k) {
      const int digit = HexValue(text[k]);
      if (digit < 0) return std::nullopt;
      unit = unit * 16 + static_cast<std::uint32_t>(digit);
    }
    i += 5;
    // Where wchar_t is 32 bits wide a UTF-16 pair is one character again.
    if (sizeof(wchar_t) == 4 && pair_open && unit >= 0xDC00 && unit <= 0xDFFF) {
      const std::uint32_t high = CodeOf(plain.back());
      plain.back() = static_cast<wchar_t>(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
      pair_open = false;
      continue;
    }
    pair_open = unit >= 0xD800 && unit <= 0xDBFF;
    plain += static_cast<wchar_t>(unit);
  }
  return plain;
}

std::int32_t KeepUnsentWork(RegistryPort& registry, const UnsentWork& work) {
  // Rows of an earlier, longer list must not stay behind.
  std::int32_t code = RegRemoveKey(registry, kHkeyCurrentUser, kUnsentWorkKeyPath);
  if (code != kErrorSuccess) return code;
  RegEnsureKey(registry, kHkeyCurrentUser, kUnsentWorkKeyPath);
  const auto store = [&](std::wstring_view name, const std::wstring& text) {
    if (code == kErrorSuccess) {
      code = RegStoreValue(registry, kHkeyCurrentUser, kUnsentWorkKeyPath, name, text, kRegSz);
    }
  };
  for (std::size_t i = 0; i < work.rows.size(); ++i) {
    store(std::wstring(kRecipient) + std::to_wstring(i + 1), RowText(work.rows[i]));
  }
  store(kDelayedSend, work.delayed_send ? L"1" : L"0");
  if (work.delayed_send_time) store(kDelayedSendTime, TimeText(*work.delayed_send_time));
  store(kRecipients, std::to_wstring(work.rows.size()));
  // Written last: a keeping cut short leaves no message to bring back.
  store(kMessage, EscapeKeptText(work.message));
  return code;
}

std::optional<UnsentWork> ReadUnsentWork(RegistryPort& registry) {
  const std::optional<std::wstring> message = FetchKept(registry, kMessage);
  if (!message) return std::nullopt;
  UnsentWork work;
  std::optional<std::wstring> plain = UnescapeKeptText(*message);
  if (!plain) throw UnsentWorkError("the kept message cannot be read");
  work.message = std::move(*plain);

  const std::wstring count = RequiredKept(registry, kRecipients);
  if (count.empty() || count.size() > 6 || count.find_first_not_of(L"0123456789") != count.npos) {
    throw UnsentWorkError("the number of kept recipients cannot be read");
  }
  const std::size_t rows = std::stoul(count);
  work.rows.reserve(rows);
  for (std::size_t i = 1; i <= rows; ++i) {
    work.rows.push_back(
        ParseRow(RequiredKept(registry, std::wstring(kRecipient) + std::to_wstring(i))));
  }

  const std::wstring delayed = RequiredKept(registry, kDelayedSend);
  if (delayed != L"0" && delayed != L"1") {
    throw UnsentWorkError("the kept delayed-send choice cannot be read");
  }
  work.delayed_send = delayed == L"1";
  if (const std::optional<std::wstring> time = FetchKept(registry, kDelayedSendTime)) {
    work.delayed_send_time = ParseTimeText(*time);
    if (!work.delayed_send_time) throw UnsentWorkError("the kept delayed-send time cannot be read");
  }
  return work;
}

std::int32_t ForgetUnsentWork(RegistryPort& registry) {
  return RegRemoveKey(registry, kHkeyCurrentUser, kUnsentWorkKeyPath);
}

}  // namespace parvel
