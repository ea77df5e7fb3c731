// The picker's listings read from the host's tables give the rows the item
// walks give: each case lists one address book both ways and compares.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/call_recorder.h"
#include "support/fake_address_book.h"
#include "support/fake_redemption.h"
#include "support/recorded_session.h"
#include "support/recording_message_boxes.h"
#include "support/rows.h"
#include "workflows/address_book.h"

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
using test::Row;
using testing::ElementsAre;
using testing::IsEmpty;
using testing::SizeIs;

class RecordingContactList final : public ContactListSink {
 public:
  void Clear() override { rows.clear(); }
  void Append(std::vector<RecipientEntry> batch) override {
    rows.insert(rows.end(), batch.begin(), batch.end());
  }
  bool Superseded() const override { return superseded; }

  std::vector<RecipientEntry> rows;
  bool superseded = false;
};

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

class AddressBookTables : public testing::Test, protected fakes::RecordedSession {
 protected:
  void UseGal(std::vector<FakeAddressEntryData> entries) {
    redemption->make_address_lists =
        fakes::FakeAddressListsMaker(recorder, {{L"Global Address List", std::move(entries)}});
  }
  void OfferAddressTable(std::optional<std::size_t> fails_after = std::nullopt) {
    redemption->make_address_table = fakes::FakeAddressTableMaker(recorder, fails_after);
  }

  // A fresh picker over the same session, so that both listings start alike.
  std::vector<RecipientEntry> ListGal() {
    AddressBook book{{.session = session, .message_boxes = messages, .pending_events = pending}};
    RecordingContactList list;
    recorder.ClearCalls();
    book.LoadGlobalAddressList(list);
    return list.rows;
  }

  std::shared_ptr<fakes::FakeFolderData> UseFolder(std::vector<FakeItemData> items) {
    auto folder = ContactFolder(L"Contacts", std::move(items));
    session.MapiNamespace = std::make_unique<fakes::FakeStoreNamespace>(
        recorder, std::vector{MailFolder(L"Mailbox", {folder})});
    AddressBook book{{.session = session, .message_boxes = messages, .pending_events = pending}};
    std::vector<FolderListEntry> folders;
    book.GetAllContactsFolders(folders);
    return folder;
  }

  std::vector<RecipientEntry> ListFolder() {
    AddressBook book{{.session = session, .message_boxes = messages, .pending_events = pending}};
    RecordingContactList list;
    recorder.ClearCalls();
    book.Loadfolder(L"Contacts", 1, list);
    return list.rows;
  }

  fakes::RecordingMessageBoxes messages;
  fakes::ScriptedPendingEvents pending;
};

TEST_F(AddressBookTables, TheGlobalAddressListReadAsATableGivesTheWalksRows) {
  UseGal(MixedEntries(600));
  const std::vector<RecipientEntry> walked = ListGal();
  EXPECT_EQ(recorder.CountStartingWith(L"AddressEntry("), 1600U) << "the walk reads entries";

  OfferAddressTable();
  pending.runs = 0;
  const std::vector<RecipientEntry> read = ListGal();
  EXPECT_EQ(read, walked);
  ASSERT_THAT(read, SizeIs(300));
  EXPECT_EQ(read[0], Row(L"List 0", L"Global Address List", kKindDistribution, L"E0"));
  EXPECT_EQ(read[1], Row(L"Person\r\n4", L"021 4", kKindEnvelope, L"E4"));
  EXPECT_EQ(recorder.CountStartingWith(L"AddressEntry("), 0U) << "no entry is opened";
  EXPECT_THAT(recorder.calls(),
              testing::Contains(L"MAPITable(Global Address List).GetRows(256)").Times(4))
      << "256, 256, 88, then none";
  EXPECT_EQ(pending.runs, 3) << "events run after each batch of rows";
  EXPECT_THAT(messages.shown, IsEmpty());
}

TEST_F(AddressBookTables, TableRowsReachTheListAfterTheFirstBatchThenInEverLongerRuns) {
  std::vector<FakeAddressEntryData> entries;
  for (int i = 0; i < 2600; ++i) entries.push_back(MailUser(L"U", L"E" + std::to_wstring(i), L"1"));
  UseGal(entries);
  OfferAddressTable();
  AddressBook book{{.session = session, .message_boxes = messages, .pending_events = pending}};
  struct CountingList final : public ContactListSink {
    void Clear() override {}
    void Append(std::vector<RecipientEntry> batch) override { sizes.push_back(batch.size()); }
    bool Superseded() const override { return false; }
    std::vector<std::size_t> sizes;
  } list;
  book.LoadGlobalAddressList(list);
  EXPECT_EQ(list.sizes, (std::vector<std::size_t>{256, 512, 1024, 808}))
      << "after batches 1, 3 and 7 of 11, and at the end";
  EXPECT_EQ(pending.runs, 11) << "yet events run after every batch";
}

TEST_F(AddressBookTables, AnAddressTableThatRefusesLeavesTheListingToTheWalk) {
  UseGal(MixedEntries(20));
  const std::vector<RecipientEntry> walked = ListGal();

  OfferAddressTable(0);
  EXPECT_EQ(ListGal(), walked);
  EXPECT_EQ(recorder.CountStartingWith(L"AddressEntries(Global Address List).GetNext"), 20U);
  EXPECT_THAT(messages.shown, IsEmpty()) << "the user sees the rows, not the fall-back";
}

