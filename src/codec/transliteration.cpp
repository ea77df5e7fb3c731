#include "codec/transliteration.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

namespace parvel {
namespace {

// Twelve bytes a character: the forms are offsets into one pool of text.
struct TransliterationEntry {
  char32_t code;
  std::uint16_t plain_offset;
  std::uint8_t plain_length;
  bool lowercase;
  std::uint16_t before_lower_offset;
  std::uint8_t before_lower_length;
};

// kFormText, kLatinForms and kGermanForms, written at build time from CLDR's
// transforms (tools/transliteration); each table is sorted by code.
#include "codec/transliteration_table.inc"

const TransliterationEntry* Find(std::span<const TransliterationEntry> table, char32_t ch) {
  const auto entry = std::lower_bound(
      table.begin(), table.end(), ch,
      [](const TransliterationEntry& candidate, char32_t code) { return candidate.code < code; });
  return entry != table.end() && entry->code == ch ? &*entry : nullptr;
}

}  // namespace

TransliterationRules RulesForLanguage(std::wstring_view iso639) {
  return iso639 == L"de" ? TransliterationRules::German : TransliterationRules::Latin;
}

std::optional<std::string_view> PlainForm(char32_t ch, bool before_lowercase,
                                          TransliterationRules rules) {
  const TransliterationEntry* entry =
      rules == TransliterationRules::German ? Find(kGermanForms, ch) : nullptr;
  if (entry == nullptr) entry = Find(kLatinForms, ch);
  if (entry == nullptr) return std::nullopt;
  const std::string_view text(kFormText);
  return before_lowercase ? text.substr(entry->before_lower_offset, entry->before_lower_length)
                          : text.substr(entry->plain_offset, entry->plain_length);
}

bool IsLowercaseLetter(char32_t ch) {
  if (ch < 0x80) return ch >= U'a' && ch <= U'z';
  const TransliterationEntry* entry = Find(kLatinForms, ch);
  return entry != nullptr && entry->lowercase;
}

}  // namespace parvel
