#include "settings/registry_win.h"

#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/handles_win.h"
#include "settings/reg_functions.h"
#include "unit/settings/observed_registry.h"

namespace parvel {
namespace {

using settings_test::ObservedRegistry;

RegValue Text(std::wstring text) { return text; }

// Every test works in a key of its own under HKCU\Software, removed afterwards.
class WindowsRegistryTest : public ::testing::Test {
 protected:
  WindowsRegistry registry;
  std::string path;
  std::wstring wide_path;

  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    path = "Software\\ParvelTest-" + std::to_string(GetCurrentProcessId()) + "-" + test->name();
    wide_path.assign(path.begin(), path.end());
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
  }

  void TearDown() override {
    key.reset();
    EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str()), ERROR_SUCCESS);
    win::UniqueHkey gone;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, gone.put()),
              ERROR_FILE_NOT_FOUND);
  }

  std::int32_t Store(std::wstring_view name, const RegValue& value, std::uint32_t type = kRegSz) {
    return RegStoreValue(registry, kHkeyCurrentUser, wide_path, name, value, type);
  }
  RegValue Fetch(std::wstring_view name) {
    return RegFetchValue(registry, kHkeyCurrentUser, wide_path, name);
  }
  void SetRaw(const char* name, DWORD type, std::string_view bytes) {
    ASSERT_EQ(RegSetValueExA(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
  }
  // The value as the registry holds it, read back through the ANSI functions.
  std::pair<DWORD, std::string> Raw(const char* name) {
    DWORD type = 0;
    char data[64] = {};
    DWORD size = sizeof data;
    EXPECT_EQ(
        RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size),
        ERROR_SUCCESS);
    return {type, std::string(data, size)};
  }

  win::UniqueHkey key;
};

