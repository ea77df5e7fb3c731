#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "codec/code_page.h"
#include "codec/transliteration.h"

namespace parvel {

// Whether the gateway carries a character (one UTF-16 unit, or a surrogate
// pair) wherever it stands in the enciphered section: the code page has it,
// and each of its bytes stays within 255 whatever key character it meets.
// Only such characters are sent as they are; ASCII always is.
bool AlwaysCarried(std::wstring_view character, const CodePage& code_page);

// A text as the gateway would get it on this code page.
struct GatewayText {
  // Every character the gateway may refuse written in its plain form, each
  // the same wherever it stands; a character without one is left in place.
  std::wstring text;
  std::vector<std::wstring> replaced;    // each replaced character once, in order
  std::vector<std::wstring> unsendable;  // each character without a plain form once
  std::size_t replaced_places = 0;       // how often they stand in the text
  std::size_t unsendable_places = 0;

  bool Sendable() const noexcept { return unsendable.empty(); }
};

GatewayText ToGatewayText(std::wstring_view text, const CodePage& code_page,
                          TransliterationRules rules);

// A name as the section carries it (the sender, a recipient, the name
// prefix): labels never stop a send, so a character without a plain form is
// left out, and a name left with nothing to write is sent as "Unknown".
std::wstring GatewayLabel(std::wstring_view name, const CodePage& code_page,
                          TransliterationRules rules);

// The characters of a text one by one: a UTF-16 surrogate pair is one.
std::vector<std::wstring_view> Characters(std::wstring_view text);

}  // namespace parvel
