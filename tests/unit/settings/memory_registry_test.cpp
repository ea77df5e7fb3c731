#include "support/memory_registry.h"

#include <gtest/gtest.h>

#include <array>

namespace parvel {
namespace {

constexpr RegKey kHkeyLocalMachine{static_cast<std::int32_t>(0x80000002U)};

class MemoryRegistryTest : public ::testing::Test {
 protected:
  MemoryRegistry registry;

  RegKey Create(std::wstring_view path, std::uint32_t access = 0x3F) {
    RegKey key = kNoRegKey;
    EXPECT_EQ(registry.CreateKey(kHkeyCurrentUser, path, access, key), kErrorSuccess);
    return key;
  }

  std::int32_t Open(std::wstring_view path, RegKey& key, std::uint32_t access = 0x3F) {
    return registry.OpenKey(kHkeyCurrentUser, path, access, key);
  }
};

TEST_F(MemoryRegistryTest, KeysAreCreatedWithTheirParentsAndNamedWithoutRegardToCase) {
  registry.CloseKey(Create(L"Software\\Vendor\\App"));
  EXPECT_TRUE(registry.KeyExists(kHkeyCurrentUser, L"Software\\Vendor"));
  EXPECT_TRUE(registry.KeyExists(kHkeyCurrentUser, L"SOFTWARE\\vendor\\aPP"));
  EXPECT_FALSE(registry.KeyExists(kHkeyLocalMachine, L"Software")) << "each root is its own tree";

  RegKey key = kNoRegKey;
  ASSERT_EQ(Open(L"software\\VENDOR", key), kErrorSuccess);
  EXPECT_EQ(registry.SetValue(key, L"Name", kRegSz, "one"), kErrorSuccess);
  EXPECT_EQ(registry.SetValue(key, L"NAME", kRegSz, "two"), kErrorSuccess);
  EXPECT_EQ(registry.ValueNames(kHkeyCurrentUser, L"Software\\Vendor"),
            std::vector<std::wstring>{L"Name"});
  EXPECT_EQ(registry.Find(kHkeyCurrentUser, L"Software\\Vendor", L"name")->bytes,
            std::string("two\0", 4));
  registry.CloseKey(key);
}

TEST_F(MemoryRegistryTest, AKeyIsDeletedWithItsValuesUnlessItHasSubkeys) {
  registry.CloseKey(Create(L"A\\B\\C"));
  registry.Put(kHkeyCurrentUser, L"A\\B", L"Name", {.bytes = "x"});
  EXPECT_EQ(registry.DeleteKey(kHkeyCurrentUser, L"A\\B"), kErrorAccessDenied) << "C is below";
  const RegKey open = Create(L"A\\B\\C");
  EXPECT_EQ(registry.DeleteKey(kHkeyCurrentUser, L"a\\b\\c"), kErrorSuccess);
  EXPECT_FALSE(registry.KeyExists(kHkeyCurrentUser, L"A\\B\\C"));
  EXPECT_EQ(registry.CloseKey(open), kErrorSuccess) << "a handle outlives its key";
  EXPECT_EQ(registry.DeleteKey(kHkeyCurrentUser, L"A\\B"), kErrorSuccess);
  EXPECT_FALSE(registry.Find(kHkeyCurrentUser, L"A\\B", L"Name"));
  EXPECT_TRUE(registry.KeyExists(kHkeyCurrentUser, L"A"));
  EXPECT_EQ(registry.DeleteKey(kHkeyCurrentUser, L"A\\B"), kErrorFileNotFound);
  EXPECT_EQ(registry.DeleteKey(kHkeyCurrentUser, L"Missing\\B"), kErrorFileNotFound);
  EXPECT_EQ(registry.DeleteKey(kHkeyCurrentUser, L""), kErrorBadPathname);
  registry.CloseKey(Create(L"Locked\\Child"));
  registry.FailWrites(kHkeyCurrentUser, L"Locked");
  EXPECT_EQ(registry.DeleteKey(kHkeyCurrentUser, L"Locked\\Child"), kErrorAccessDenied);
  EXPECT_EQ(registry.OpenHandleCount(), 0U);
}

TEST_F(MemoryRegistryTest, FailuresGiveTheWindowsCodes) {
  RegKey key = Create(L"A");
  ASSERT_EQ(registry.CloseKey(key), kErrorSuccess);
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  EXPECT_EQ(registry.QueryValueInfo(key, L"x", type, size), kErrorInvalidHandle) << "closed";
  EXPECT_EQ(registry.SetValue(key, L"x", kRegSz, "x"), kErrorInvalidHandle);
  EXPECT_EQ(registry.CloseKey(key), kErrorInvalidHandle);
  EXPECT_EQ(registry.SetValue(kNoRegKey, L"x", kRegSz, "x"), kErrorInvalidHandle);
  EXPECT_EQ(registry.QueryValueInfo(kHkeyCurrentUser, L"x", type, size), kErrorFileNotFound);

  RegKey opened{12345};
  EXPECT_EQ(Open(L"A\\Missing", opened), kErrorFileNotFound);
  EXPECT_EQ(opened, kNoRegKey);
  for (const auto* path : {L"A\\\\B", L"\\A", L"A\\"}) {
    EXPECT_EQ(Open(path, opened), kErrorBadPathname) << path;
    EXPECT_EQ(registry.CreateKey(kHkeyCurrentUser, path, 0x3F, opened), kErrorBadPathname);
  }
  EXPECT_EQ(registry.OpenHandleCount(), 0U);
}

TEST_F(MemoryRegistryTest, HandlesOnlyDoWhatTheirAccessAllows) {
  registry.CloseKey(Create(L"A"));
  RegKey reader = kNoRegKey;
  RegKey writer = kNoRegKey;
  ASSERT_EQ(Open(L"A", reader, kKeyQueryValue), kErrorSuccess);
  ASSERT_EQ(Open(L"A", writer, kKeySetValue), kErrorSuccess);
  EXPECT_EQ(registry.SetValue(reader, L"v", kRegSz, "x"), kErrorAccessDenied);
  EXPECT_EQ(registry.SetValue(writer, L"v", kRegSz, "x"), kErrorSuccess);
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  EXPECT_EQ(registry.QueryValueInfo(writer, L"v", type, size), kErrorAccessDenied);
  EXPECT_EQ(registry.QueryValueInfo(reader, L"v", type, size), kErrorSuccess);
  EXPECT_EQ(registry.OpenHandleCount(), 2U);
  registry.CloseKey(reader);
  registry.CloseKey(writer);
  EXPECT_EQ(registry.OpenHandleCount(), 0U);
}

TEST_F(MemoryRegistryTest, TextTypesGetTheTerminatingZeroTheSizeLeftOut) {
  const RegKey key = Create(L"A");
  registry.SetValue(key, L"sz", kRegSz, "abc");
  registry.SetValue(key, L"expand", kRegExpandSz, "%x%");
  registry.SetValue(key, L"terminated", kRegSz, std::string_view("ab\0", 3));
  registry.SetValue(key, L"empty", kRegSz, "");
  registry.SetValue(key, L"binary", kRegBinary, "abc");
  registry.CloseKey(key);
  const auto bytes = [&](const wchar_t* name) {
    return registry.Find(kHkeyCurrentUser, L"A", name)->bytes;
  };
  EXPECT_EQ(bytes(L"sz"), std::string("abc\0", 4));
  EXPECT_EQ(bytes(L"expand"), std::string("%x%\0", 4));
  EXPECT_EQ(bytes(L"terminated"), std::string("ab\0", 3));
  EXPECT_EQ(bytes(L"empty"), "");
  EXPECT_EQ(bytes(L"binary"), "abc");
}

TEST_F(MemoryRegistryTest, DataQueriesReportTheSizeAndRefuseSmallBuffers) {
  registry.Put(kHkeyCurrentUser, L"A", L"v", {.type = kRegSz, .bytes = std::string("abc\0", 4)});
  RegKey key = kNoRegKey;
  ASSERT_EQ(Open(L"A", key), kErrorSuccess);
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  std::array<char, 3> small{};
  EXPECT_EQ(registry.QueryValueData(key, L"v", type, small, size), kErrorMoreData);
  EXPECT_EQ(size, 4U);
  std::array<char, 6> large{};
  EXPECT_EQ(registry.QueryValueData(key, L"v", type, large, size), kErrorSuccess);
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(size, 4U);
  EXPECT_EQ(std::string(large.data(), size), std::string("abc\0", 4));
  registry.CloseKey(key);
}

TEST_F(MemoryRegistryTest, AKeyWithFailingWritesStillReads) {
  registry.Put(kHkeyCurrentUser, L"A", L"v", {.type = kRegDword, .bytes = "1234"});
  registry.Put(kHkeyCurrentUser, L"A\\Child", L"w", {.type = kRegDword, .bytes = "5678"});
  registry.FailWrites(kHkeyCurrentUser, L"A", 1018);
  const RegKey key = Create(L"A");
  EXPECT_EQ(registry.SetValue(key, L"v", kRegSz, "x"), 1018);
  EXPECT_EQ(registry.SetValue(key, L"new", kRegSz, "x"), 1018);
  RegKey child = kNoRegKey;
  EXPECT_EQ(registry.CreateKey(key, L"Child", 0x3F, child), kErrorSuccess) << "exists already";
  EXPECT_EQ(registry.SetValue(child, L"w", kRegSz, "x"), kErrorSuccess) << "only A fails";
  registry.CloseKey(child);
  EXPECT_EQ(registry.CreateKey(key, L"New\\Deeper", 0x3F, child), 1018);
  EXPECT_EQ(child, kNoRegKey);
  EXPECT_FALSE(registry.KeyExists(kHkeyCurrentUser, L"A\\New"));
  registry.CloseKey(key);
  EXPECT_EQ(registry.Find(kHkeyCurrentUser, L"A", L"v"),
            (RegistryData{.type = kRegDword, .bytes = "1234"}));
  EXPECT_EQ(registry.ValueNames(kHkeyCurrentUser, L"A"), std::vector<std::wstring>{L"v"});

  registry.FailWrites(kHkeyCurrentUser, L"Fresh");
  EXPECT_TRUE(registry.KeyExists(kHkeyCurrentUser, L"Fresh")) << "made for the test";
  const RegKey fresh = Create(L"Fresh");
  EXPECT_EQ(registry.SetValue(fresh, L"v", kRegSz, "x"), kErrorAccessDenied);
  registry.CloseKey(fresh);
}

}  // namespace
}  // namespace parvel
