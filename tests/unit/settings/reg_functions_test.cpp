#include "settings/reg_functions.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/memory_registry.h"
#include "unit/settings/observed_registry.h"

namespace parvel {
namespace {

using settings_test::ObservedRegistry;
using settings_test::RegistryCall;
using Op = RegistryCall::Op;

constexpr std::wstring_view kPath = L"Software\\RegFunctionsTest";

RegValue Text(std::wstring_view text) { return std::wstring(text); }

class RegFunctionsTest : public ::testing::Test {
 protected:
  MemoryRegistry store;
  ObservedRegistry registry{store};

  void SetUp() override { RegEnsureKey(store, kHkeyCurrentUser, kPath); }

  std::int32_t Store(std::wstring_view name, const RegValue& value, std::uint32_t type = kRegSz) {
    return RegStoreValue(registry, kHkeyCurrentUser, kPath, name, value, type);
  }
  RegValue Fetch(std::wstring_view name) {
    return RegFetchValue(registry, kHkeyCurrentUser, kPath, name);
  }
  std::optional<RegistryData> Stored(std::wstring_view name) const {
    return store.Find(kHkeyCurrentUser, kPath, name);
  }
  void Put(std::wstring_view name, std::uint32_t type, std::string bytes) {
    store.Put(kHkeyCurrentUser, kPath, name, {.type = type, .bytes = std::move(bytes)});
  }

  // RegReadValue on a key opened for the purpose, starting from a value that
  // a caller already holds.
  std::int32_t Read(std::wstring_view name, RegValue& value) {
    RegKey key = kNoRegKey;
    EXPECT_EQ(store.OpenKey(kHkeyCurrentUser, kPath, kRegAccess, key), kErrorSuccess);
    const std::int32_t code = RegReadValue(registry, key, name, value);
    store.CloseKey(key);
    return code;
  }

