#include "templates/addin_folder_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <memory>

#include "support/temp_folder.h"
#include "templates/template_store.h"

namespace parvel {
namespace {

using templates_test::ReadBytes;
using templates_test::TempFolder;
using templates_test::WriteBytes;

struct HandleCloser {
  void operator()(HANDLE handle) const noexcept {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// In a test program the module is the program itself.
TEST(AddinFolderTest, IsTheFolderOfTheModuleNotTheCurrentFolder) {
  const std::filesystem::path folder = AddinFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_TRUE(std::filesystem::exists(folder / "templates_win_tests.exe"));

  TempFolder elsewhere;
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(elsewhere.path());
  EXPECT_EQ(AddinFolder(), folder);
  std::filesystem::current_path(before);
}

TEST(TemplateFilesWinTest, AFileHeldOpenByAnotherProgramStaysWholeUntilReleased) {
  TempFolder folder;
  const auto file = folder.path() / "ZNSMSTemplates.txt";
  WriteBytes(file, "old");
  DiskFiles files;
  // Windows cannot move over a file another program holds without sharing
  // deletion; the old file stays whole.
  UniqueHandle held(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
  EXPECT_FALSE(files.Replace(file, "new"));
  held.reset();
  EXPECT_EQ(ReadBytes(file), "old");
  // None of the save's own files is left beside it (Wine's ReplaceFileW
  // may leave a backup of its own, "rf*.tmp", which Windows does not).
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    EXPECT_FALSE(entry.path().filename().wstring().starts_with(L"ZNSMSTemplates.txt."))
        << entry.path();
  }
  EXPECT_TRUE(files.Replace(file, "new"));
  EXPECT_EQ(ReadBytes(file), "new");
}

TEST(TemplateFilesWinTest, AReplacedFileKeepsItsAttributes) {
  TempFolder folder;
  const auto file = folder.path() / "ZNSMSTemplates.txt";
  WriteBytes(file, "old");
  // An administrator hid the file from the user's view.
  constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;
  ASSERT_NE(SetFileAttributesW(file.c_str(), kKept), FALSE);
  DiskFiles files;
  EXPECT_TRUE(files.Replace(file, "new"));
  EXPECT_EQ(ReadBytes(file), "new");
  const DWORD attributes = GetFileAttributesW(file.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(attributes & kKept, kKept);
}

}  // namespace
}  // namespace parvel
