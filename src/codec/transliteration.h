#pragma once

#include <optional>
#include <string_view>

namespace parvel {

// Whose rules give a character its plain form: Unicode CLDR's Latin-ASCII
// (with Greek-Latin and Cyrillic-Latin before it), or de-ASCII for German
// users, which writes ä ö ü as ae oe ue.
enum class TransliterationRules { Latin, German };

// The rules for a user whose locale's language is the ISO 639 code given.
TransliterationRules RulesForLanguage(std::wstring_view iso639);

// The plain ASCII form that CLDR's transforms give a character beyond ASCII
// ("é" -> "e", "ß" -> "ss", "’" -> "'", "…" -> "..."), or none where they
// give none (CJK, emoji, most symbols). Some forms depend on whether a
// lower-case letter follows: "Ä" -> "Ae" in "Äpfel", "AE" in "ÄRGER".
std::optional<std::string_view> PlainForm(char32_t ch, bool before_lowercase,
                                          TransliterationRules rules);

// Whether a character is a lower-case letter, for the character before it.
bool IsLowercaseLetter(char32_t ch);

}  // namespace parvel
