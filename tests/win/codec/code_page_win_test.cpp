#include "codec/code_page_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>

namespace parvel {
namespace {

TEST(WindowsCodePage, AnAnsiCodePageWritesQuestionMarksNotLookAlikes) {
  const auto western = WindowsCodePage(1252);
  EXPECT_EQ(western->ToBytes(L"Caf\u00e9 \u0101\u0141"), "Caf\xe9 ??");
  EXPECT_EQ(western->FromBytes("Caf\xe9"), L"Caf\u00e9");
  EXPECT_FALSE(western->DoubleByte());
}

// What Windows set to "Use Unicode UTF-8 for worldwide language support" has
// as its ANSI code page.
TEST(WindowsCodePage, Utf8CarriesEveryCharacterInSeveralBytes) {
  const auto utf8 = WindowsCodePage(CP_UTF8);
  EXPECT_EQ(utf8->ToBytes(L"\u0141\u00f3d\u017a"),
            "\xc5\x81\xc3\xb3"
            "d\xc5\xba");
  EXPECT_EQ(utf8->FromBytes("\xc5\x81\xc3\xb3"
                            "d\xc5\xba"),
            L"\u0141\u00f3d\u017a");
  EXPECT_TRUE(utf8->DoubleByte());
}

TEST(WindowsCodePage, AFailedConversionIsAnErrorNotAnEmptyText) {
  const auto unknown = WindowsCodePage(12345);  // no such code page
  EXPECT_THROW(unknown->ToBytes(L"text"), std::runtime_error);
  EXPECT_THROW(unknown->FromBytes("text"), std::runtime_error);
  EXPECT_EQ(unknown->ToBytes(L""), "");
}

}  // namespace
}  // namespace parvel
