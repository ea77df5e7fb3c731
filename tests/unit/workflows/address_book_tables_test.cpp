// The picker's listings read from the host's tables give the rows the item
// walks give: each case lists one address book both ways and compares.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/call_recorder.h"
#include "support/rows.h"
#include "unit/workflows/book_session.h"

namespace parvel {
namespace {

using fakes::Contact;
using fakes::ContactFolder;
using fakes::ContactMember;
using fakes::DistList;
using fakes::FakeAddressEntryData;
using fakes::FakeItemData;
using fakes::GalList;
using fakes::MailFolder;
using fakes::MailUser;
using fakes::RecordingContactList;
using test::kDistribution;
using test::kEnvelope;
using test::Row;
using testing::ElementsAre;
using testing::IsEmpty;
using testing::SizeIs;

// Every kind of entry the listings tell apart, in n entries.
std::vector<FakeAddressEntryData> MixedEntries(int n) {
  std::vector<FakeAddressEntryData> entries;
  for (int i = 0; i < n; ++i) {
    const std::wstring id = L"E" + std::to_wstring(i);
    const std::wstring name = L"Person\r\n" + std::to_wstring(i);
    switch (i % 6) {
      case 0:
        entries.push_back(GalList(L"List " + std::to_wstring(i), id, {}));
        break;
      case 1:
        entries.push_back(MailUser(name, id, std::nullopt));
        break;
      case 2:
        entries.push_back(MailUser(name, id, L""));
        break;
      case 3:
        entries.push_back({.display_type = 6, .name = name, .id = id, .mobile = L"021 3"});
        break;
      default:
        entries.push_back(MailUser(name, id, L"021 " + std::to_wstring(i)));
        break;
    }
  }
  return entries;
}

std::vector<FakeItemData> MixedItems(int n) {
  std::vector<FakeItemData> items;
  for (int i = 0; i < n; ++i) {
    const std::wstring id = L"0B" + std::to_wstring(1000 + i);
    switch (i % 5) {
      case 0:
        items.push_back(DistList(id, L"Team\r\n" + std::to_wstring(i), {}));
        break;
      case 1:
        items.push_back(Contact(id, L"No, Mobile " + std::to_wstring(i), L""));
        break;
      case 2:
        items.push_back(fakes::OtherItem(id));
        break;
      default:
        items.push_back(Contact(id, L"Smith,\r\nAnn " + std::to_wstring(i), L"021 9"));
        break;
    }
  }
  return items;
}

// An address book listed by pickers of a session of its own: each case lists
// one book walked and another alike read as tables.
struct Book : test::BookSession {
  void UseGal(std::vector<FakeAddressEntryData> entries) {
    UseAddressLists({{L"Global Address List", std::move(entries)}});
  }
  void OfferAddressTable(std::optional<std::size_t> fails_after = std::nullopt) {
    redemption->make_address_table = fakes::FakeAddressTableMaker(recorder, fails_after);
  }
  std::shared_ptr<fakes::FakeFolderData> UseFolder(std::vector<FakeItemData> items) {
    auto folder = ContactFolder(L"Contacts", std::move(items));
    UseStores({MailFolder(L"Mailbox", {folder})});
    std::vector<FolderListEntry> folders;
    book.ListContactFolders(folders);
    pending.runs = 0;
    return folder;
  }
  std::vector<RecipientEntry> ListGal() {
    RecordingContactList list;
    recorder.ClearCalls();
    book.LoadGlobalAddressList(list);
    return list.rows;
  }
  std::vector<RecipientEntry> ListFolder() {
    RecordingContactList list;
    recorder.ClearCalls();
    book.ListFolder(L"Contacts", 1, list);
    return list.rows;
  }
};

TEST(AddressBookTables, TheGlobalAddressListReadAsATableGivesTheWalksRows) {
  Book walked;
  walked.UseGal(MixedEntries(600));
  const std::vector<RecipientEntry> rows = walked.ListGal();
  EXPECT_EQ(walked.recorder.CountStartingWith(L"AddressEntry("), 1600U) << "the walk opens entries";

  Book read;
  read.UseGal(MixedEntries(600));
  read.OfferAddressTable();
  EXPECT_EQ(read.ListGal(), rows);
  ASSERT_THAT(rows, SizeIs(300));
  EXPECT_EQ(rows[0], Row(L"List 0", L"Global Address List", kDistribution, L"E0"));
  EXPECT_EQ(rows[1], Row(L"Person\r\n4", L"021 4", kEnvelope, L"E4"));
  EXPECT_EQ(read.recorder.CountStartingWith(L"AddressEntry("), 0U) << "no entry is opened";
  EXPECT_EQ(read.recorder.CountStartingWith(L"MAPITable(Global Address List).GetRows(256)"), 4U)
      << "256, 256, 88, then none";
  EXPECT_EQ(read.pending.runs, 3) << "events run after each batch of rows";
  EXPECT_THAT(read.messages.shown, IsEmpty());
}

TEST(AddressBookTables, AGlobalListIsFoundByNameInTheTableAndOnlyItsEntryIsOpened) {
  std::vector<FakeAddressEntryData> entries = MixedEntries(600);
  entries[594] = GalList(L"List 594", L"E594", {MailUser(L"Zed", L"Z1", L"021 7")});
  const auto list = Row(L"List 594", L"Global Address List", kDistribution, L"E594");
  for (const std::optional<std::size_t> fails_after : {std::optional<std::size_t>(), {300}}) {
    SCOPED_TRACE(fails_after ? "a table failing after 300 rows" : "a table");
    Book read;
    read.UseGal(entries);
    read.OfferAddressTable(fails_after);
    EXPECT_THAT(read.Expand(list), ElementsAre(Row(L"Zed", L"021 7", kEnvelope, L"Z1")));
    const std::size_t opened =
        read.recorder.CountStartingWith(L"AddressEntries(Global Address List).Item(");
    // The index base's look, then the list; after a failing table's 512
    // rows, the walk opens entries from there.
    EXPECT_EQ(opened, fails_after ? 1U + (595 - 512) : 2U);
  }
}

TEST(AddressBookTables, TableRowsReachTheListAfterTheFirstBatchThenInEverLongerRuns) {
  Book read;
  std::vector<FakeAddressEntryData> entries;
  for (int i = 0; i < 2600; ++i) entries.push_back(MailUser(L"U", L"E" + std::to_wstring(i), L"1"));
  read.UseGal(entries);
  read.OfferAddressTable();
  RecordingContactList list;
  read.book.LoadGlobalAddressList(list);
  EXPECT_EQ(list.batch_sizes, (std::vector<std::size_t>{256, 512, 1024, 808}))
      << "after batches 1, 3 and 7 of 11, and at the end";
  EXPECT_EQ(read.pending.runs, 11) << "yet events run after every batch";
}

TEST(AddressBookTables, AnAddressTableThatRefusesLeavesTheListingToTheWalk) {
  Book walked;
  walked.UseGal(MixedEntries(20));
  Book read;
  read.UseGal(MixedEntries(20));
  read.OfferAddressTable(0);
  EXPECT_EQ(read.ListGal(), walked.ListGal());
  EXPECT_EQ(read.recorder.CountStartingWith(L"AddressEntries(Global Address List).GetNext"), 20U);
  EXPECT_THAT(read.messages.shown, IsEmpty()) << "the user sees the rows, not the fall-back";
}

TEST(AddressBookTables, AnAddressTableFailingMidwayKeepsTheRowsReadBeforeIt) {
  Book read;
  read.UseGal(MixedEntries(600));
  read.OfferAddressTable(256);
  RecordingContactList list;
  EXPECT_THROW(read.book.LoadGlobalAddressList(list), host::HostError);
  EXPECT_THAT(list.rows, SizeIs(127)) << "the rows of the first 256 entries";
  EXPECT_EQ(read.recorder.CountStartingWith(L"AddressEntries(Global Address List).GetNext"), 0U)
      << "no second listing after rows were shown";
}

TEST(AddressBookTables, AnAddressTableStopsOnceItsListIsTaken) {
  Book read;
  read.UseGal(MixedEntries(600));
  read.OfferAddressTable();
  RecordingContactList list;
  read.pending.on_run = [&list](int) { list.superseded = true; };
  read.book.LoadGlobalAddressList(list);
  EXPECT_THAT(list.rows, SizeIs(127));
  EXPECT_EQ(read.recorder.CountStartingWith(L"MAPITable("), 1U);
}

TEST(AddressBookTables, AContactFolderReadAsATableGivesTheWalksRowsAndKnowsItsLists) {
  Book walked;
  walked.UseFolder(MixedItems(600));
  const std::vector<RecipientEntry> rows = walked.ListFolder();
  EXPECT_EQ(walked.session.KnownDistListCount(), Session::kKnownDistListsHeld)
      << "120 lists shown, the first 100 held";
  EXPECT_EQ(walked.recorder.live_objects(), Session::kKnownDistListsHeld + 2)
      << "the lists held, the namespace and the folder";

  Book read;
  read.UseFolder(MixedItems(600))->offers_table = true;
  EXPECT_EQ(read.ListFolder(), rows);
  ASSERT_THAT(rows, SizeIs(360));
  EXPECT_EQ(rows[0], Row(L"Team\r\n0", L"Contacts", kDistribution, L"0B1000"));
  EXPECT_EQ(rows[1], Row(L"Smith,\r\nAnn 3", L"021 9", kEnvelope, L"0B1003"));
  EXPECT_EQ(read.session.KnownDistListCount(), Session::kKnownDistListsHeld);
  EXPECT_EQ(read.recorder.CountStartingWith(L"Item("), 120U) << "only the lists' names are read";
  EXPECT_EQ(read.recorder.CountStartingWith(L"Table(Mailbox/Contacts).GetArray(256)"), 4U);
  EXPECT_EQ(read.pending.runs, 0) << "a folder's listing lets no events run, as the walk";
}

TEST(AddressBookTables, AListTheHostCannotFindByEntryIdIsTakenFromItsFolder) {
  std::vector<FakeItemData> items = {Contact(L"0A01", L"Adams, Ann", L"021 1"),
                                     DistList(L"D1", L"Sales", {ContactMember(L"0A01")})};
  items[1].findable = false;
  Book walked;
  walked.UseFolder(items);
  const std::vector<RecipientEntry> rows = walked.ListFolder();

  Book read;
  read.UseFolder(items)->offers_table = true;
  EXPECT_EQ(read.ListFolder(), rows);
  ASSERT_NE(read.session.KnownDistList(L"D1"), nullptr);
  read.OfferSafeDistLists();
  std::vector<RecipientEntry> members;
  read.book.ExpandContactsDistList(rows[1], members);
  EXPECT_THAT(members, ElementsAre(Row(L"Adams, Ann", L"021 1", kEnvelope, L"0A01")));
}

TEST(AddressBookTables, AFolderTableThatRefusesOrFailsBehavesAsTheWalk) {
  Book walked;
  walked.UseFolder(MixedItems(300));
  const std::vector<RecipientEntry> rows = walked.ListFolder();

  Book read;
  auto folder = read.UseFolder(MixedItems(300));
  folder->offers_table = true;
  folder->table_fails_after = 0;
  EXPECT_EQ(read.ListFolder(), rows) << "refused at once: walked";

  folder->table_fails_after = 256;
  RecordingContactList list;
  EXPECT_THROW(read.book.ListFolder(L"Contacts", 1, list), host::HostError);
  EXPECT_EQ(list.rows, std::vector<RecipientEntry>(rows.begin(), rows.begin() + 154))
      << "failing later: the rows of the first batch stay, as a failing walk keeps its rows";
  EXPECT_THAT(read.messages.shown, IsEmpty());
}

TEST(AddressBookTables, AnEmptyFolderOrListGivesNoRowsEitherWay) {
  Book read;
  read.UseFolder({})->offers_table = true;
  EXPECT_THAT(read.ListFolder(), IsEmpty());
  read.UseGal({});
  read.OfferAddressTable();
  EXPECT_THAT(read.ListGal(), IsEmpty());
  EXPECT_EQ(read.recorder.CountStartingWith(L"AddressEntries("), 0U);
}

}  // namespace
}  // namespace parvel
