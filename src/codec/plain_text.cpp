#include "codec/plain_text.h"

#include <algorithm>

namespace parvel {

wchar_t FoldCase(wchar_t ch) noexcept {
  if ((ch >= L'A' && ch <= L'Z') || (ch >= 0xC0 && ch <= 0xDE && ch != 0xD7)) {
    return static_cast<wchar_t>(ch + 32);
  }
  return ch;
}

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) noexcept {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](wchar_t x, wchar_t y) { return FoldCase(x) == FoldCase(y); });
}

bool LessIgnoringCase(std::wstring_view a, std::wstring_view b) noexcept {
  return std::lexicographical_compare(
      a.begin(), a.end(), b.begin(), b.end(),
      [](wchar_t x, wchar_t y) { return FoldCase(x) < FoldCase(y); });
}

std::wstring RemoveCrLf(std::wstring_view text) {
  std::wstring result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
      ++i;
      continue;
    }
    result.push_back(text[i]);
  }
  return result;
}

}  // namespace parvel
