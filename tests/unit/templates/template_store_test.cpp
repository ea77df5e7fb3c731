#include "templates/template_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace parvel {
namespace {

using templates_test::MakeReadOnly;
using templates_test::ReadBytes;
using templates_test::TempFolder;
using templates_test::WriteBytes;
using Lines = std::vector<std::wstring>;
// Entries as (label line, text) pairs, in order.
using EntryList = std::vector<std::pair<std::wstring, std::wstring>>;

class TemplateStoreTest : public ::testing::Test {
 protected:
  TempFolder folder;
  DiskFiles files;
  Windows1252CodePage code_page;
  TemplateStore store{files, folder.path(), code_page};
  std::filesystem::path file = folder.path() / "ZNSMSTemplates.txt";

  EntryList Entries() const {
    EntryList entries;
    EXPECT_EQ(store.TemplateTexts().size(), store.TemplateCount() + 1);
    EXPECT_EQ(store.TemplateLabels().size(), store.TemplateCount() + 1);
    for (std::size_t i = 1; i <= store.TemplateCount(); ++i) {
      entries.emplace_back(store.TemplateLabels()[i], store.TemplateTexts()[i]);
    }
    return entries;
  }
  void LoadFrom(const std::string& bytes) {
    WriteBytes(file, bytes);
    store.LoadTemplates();
  }
  // Nothing but the templates file (and what the test put there) is left.
  void ExpectNoPendingFile(std::vector<std::filesystem::path> others = {}) const {
    others.push_back(file);
    const std::vector<std::filesystem::path> found(
        std::filesystem::directory_iterator(file.parent_path()), {});
    EXPECT_THAT(found, testing::UnorderedElementsAreArray(others));
  }
};

TEST(SplitTemplateLinesTest, LinesEndAtCrLfOrALoneLfAndALoneCrStaysInItsLine) {
  EXPECT_EQ(SplitTemplateLines(L""), Lines{});
  EXPECT_EQ(SplitTemplateLines(L"a\r\nb\r\n"), (Lines{L"a", L"b"}));
  EXPECT_EQ(SplitTemplateLines(L"a\nb\r\nc"), (Lines{L"a", L"b", L"c"})) << "last line unended";
  EXPECT_EQ(SplitTemplateLines(L"a\rb\r\n\r\n"), (Lines{L"a\rb", L""}));
  EXPECT_EQ(SplitTemplateLines(L"a\r\r\n"), (Lines{L"a\r"}));
  EXPECT_EQ(SplitTemplateLines(L"\n\n"), (Lines{L"", L""}));
}

TEST_F(TemplateStoreTest, ReadingSkipsStrayLinesAndPairsEachLabelWithTheNextLine) {
  LoadFrom(
      "stray first line\r\n"
      "%label%lower case is no label\r\n"
      "%LABEL%One\r\n"
      "text one\r\n"
      "%LABEL%Two\r\n"
      "%LABEL%taken as text of Two\r\n"
      "after the pair: skipped\r\n"
      "%LABEL%Last");
  EXPECT_EQ(Entries(), (EntryList{{L"%LABEL%One", L"text one"},
                                  {L"%LABEL%Two", L"%LABEL%taken as text of Two"},
                                  {L"%LABEL%Last", L""}}));
  EXPECT_EQ(store.TemplateNames(), (Lines{L"One", L"Two", L"Last"}));
}

TEST_F(TemplateStoreTest, TextsAreWrittenAsGivenInTheAnsiCodePageAndReadBackToTheirFirstLine) {
  store.AddTemplate(L"a%LABEL%b%LABEL%", L"text");
  store.AddTemplate(L"Caf\u00e9", L"\u20ac 5 \u0101");
  store.AddTemplate(L"Multi", L"first\r\nsecond\nthird\rstill third\r\n%LABEL%Inner");
  store.SaveTemplates();
  // One line end added to each text; a character the code page lacks is
  // written as ?.
  EXPECT_EQ(ReadBytes(file),
            "%LABEL%a%LABEL%b%LABEL%\r\ntext\r\n%LABEL%Caf\xE9\r\n\x80 5 ?\r\n"
            "%LABEL%Multi\r\nfirst\r\nsecond\nthird\rstill third\r\n%LABEL%Inner\r\n");
  store.LoadTemplates();
  store.LoadTemplates();
  EXPECT_EQ(Entries(), (EntryList{{L"%LABEL%a%LABEL%b%LABEL%", L"text"},
                                  {L"%LABEL%Caf\u00e9", L"\u20ac 5 ?"},
                                  {L"%LABEL%Multi", L"first"},
                                  {L"%LABEL%Inner", L""}}));
  EXPECT_EQ(store.TemplateNames(), (Lines{L"ab", L"Caf\u00e9", L"Multi", L"Inner"}))
      << "the list shows a name with every marker removed";
}

TEST_F(TemplateStoreTest, DeletedEntriesAndTheDeletedMarkAsTextAreLeftOutOfTheFile) {
  LoadFrom("%LABEL%A\r\na\r\n%LABEL%Marked\r\n**DELETED**\r\n%LABEL%B\r\nb\r\n%LABEL%C\r\nc\r\n");
  ASSERT_EQ(store.TemplateCount(), 4U);
  EXPECT_EQ(store.TemplateNames()[1], L"Marked") << "listed until the next save";
  store.MarkDeleted(3);
  EXPECT_EQ(store.TemplateCount(), 4U) << "a deleted entry keeps its place until saved";
  store.SaveTemplates();
  EXPECT_EQ(ReadBytes(file), "%LABEL%A\r\na\r\n%LABEL%C\r\nc\r\n");
  EXPECT_THROW(store.MarkDeleted(0), std::out_of_range);
  EXPECT_THROW(store.MarkDeleted(5), std::out_of_range);
}

TEST_F(TemplateStoreTest, ASaveReplacesTheWholeFile) {
  LoadFrom("%LABEL%A\r\n" + std::string(5000, 'a') + "\r\n%LABEL%B\r\nb\r\n");
  store.MarkDeleted(1);
  store.SaveTemplates();
  EXPECT_EQ(ReadBytes(file), "%LABEL%B\r\nb\r\n");
  ExpectNoPendingFile();
}

// Saves that cannot be made leave the old file byte for byte and no
// companion file behind.
class FailedSaveTest : public TemplateStoreTest {
 protected:
  const std::string old_bytes = "%LABEL%Kept\r\nkept text\r\n";
  void SetUp() override {
    LoadFrom(old_bytes);
    store.AddTemplate(L"New", L"new text");
  }
};

TEST_F(FailedSaveTest, AReadOnlyFileStaysAsItWas) {
  MakeReadOnly(file);
  EXPECT_FALSE(store.SaveTemplates());
  EXPECT_EQ(ReadBytes(file), old_bytes);
  ExpectNoPendingFile();
  store.LoadTemplates();
  EXPECT_EQ(store.TemplateNames(), Lines{L"Kept"}) << "the added entry vanishes";
}

TEST_F(TemplateStoreTest, AnotherProgramsFilesBesideItAreLeftAlone) {
  // Names a save of an earlier version wrote to, or another program's.
  auto tmp = file;
  tmp += ".tmp";
  auto folder_like = file;
  folder_like += ".0000000000000000.tmp";
  WriteBytes(tmp, "someone else's");
  std::filesystem::create_directory(folder_like);
  store.AddTemplate(L"A", L"a");
  EXPECT_TRUE(store.SaveTemplates());
  EXPECT_TRUE(store.SaveTemplates());
  EXPECT_EQ(ReadBytes(file), "%LABEL%A\r\na\r\n");
  EXPECT_EQ(ReadBytes(tmp), "someone else's");
  ExpectNoPendingFile({tmp, folder_like});
}

TEST_F(TemplateStoreTest, TheFileKeepsItsPermissions) {
  namespace fs = std::filesystem;
  WriteBytes(file, "%LABEL%A\r\na\r\n");
  // Readable by its owner and group only, writable by its owner.
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  const fs::perms before = fs::status(file).permissions();
  store.LoadTemplates();
  store.AddTemplate(L"B", L"b");
  EXPECT_TRUE(store.SaveTemplates());
  EXPECT_EQ(ReadBytes(file), "%LABEL%A\r\na\r\n%LABEL%B\r\nb\r\n");
  EXPECT_EQ(fs::status(file).permissions(), before);
}

TEST(DiskFilesTest, WhereNoNewFileCanBeMadeBesideItTheFileIsWrittenOver) {
  // A name so long that no longer name fits in the folder stands for a
  // folder where the user may change the file but create nothing.
  TempFolder folder;
  const auto file = folder.path() / (std::string(240, 'n') + ".txt");
  {
    std::ofstream stream(file, std::ios::binary);
    stream << "old content, longer than the new";
    if (!stream.good()) GTEST_SKIP() << "this system cannot make a file of so long a name";
  }
  DiskFiles files;
  EXPECT_TRUE(files.Replace(file, "new"));
  EXPECT_EQ(ReadBytes(file), "new");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()),
            1);
  // Without a file to write over, nothing is made.
  const auto missing = folder.path() / (std::string(240, 'm') + ".txt");
  EXPECT_FALSE(files.Replace(missing, "new"));
  EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(FailedSaveTest, AFailedMoveRemovesTheWrittenCompanionFile) {
  // The templates file's name is taken by a folder: the new content is
  // written completely but cannot take that place.
  std::filesystem::remove(file);
  std::filesystem::create_directory(file);
  EXPECT_FALSE(store.SaveTemplates());
  EXPECT_TRUE(std::filesystem::is_directory(file));
  ExpectNoPendingFile();
  store.LoadTemplates();
  EXPECT_EQ(store.TemplateCount(), 0U) << "a folder reads as no file";
}

