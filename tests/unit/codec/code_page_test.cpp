#include "codec/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace parvel {
namespace {

TEST(Windows1252, EveryByteRoundTripsAndOtherCharactersBecomeQuestionMarks) {
  std::string bytes;
  for (int byte = 0; byte < 256; ++byte) bytes.push_back(static_cast<char>(byte));
  const Windows1252CodePage code_page;
  const std::wstring text = code_page.FromBytes(bytes);
  ASSERT_EQ(text.size(), 256U);
  EXPECT_EQ(text[0x80], L'\u20AC');
  EXPECT_EQ(text[0x81], L'\u0081');
  EXPECT_EQ(text[0x9F], L'\u0178');
  EXPECT_EQ(text[0xE9], L'\u00E9');
  EXPECT_EQ(code_page.ToBytes(text), bytes);
  EXPECT_EQ(code_page.ToBytes(L"a\u0100b\u4E2D"), "a?b?");
}

// The system code page of the test machine: Windows-1252 natively, and the
// ANSI code page of the pinned Wine locale under Wine. A difference between
// the two shows up here.
TEST(SystemCodePage, AgreesWithWindows1252) {
  const std::wstring text = L"Caf\u00E9 \u20AC5 \u2013 \u0178";
  EXPECT_EQ(SystemCodePage().ToBytes(text), Windows1252CodePage().ToBytes(text));
  EXPECT_EQ(SystemCodePage().ToBytes(L"\u0100"), "?") << "no best-fit mapping";
  EXPECT_EQ(SystemCodePage().FromBytes("\x80\xE9"), L"\u20AC\u00E9");
}

}  // namespace
}  // namespace parvel
