#pragma once

#include <string>
#include <string_view>

namespace parvel {

// Letter case folding as the add-in compares names and month names: ASCII and
// the Latin-1 capitals that Western names and locales use.
wchar_t FoldCase(wchar_t ch) noexcept;
bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) noexcept;
bool LessIgnoringCase(std::wstring_view a, std::wstring_view b) noexcept;

// The text with every CR LF pair deleted; lone CR and LF stay.
std::wstring RemoveCrLf(std::wstring_view text);

}  // namespace parvel
