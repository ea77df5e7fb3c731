#include "settings/settings_key.h"

#include <gtest/gtest.h>

#include "support/memory_registry.h"

namespace parvel {
namespace {

class SettingsKeyTest : public ::testing::Test {
 protected:
  MemoryRegistry registry;

  void Put(std::wstring_view name, std::string bytes, std::uint32_t type = kRegSz) {
    registry.Put(kHkeyCurrentUser, SettingsKeyPath, name,
                 {.type = type, .bytes = std::move(bytes)});
  }
  void PutText(std::wstring_view name, std::string_view text) {
    Put(name, std::string(text) + '\0');
  }
};

TEST_F(SettingsKeyTest, TextsLoseOnlyTheirTerminatingZero) {
  PutText(L"Text", "abc");
  PutText(L"One", "x");
  PutText(L"Empty", "");
  Put(L"Bare", "");
  Put(L"Unterminated", "abc");
  EXPECT_EQ(FetchSettingText(registry, L"Text"), L"abc");
  EXPECT_EQ(FetchSettingText(registry, L"One"), L"x");
  EXPECT_EQ(FetchSettingText(registry, L"Empty"), L"");
  EXPECT_EQ(FetchSettingText(registry, L"Bare"), L"");
  EXPECT_EQ(FetchSettingText(registry, L"Unterminated"), L"abc");
  EXPECT_EQ(FetchSettingText(registry, L"Missing"), L"");
}

TEST_F(SettingsKeyTest, NewBarIsOnOnlyForExactlyOne) {
  EXPECT_FALSE(ReadNewBar(registry)) << "missing key";
  for (const auto* text : {"", "0", "01", "1 ", " 1", "yes", "2"}) {
    PutText(L"NewBar", text);
    EXPECT_FALSE(ReadNewBar(registry)) << text;
  }
  PutText(L"NewBar", "1");
  EXPECT_TRUE(ReadNewBar(registry));
  // An administrator's number reads as its decimal text, whole: 10 is not 1.
  Put(L"NewBar", std::string("\1\0\0\0", 4), kRegDword);
  EXPECT_TRUE(ReadNewBar(registry)) << "the number 1";
  Put(L"NewBar", std::string("\0\0\0\0", 4), kRegDword);
  EXPECT_FALSE(ReadNewBar(registry)) << "the number 0";
  Put(L"NewBar", std::string("\x0A\0\0\0", 4), kRegDword);
  EXPECT_FALSE(ReadNewBar(registry)) << "the number 10";
  EXPECT_EQ(registry.OpenHandleCount(), 0U);
}

}  // namespace
}  // namespace parvel