TEST_F(TemplateStoreTest, AFolderNameBeyondTheAnsiCodePageWorks) {
  // An add-in installed under a user name such as this one.
  const std::filesystem::path named = folder.path() / u8"\u0416\u0435\u043d\u044f \u00e9";
  std::error_code error;
  if (!std::filesystem::create_directory(named, error)) {
    // Wine maps such names to the host's file names only under a UTF-8 locale.
    GTEST_SKIP() << "this system cannot name the folder: " << error.message();
  }
  TemplateStore there{files, named, code_page};
  there.AddTemplate(L"A", L"a");
  there.SaveTemplates();
  EXPECT_EQ(ReadBytes(named / "ZNSMSTemplates.txt"), "%LABEL%A\r\na\r\n");
  there.LoadTemplates();
  EXPECT_EQ(there.TemplateCount(), 1U);
}

TEST_F(TemplateStoreTest, AMissingFolderReadsAsEmptyAndSavesNothing) {
  TemplateStore elsewhere{files, folder.path() / "gone", code_page};
  elsewhere.AddTemplate(L"A", L"a");
  elsewhere.SaveTemplates();
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "gone"));
  elsewhere.LoadTemplates();
  EXPECT_EQ(elsewhere.TemplateCount(), 0U);
  EXPECT_EQ(elsewhere.TemplateTexts(), Lines{L""});
  EXPECT_EQ(elsewhere.TemplateLabels(), Lines{L""});
}