  void TearDown() override { EXPECT_EQ(store.OpenHandleCount(), 0U) << "a key was left open"; }
};

TEST_F(RegFunctionsTest, TextIsWrittenInTheAnsiCodePageWithoutItsZeroAndReadBackWithIt) {
  EXPECT_EQ(Store(L"Name", Text(L"abc")), kErrorSuccess);
  // The registry adds the zero.
  EXPECT_EQ(registry.calls, (std::vector<RegistryCall>{{Op::Open, std::wstring(kPath), 63},
                                                       {Op::Set, L"Name", kRegSz, "abc"},
                                                       {Op::Close, L""}}));
  EXPECT_EQ(Stored(L"Name"), (RegistryData{kRegSz, std::string("abc\0", 4)}));

  const RegValue fetched = Fetch(L"Name");
  ASSERT_TRUE(std::holds_alternative<std::wstring>(fetched));
  EXPECT_EQ(std::get<std::wstring>(fetched), std::wstring(L"abc\0", 4));

  // Through the ANSI code page, both ways.
  Store(L"Caf\u00E9", Text(L"\u00E9\u20AC \u0100"));
  EXPECT_EQ(Stored(L"Caf\u00E9")->bytes, std::string("\xE9\x80 ?\0", 5));
  EXPECT_EQ(Fetch(L"Caf\u00E9"), Text(std::wstring(L"\u00E9\u20AC ?\0", 5)));
}

TEST_F(RegFunctionsTest, ValuesOfEitherKindConvertToTheTypeWritten) {
  EXPECT_EQ(Store(L"Seven", std::int32_t{7}), kErrorSuccess);
  EXPECT_EQ(Store(L"Nothing", RegValue{}), kErrorSuccess);
  EXPECT_EQ(Stored(L"Seven"), (RegistryData{kRegSz, std::string("7\0", 2)}));
  EXPECT_EQ(Stored(L"Nothing"), (RegistryData{kRegSz, ""}));
  EXPECT_EQ(Fetch(L"Nothing"), Text(L"")) << "an empty text, not a missing value";

  EXPECT_EQ(Store(L"Number", std::int32_t{7}, kRegDword), kErrorSuccess);
  EXPECT_EQ(Store(L"Negative", Text(L"-2"), kRegDword), kErrorSuccess);
  EXPECT_EQ(Store(L"Lowest", Text(L"-2147483648"), kRegDword), kErrorSuccess);
  EXPECT_EQ(Store(L"Zero", RegValue{}, kRegDword), kErrorSuccess);
  EXPECT_EQ(Stored(L"Number"), (RegistryData{kRegDword, std::string("\x07\0\0\0", 4)}));
  EXPECT_EQ(Stored(L"Negative"), (RegistryData{kRegDword, "\xFE\xFF\xFF\xFF"}));
  EXPECT_EQ(Fetch(L"Number"), RegValue(std::int32_t{7})) << "a number, not a text";
  EXPECT_EQ(Fetch(L"Negative"), RegValue(std::int32_t{-2}));
  EXPECT_EQ(Fetch(L"Lowest"), RegValue(std::int32_t{-2147483647 - 1}));
  EXPECT_EQ(Fetch(L"Zero"), RegValue(std::int32_t{0}));

  for (const auto* text : {L"", L"4x", L"2147483648", L"-", L" 7"}) {
    EXPECT_EQ(Store(L"Bad", Text(text), kRegDword), kErrorInvalidParameter) << text;
  }
  EXPECT_FALSE(Stored(L"Bad"));
}

TEST_F(RegFunctionsTest, OtherTypesWriteNothingAndSucceed) {
  EXPECT_EQ(Store(L"Binary", Text(L"abc"), kRegBinary), kErrorSuccess);
  EXPECT_EQ(Store(L"Expand", Text(L"abc"), kRegExpandSz), kErrorSuccess);
  EXPECT_TRUE(store.ValueNames(kHkeyCurrentUser, kPath).empty());
}

TEST_F(RegFunctionsTest, MissingValuesAndKeysFetchAsEmptyAndAreNeitherCreatedNorStoredInto) {
  EXPECT_EQ(Fetch(L"Missing"), RegValue{});
  EXPECT_EQ(RegFetchValue(registry, kHkeyCurrentUser, L"Software\\Nowhere", L"Name"), RegValue{});
  EXPECT_FALSE(store.KeyExists(kHkeyCurrentUser, L"Software\\Nowhere"))
      << "a fetch creates nothing";

  RegValue held = Text(L"held");
  EXPECT_EQ(Read(L"Missing", held), kErrorFileNotFound);
  EXPECT_EQ(held, Text(L"held")) << "untouched";

  registry.calls.clear();
  const std::int32_t code =
      RegStoreValue(registry, kHkeyCurrentUser, L"Software\\Nowhere", L"Name", Text(L"x"), kRegSz);
  EXPECT_EQ(code, kErrorFileNotFound) << "the open's reason, not the absent handle's";
  EXPECT_FALSE(store.KeyExists(kHkeyCurrentUser, L"Software\\Nowhere"));
  EXPECT_EQ(registry.calls.front().op, Op::Open);
  EXPECT_NE(registry.calls.back().op, Op::Close) << "no handle to close";
}

TEST_F(RegFunctionsTest, AFailedWriteGivesTheRegistryCode) {
  Put(L"Name", kRegSz, std::string("old\0", 4));
  store.FailWrites(kHkeyCurrentUser, kPath, kErrorAccessDenied);
  EXPECT_EQ(Store(L"Name", Text(L"new")), kErrorAccessDenied);
  EXPECT_EQ(Store(L"Number", std::int32_t{1}, kRegDword), kErrorAccessDenied);
  EXPECT_EQ(Fetch(L"Name"), Text(std::wstring(L"old\0", 4)));
}

TEST_F(RegFunctionsTest, UnhandledTypesReadAsMinusOneAndFetchAsEmpty) {
  Put(L"Binary", kRegBinary, "abc");
  Put(L"Expand", kRegExpandSz, std::string("%x%\0", 4));
  for (const auto* name : {L"Binary", L"Expand"}) {
    RegValue held = std::int32_t{9};
    EXPECT_EQ(Read(name, held), kRegUnhandledType) << name;
    EXPECT_EQ(held, RegValue(std::int32_t{9})) << name;
    EXPECT_EQ(Fetch(name), RegValue{}) << name;
  }
}

TEST_F(RegFunctionsTest, TheSecondQueryAsksForExactlyTheReportedSize) {
  Put(L"Name", kRegSz, std::string("abc\0", 4));
  RegValue held;
  registry.before_data_query = [&] { Put(L"Name", kRegSz, std::string("abcd\0", 5)); };
  EXPECT_EQ(Read(L"Name", held), kErrorMoreData);
  EXPECT_EQ(held, RegValue{}) << "a text that could not be read is empty";

  held = Text(L"held");
  registry.before_data_query = [&] { Put(L"Name", kRegSz, std::string("x\0", 2)); };
  EXPECT_EQ(Read(L"Name", held), kErrorSuccess);
  EXPECT_EQ(held, Text(std::wstring(L"x\0", 2))) << "only the bytes the registry gave";

  Put(L"Name", kRegSz, std::string("abcd\0", 5));
  registry.before_data_query = [&] { Put(L"Name", kRegDword, std::string("\1\0\0\0", 4)); };
  EXPECT_EQ(Read(L"Name", held), kRegUnhandledType);
  EXPECT_EQ(held, RegValue{});
}

TEST_F(RegFunctionsTest, ANumberChangedBetweenTheQueriesIsLeftAsItWas) {
  Put(L"Number", kRegDword, std::string("\1\0\0\0", 4));
  RegValue held = Text(L"held");
  registry.before_data_query = [&] { Put(L"Number", kRegDword, "12345678"); };
  EXPECT_EQ(Read(L"Number", held), kErrorMoreData);
  EXPECT_EQ(held, Text(L"held"));
  registry.before_data_query = [&] { Put(L"Number", kRegSz, std::string("ab\0", 3)); };
  EXPECT_EQ(Read(L"Number", held), kRegUnhandledType);
  EXPECT_EQ(held, Text(L"held"));
}

TEST_F(RegFunctionsTest, EnsuringAKeyCreatesItOnceAndReportsNothing) {
  RegEnsureKey(registry, kHkeyCurrentUser, L"Software\\New\\Key");
  EXPECT_TRUE(store.KeyExists(kHkeyCurrentUser, L"Software\\New\\Key"));
  ASSERT_FALSE(registry.calls.empty());
  EXPECT_EQ(registry.calls.front(), (RegistryCall{Op::Create, L"Software\\New\\Key", 63}));
  Put(L"Kept", kRegSz, std::string("x\0", 2));
  RegEnsureKey(registry, kHkeyCurrentUser, kPath);
  EXPECT_EQ(Fetch(L"Kept"), Text(std::wstring(L"x\0", 2)));

  store.FailWrites(kHkeyCurrentUser, L"Software\\Locked");
  RegEnsureKey(registry, kHkeyCurrentUser, L"Software\\Locked\\Child");
  EXPECT_FALSE(store.KeyExists(kHkeyCurrentUser, L"Software\\Locked\\Child"));
}

}  // namespace
}  // namespace parvel