TEST_F(AddressBookTables, AnAddressTableFailingMidwayKeepsTheRowsReadBeforeIt) {
  UseGal(MixedEntries(600));
  OfferAddressTable(256);
  AddressBook book{{.session = session, .message_boxes = messages, .pending_events = pending}};
  RecordingContactList list;
  EXPECT_THROW(book.LoadGlobalAddressList(list), host::HostError);
  EXPECT_THAT(list.rows, SizeIs(127)) << "the rows of the first 256 entries";
  EXPECT_EQ(recorder.CountStartingWith(L"AddressEntries(Global Address List).GetNext"), 0U)
      << "no second listing after rows were shown";
}

TEST_F(AddressBookTables, AnAddressTableStopsOnceItsListIsTaken) {
  UseGal(MixedEntries(600));
  OfferAddressTable();
  AddressBook book{{.session = session, .message_boxes = messages, .pending_events = pending}};
  RecordingContactList list;
  pending.on_run = [&list](int) { list.superseded = true; };
  book.LoadGlobalAddressList(list);
  EXPECT_THAT(list.rows, SizeIs(127));
  EXPECT_EQ(recorder.CountStartingWith(L"MAPITable("), 1U);
}

TEST_F(AddressBookTables, AContactFolderReadAsATableGivesTheWalksRowsAndKnowsItsLists) {
  auto folder = UseFolder(MixedItems(600));
  const std::vector<RecipientEntry> walked = ListFolder();
  ASSERT_EQ(session.KnownDistLists.size(), 120U);
  session.KnownDistLists.clear();

  folder->offers_table = true;
  pending.runs = 0;
  const std::vector<RecipientEntry> read = ListFolder();
  EXPECT_EQ(read, walked);
  ASSERT_THAT(read, SizeIs(360));
  EXPECT_EQ(read[0], Row(L"Team\r\n0", L"Contacts", kKindDistribution, L"0B1000"));
  EXPECT_EQ(read[1], Row(L"Smith,\r\nAnn 3", L"021 9", kKindEnvelope, L"0B1003"));
  EXPECT_EQ(session.KnownDistLists.size(), 120U);
  EXPECT_EQ(recorder.CountStartingWith(L"Item("), 120U) << "only the lists' names are read";
  EXPECT_EQ(recorder.CountStartingWith(L"Table(Mailbox/Contacts).GetArray(256)"), 4U);
  EXPECT_EQ(pending.runs, 0) << "a folder's listing lets no events run, as the walk";
}

TEST_F(AddressBookTables, AListTheHostCannotFindByEntryIdIsTakenFromItsFolder) {
  std::vector<FakeItemData> items = {Contact(L"0A01", L"Adams, Ann", L"021 1"),
                                     DistList(L"D1", L"Sales", {ContactMember(L"0A01")})};
  items[1].findable = false;
  auto folder = UseFolder(items);
  const std::vector<RecipientEntry> walked = ListFolder();
  session.KnownDistLists.clear();
  folder->offers_table = true;

  EXPECT_EQ(ListFolder(), walked);
  ASSERT_EQ(session.KnownDistLists.count(L"D1"), 1U);
  redemption->make_safe_dist_list = [this] {
    return std::make_unique<fakes::FakeSafeDistList>(recorder);
  };
  AddressBook book{{.session = session, .message_boxes = messages, .pending_events = pending}};
  std::vector<RecipientEntry> members;
  book.ExpandContactsDistList(walked[1], members);
  EXPECT_THAT(members, ElementsAre(Row(L"Adams, Ann", L"021 1", kKindEnvelope, L"0A01")));
}

TEST_F(AddressBookTables, AFolderTableThatRefusesOrFailsBehavesAsTheWalk) {
  auto folder = UseFolder(MixedItems(300));
  const std::vector<RecipientEntry> walked = ListFolder();

  folder->offers_table = true;
  folder->table_fails_after = 0;
  EXPECT_EQ(ListFolder(), walked) << "refused at once: walked";

  folder->table_fails_after = 256;
  AddressBook book{{.session = session, .message_boxes = messages, .pending_events = pending}};
  RecordingContactList list;
  EXPECT_THROW(book.Loadfolder(L"Contacts", 1, list), host::HostError);
  EXPECT_EQ(list.rows, std::vector<RecipientEntry>(walked.begin(), walked.begin() + 154))
      << "failing later: the rows of the first batch stay, as a failing walk keeps its rows";
  EXPECT_THAT(messages.shown, IsEmpty());
}

TEST_F(AddressBookTables, AnEmptyFolderOrListGivesNoRowsEitherWay) {
  auto folder = UseFolder({});
  folder->offers_table = true;
  EXPECT_THAT(ListFolder(), IsEmpty());
  UseGal({});
  OfferAddressTable();
  EXPECT_THAT(ListGal(), IsEmpty());
  EXPECT_EQ(recorder.CountStartingWith(L"AddressEntries("), 0U);
}

}  // namespace
}  // namespace parvel