TEST(TemplatesLocationTest, APerMachineAddinGivesEachUserAFolderOfTheirOwn) {
  const std::filesystem::path addin = "addin";
  const std::filesystem::path user = "user";
  const TemplatesLocation one_user = ChooseTemplatesLocation(addin, false, user);
  EXPECT_EQ(one_user.folder, addin);
  EXPECT_TRUE(one_user.shared_folder.empty());
  const TemplatesLocation machine = ChooseTemplatesLocation(addin, true, user);
  EXPECT_EQ(machine.folder, user / "Parvel");
  EXPECT_EQ(machine.shared_folder, addin);
  const TemplatesLocation unknown_user = ChooseTemplatesLocation(addin, true, {});
  EXPECT_EQ(unknown_user.folder, addin);
  EXPECT_TRUE(unknown_user.shared_folder.empty());
}

// An add-in installed for the machine, with the administrator's starting set
// beside it.
TEST_F(TemplateStoreTest, AUserReadsTheSharedFileUntilTheirFirstSaveMakesTheirOwn) {
  const std::filesystem::path shared = folder.path() / "Program Files";
  const std::filesystem::path user = folder.path() / "AppData" / "Parvel";
  std::filesystem::create_directories(shared);
  WriteBytes(shared / "ZNSMSTemplates.txt", "%LABEL%Late\r\nRunning late\r\n");
  TemplateStore shared_store{files, {.folder = user, .shared_folder = shared}, code_page};

  shared_store.LoadTemplates();
  ASSERT_EQ(shared_store.TemplateNames(), Lines{L"Late"});
  EXPECT_FALSE(std::filesystem::exists(user)) << "reading makes nothing";

  shared_store.AddTemplate(L"Mine", L"mine");
  ASSERT_TRUE(shared_store.SaveTemplates());
  EXPECT_EQ(ReadBytes(user / "ZNSMSTemplates.txt"),
            "%LABEL%Late\r\nRunning late\r\n%LABEL%Mine\r\nmine\r\n");
  EXPECT_EQ(ReadBytes(shared / "ZNSMSTemplates.txt"), "%LABEL%Late\r\nRunning late\r\n");

  // Once the user has a file, even an emptied one, the shared file is not read.
  shared_store.MarkDeleted(1);
  shared_store.MarkDeleted(2);
  ASSERT_TRUE(shared_store.SaveTemplates());
  shared_store.LoadTemplates();
  EXPECT_EQ(shared_store.TemplateCount(), 0U);
}

}  // namespace
}  // namespace parvel