TEST_F(WindowsRegistryTest, TextComesBackWithItsZeroAndItsWindows1252Characters) {
  EXPECT_EQ(Store(L"Name", Text(L"abc")), ERROR_SUCCESS);
  EXPECT_EQ(Raw("Name"), std::make_pair(DWORD{REG_SZ}, std::string("abc\0", 4)));
  EXPECT_EQ(Fetch(L"Name"), Text(std::wstring(L"abc\0", 4)));
  EXPECT_EQ(Store(L"Empty", Text(L"")), ERROR_SUCCESS);
  EXPECT_EQ(Fetch(L"Empty"), Text(L""));

  // Other programs may store a text without its terminating zero (through the
  // wide functions); the ANSI read supplies it, and the two queries agree on it.
  const std::wstring text = L"abc";
  ASSERT_EQ(
      RegSetValueExW(key.get(), L"Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                     static_cast<DWORD>(text.size() * sizeof(wchar_t))),
      ERROR_SUCCESS);
  EXPECT_EQ(Fetch(L"Bare"), Text(std::wstring(L"abc\0", 4)));

  // Windows-1252 text round-trips through the ANSI code page.
  const std::wstring western = L"Caf\u00E9 \u20AC5";
  EXPECT_EQ(Store(L"Pr\u00E9nom", Text(western)), ERROR_SUCCESS);
  EXPECT_EQ(Fetch(L"Pr\u00E9nom"), Text(western + L'\0'));
  wchar_t stored[32] = {};
  DWORD size = sizeof stored;
  ASSERT_EQ(RegQueryValueExW(key.get(), L"Pr\u00E9nom", nullptr, nullptr,
                             reinterpret_cast<BYTE*>(stored), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(stored), western) << "the registry holds the characters themselves";
}

TEST_F(WindowsRegistryTest, ANumberIsStoredAsADwordAndBinaryValuesAreNotRead) {
  EXPECT_EQ(Store(L"Number", std::int32_t{7}, kRegDword), ERROR_SUCCESS);
  EXPECT_EQ(Raw("Number"), std::make_pair(DWORD{REG_DWORD}, std::string("\7\0\0\0", 4)));
  EXPECT_EQ(Fetch(L"Number"), RegValue(std::int32_t{7}));
  EXPECT_EQ(Store(L"Negative", std::int32_t{-5}, kRegDword), ERROR_SUCCESS);
  EXPECT_EQ(Fetch(L"Negative"), RegValue(std::int32_t{-5}));

  SetRaw("Binary", REG_BINARY, "abc");
  EXPECT_EQ(Fetch(L"Binary"), RegValue{});
  RegValue held = std::int32_t{9};
  EXPECT_EQ(
      RegReadValue(registry, RegKey{reinterpret_cast<std::intptr_t>(key.get())}, L"Binary", held),
      kRegUnhandledType);
  EXPECT_EQ(held, RegValue(std::int32_t{9}));
}

TEST_F(WindowsRegistryTest, AMissingKeyOrValueFetchesAsEmptyAndIsNotCreatedByAStore) {
  EXPECT_EQ(Fetch(L"Missing"), RegValue{});
  EXPECT_EQ(RegFetchValue(registry, kHkeyCurrentUser, wide_path + L"\\Missing", L"Name"),
            RegValue{});
  EXPECT_NE(RegStoreValue(registry, kHkeyCurrentUser, wide_path + L"\\Missing", L"Name", Text(L"x"),
                          kRegSz),
            ERROR_SUCCESS);
  win::UniqueHkey missing;
  EXPECT_EQ(RegOpenKeyExA(key.get(), "Missing", 0, KEY_READ, missing.put()), ERROR_FILE_NOT_FOUND);
}

TEST_F(WindowsRegistryTest, AKeyDeniedToWritesReportsAccessDenied) {
  // Everyone may read and change permissions, nobody may set values.
  const auto protect = [&](const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
    EXPECT_EQ(RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
    LocalFree(descriptor);
  };
  SetRaw("Name", REG_SZ, std::string("old\0", 4));
  protect(L"D:(D;;0x6;;;WD)(A;;KA;;;WD)");
  EXPECT_EQ(Store(L"Name", Text(L"new")), ERROR_ACCESS_DENIED);
  protect(L"D:(A;;KA;;;WD)");
  EXPECT_EQ(Raw("Name").second, std::string("old\0", 4));
}

TEST_F(WindowsRegistryTest, EnsuredKeysAreCreatedAndRemovingOneTakesItsValuesButNotItsSubkeys) {
  RegEnsureKey(registry, kHkeyCurrentUser, wide_path + L"\\Kept\\Below");
  RegEnsureKey(registry, kHkeyCurrentUser, wide_path + L"\\Gone");
  ASSERT_EQ(
      RegStoreValue(registry, kHkeyCurrentUser, wide_path + L"\\Gone", L"Name", Text(L"x"), kRegSz),
      ERROR_SUCCESS);
  EXPECT_EQ(RegRemoveKey(registry, kHkeyCurrentUser, wide_path + L"\\Gone"), ERROR_SUCCESS);
  win::UniqueHkey gone;
  EXPECT_EQ(RegOpenKeyExA(key.get(), "Gone", 0, KEY_READ, gone.put()), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegRemoveKey(registry, kHkeyCurrentUser, wide_path + L"\\Gone"), ERROR_SUCCESS)
      << "already gone";
  EXPECT_NE(RegRemoveKey(registry, kHkeyCurrentUser, wide_path + L"\\Kept"), ERROR_SUCCESS);
  win::UniqueHkey kept;
  EXPECT_EQ(RegOpenKeyExA(key.get(), "Kept\\Below", 0, KEY_READ, kept.put()), ERROR_SUCCESS);
}

TEST_F(WindowsRegistryTest, AValueRewrittenBetweenTheQueriesIsReadAsTheRegistryGivesIt) {
  ObservedRegistry observed(registry);
  const RegKey handle{reinterpret_cast<std::intptr_t>(key.get())};
  SetRaw("Name", REG_SZ, std::string("abc\0", 4));
  observed.before_data_query = [&] { SetRaw("Name", REG_SZ, std::string("abcdef\0", 7)); };
  RegValue held = Text(L"held");
  EXPECT_EQ(RegReadValue(observed, handle, L"Name", held), ERROR_MORE_DATA);
  EXPECT_EQ(held, RegValue{});

  observed.before_data_query = [&] { SetRaw("Name", REG_SZ, std::string("x\0", 2)); };
  EXPECT_EQ(RegReadValue(observed, handle, L"Name", held), ERROR_SUCCESS);
  EXPECT_EQ(held, Text(std::wstring(L"x\0", 2)));
}

}  // namespace
}  // namespace parvel
