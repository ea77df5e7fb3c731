#include "codec/plain_text.h"

#include <gtest/gtest.h>

namespace parvel {
namespace {

TEST(PlainText, FoldsAsciiAndTheLatin1CapitalsOnly) {
  // 0xC0-0xDE are the capitals À-Þ but for × (0xD7); each folds to its small
  // letter 32 above; ÷ (0xF7), ß (0xDF) and ÿ (0xFF) have no capital here.
  for (wchar_t ch = 0xC0; ch <= 0xDE; ++ch) {
    SCOPED_TRACE(static_cast<int>(ch));
    EXPECT_EQ(FoldCase(ch), ch == 0xD7 ? ch : static_cast<wchar_t>(ch + 32));
  }
  EXPECT_EQ(FoldCase(L'A'), L'a');
  EXPECT_EQ(FoldCase(L'Z'), L'z');
  for (const wchar_t unchanged : {L'@', L'[', L'a', L'z', L'0', wchar_t{0xDF}, wchar_t{0xF7},
                                  wchar_t{0xFF}, wchar_t{0x0100}}) {
    EXPECT_EQ(FoldCase(unchanged), unchanged) << static_cast<int>(unchanged);
  }
  EXPECT_TRUE(EqualsIgnoringCase(L"\u00C9MILE", L"\u00E9mile"));
  EXPECT_FALSE(EqualsIgnoringCase(L"ab", L"abc"));
  EXPECT_TRUE(LessIgnoringCase(L"apple", L"BANANA"));
  EXPECT_FALSE(LessIgnoringCase(L"B", L"a"));
}

TEST(PlainText, RemovesOnlyCrLfPairs) {
  EXPECT_EQ(RemoveCrLf(L"a\r\nb\r\n"), L"ab");
  EXPECT_EQ(RemoveCrLf(L"a\rb\nc\n\r"), L"a\rb\nc\n\r");
  EXPECT_EQ(RemoveCrLf(L"\r\r\n\n"), L"\r\n");
}

}  // namespace
}  // namespace parvel
