#include "templates/addin_folder_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "templates/template_store.h"
#include "unit/templates/temp_folder.h"

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
  EXPECT_FALSE(std::filesystem::exists(DiskFiles::PendingPath(file)));
  EXPECT_TRUE(files.Replace(file, "new"));
  EXPECT_EQ(ReadBytes(file), "new");
}

}  // namespace
}  // namespace parvel
