#include "templates/addin_folder_win.h"
#include "templates/templates_location_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cwctype>
#include <filesystem>
#include <iterator>
#include <string>

#include "platform/handles_win.h"
#include "support/temp_folder.h"
#include "templates/template_store.h"

namespace parvel {
namespace {

using templates_test::ReadBytes;
using templates_test::TempFolder;
using templates_test::WriteBytes;

// In a test program the module is the program itself.
TEST(AddinModulePathTest, IsTheModuleNotAFileOfTheCurrentFolder) {
  const std::filesystem::path module = AddinModulePath();
  ASSERT_FALSE(module.empty());
  EXPECT_EQ(module.filename(), "templates_win_tests.exe");
  EXPECT_TRUE(std::filesystem::exists(module));

  TempFolder elsewhere;
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(elsewhere.path());
  EXPECT_EQ(AddinModulePath(), module);
  std::filesystem::current_path(before);
}

// A templates file of old content, saved again over it.
class TemplateFilesWinTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteBytes(file, "old"); }

  TempFolder folder;
  const std::filesystem::path file = folder.path() / "ZNSMSTemplates.txt";
  DiskFiles files;
};

TEST_F(TemplateFilesWinTest, AFileHeldOpenByAnotherProgramStaysWholeUntilReleased) {
  // Windows cannot move over a file another program holds without sharing
  // deletion; the old file stays whole.
  win::UniqueKernelHandle held =
      win::OpenedFile(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(held);
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

TEST_F(TemplateFilesWinTest, AReplacedFileKeepsItsAttributes) {
  // An administrator hid the file from the user's view.
  constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;
  ASSERT_NE(SetFileAttributesW(file.c_str(), kKept), FALSE);
  EXPECT_TRUE(files.Replace(file, "new"));
  EXPECT_EQ(ReadBytes(file), "new");
  const DWORD attributes = GetFileAttributesW(file.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(attributes & kKept, kKept);
}

// A class of the machine's (or the user's) registry, written by the test
// under a name of its own and removed again.
class TestClass {
 public:
  explicit TestClass(const std::wstring& server, HKEY root = HKEY_LOCAL_MACHINE) : root_(root) {
    Set(kProgId + std::wstring(L"\\CLSID"), kClsid);
    Set(std::wstring(L"CLSID\\") + kClsid + L"\\InprocServer32", server);
  }
  ~TestClass() {
    RegDeleteTreeW(root_, (kClasses + kProgId).c_str());
    RegDeleteTreeW(root_, (kClasses + L"CLSID\\" + kClsid).c_str());
  }
  TestClass(const TestClass&) = delete;
  TestClass& operator=(const TestClass&) = delete;

  static constexpr wchar_t kProgId[] = L"ParvelTest.Class";

 private:
  static constexpr wchar_t kClsid[] = L"{5B0C7D0E-61A4-4C2E-9F7B-3E1D2A6C8B41}";
  static inline const std::wstring kClasses = L"Software\\Classes\\";
  HKEY root_;

  void Set(const std::wstring& key, const std::wstring& text) {
    ASSERT_EQ(RegSetKeyValueW(root_, (kClasses + key).c_str(), nullptr, REG_SZ, text.c_str(),
                              static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }
};

TEST(TemplatesLocationWinTest, OnlyTheMachinesClassServedByThisVeryFileMeansAMachineInstall) {
  const std::filesystem::path module = AddinModulePath();
  ASSERT_FALSE(module.empty());
  EXPECT_FALSE(InstalledForMachine(TestClass::kProgId, module)) << "not registered";
  // Windows Installer may spell the path otherwise than the loader.
  std::wstring spelled = module.wstring();
  for (wchar_t& c : spelled) c = static_cast<wchar_t>(towupper(c));
  {
    const TestClass machine(spelled);
    EXPECT_TRUE(InstalledForMachine(TestClass::kProgId, module));
    const TestClass user(module.wstring(), HKEY_CURRENT_USER);
    EXPECT_FALSE(InstalledForMachine(TestClass::kProgId, module)) << "the user's own registration";
  }
  {
    TempFolder elsewhere;
    WriteBytes(elsewhere.path() / "other.dll", "other");
    const TestClass machine((elsewhere.path() / "other.dll").wstring());
    EXPECT_FALSE(InstalledForMachine(TestClass::kProgId, module)) << "another file";
  }
  // The test program is no registered add-in: its own folder holds its templates.
  const TemplatesLocation location = AddinTemplatesLocation(TestClass::kProgId);
  EXPECT_EQ(location.folder, module.parent_path());
  EXPECT_TRUE(location.shared_folder.empty());
}

}  // namespace
}  // namespace parvel
