#include "workflows/address_book.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "support/call_recorder.h"
#include "support/rows.h"
#include "unit/workflows/book_session.h"
#include "workflows/selected_items.h"

namespace parvel {
namespace {

using test::kDistribution;
using test::Row;

using fakes::Contact;
using fakes::ContactFolder;
using fakes::ContactMember;
using fakes::DistList;
using fakes::GalList;
using fakes::MailFolder;
using fakes::MailUser;
using testing::ElementsAre;
using testing::IsEmpty;

RecipientEntry Envelope(std::wstring name, std::wstring mobile, std::wstring tag) {
  return Row(std::move(name), std::move(mobile), RecipientEntry::Kind::Envelope, std::move(tag));
}

class AddressBookTest : public testing::Test, protected test::BookSession {
 protected:
  AddressBookTest() { OfferSafeDistLists(); }

  std::vector<FolderListEntry> Folders() {
    std::vector<FolderListEntry> folders;
    book.ListContactFolders(folders);
    return folders;
  }

  fakes::RecordingContactList contacts;
};

// --- The folder scan ---------------------------------------------------------

TEST_F(AddressBookTest, ScanWalksEveryStoreDepthFirstLeavingTheTopLevelFoldersOut) {
  auto mailbox = ContactFolder(
      L"Mailbox", {},
      {MailFolder(L"Inbox", {ContactFolder(L"Team")}),
       ContactFolder(L"Contacts", {}, {ContactFolder(L"Friends")}), MailFolder(L"Calendar")});
  UseStores({mailbox, MailFolder(L"Archive", {ContactFolder(L"Contacts")})});

  EXPECT_THAT(Folders(),
              ElementsAre(FolderListEntry{L"Team", 1}, FolderListEntry{L"Contacts", 2},
                          FolderListEntry{L"Friends", 3}, FolderListEntry{L"Contacts", 4}));
  EXPECT_EQ(pending.runs, 8) << "once per store and once per folder below it";
  EXPECT_THAT(messages.shown, IsEmpty());
}

TEST_F(AddressBookTest, AFailingFolderIsReportedAndTheScanGoesOn) {
  UseStores({MailFolder(L"Mailbox",
                        {MailFolder(L"Inbox", {ContactFolder(L"Team"), ContactFolder(L"Projects")}),
                         ContactFolder(L"Contacts", {},
                                       {ContactFolder(L"Friends"), ContactFolder(L"Family")})}),
             MailFolder(L"Broken", {ContactFolder(L"Hidden")}),
             MailFolder(L"Archive", {ContactFolder(L"Old")})});
  recorder.FailOn(L"Folder(Mailbox/Inbox/Team).DefaultItemType", L"The folder is damaged.");
  recorder.FailOn(L"Folder(Mailbox/Contacts).Folders.Item(1)", L"Network problem.");
  recorder.FailOn(L"Folder(Broken).Folders.Count", L"The store is offline.");

  EXPECT_THAT(Folders(), ElementsAre(FolderListEntry{L"Projects", 1},
                                     FolderListEntry{L"Contacts", 2}, FolderListEntry{L"Old", 3}))
      << "a failing folder loses its remaining subfolders only; a store that cannot be "
         "counted is passed over";
  const std::wstring text = L"An unexpected error was caused while retrieving contact folders : ";
  EXPECT_THAT(messages.shown,
              ElementsAre(fakes::ShownMessage{L"Folder Error", text + L"The folder is damaged."},
                          fakes::ShownMessage{L"Folder Error", text + L"Network problem."}));
}

TEST_F(AddressBookTest, TheScanWaitsForANamespaceThenRunsOncePerSession) {
  EXPECT_THAT(Folders(), IsEmpty()) << "without a namespace: tried again at a later opening";
  auto mailbox = MailFolder(L"Mailbox", {ContactFolder(L"Contacts")});
  UseStores({mailbox});
  ASSERT_EQ(Folders().size(), 1U);
  mailbox->folders.push_back(ContactFolder(L"Created later"));
  recorder.ClearCalls();

  EXPECT_THAT(Folders(), ElementsAre(FolderListEntry{L"Contacts", 1}));
  EXPECT_EQ(recorder.CountStartingWith(L"Namespace.Folders"), 0U);
  EXPECT_EQ(pending.runs, 2);
}

// --- Listing a folder --------------------------------------------------------------

TEST_F(AddressBookTest, FoldersOfTheSameNameAreChosenByPositionOrTheFirstByName) {
  UseStores({MailFolder(L"Mailbox", {ContactFolder(L"Contacts", {Contact(L"C1", L"A", L"1")})}),
             MailFolder(L"Archive", {ContactFolder(L"Contacts", {Contact(L"C2", L"B", L"2")})})});
  Folders();
  book.ListFolder(L"Contacts", 2, contacts);
  EXPECT_THAT(contacts.rows, ElementsAre(Envelope(L"B", L"2", L"C2")));
  book.ListFolder(L"Contacts", 0, contacts);
  EXPECT_THAT(contacts.rows, ElementsAre(Envelope(L"A", L"1", L"C1")));
  book.ListFolder(L"Nowhere", 0, contacts);
  EXPECT_THAT(contacts.rows, IsEmpty());
  EXPECT_EQ(contacts.clears, 3);
  EXPECT_THAT(messages.shown, IsEmpty());
}

TEST_F(AddressBookTest, AHostErrorInAFolderKeepsTheRowsFoundBeforeIt) {
  UseStores({MailFolder(L"Mailbox", {ContactFolder(L"Contacts", {Contact(L"C1", L"A", L"1"),
                                                                 Contact(L"C2", L"B", L"2")})})});
  Folders();
  recorder.FailOn(L"Item(C2).MobileTelephoneNumber", L"The item is damaged.");
  EXPECT_THROW(book.ListFolder(L"Contacts", 1, contacts), host::HostError);
  EXPECT_THAT(contacts.rows, ElementsAre(Envelope(L"A", L"1", L"C1")));
}

// --- The Global Address List ---------------------------------------------------------

TEST_F(AddressBookTest, ALongListingReachesTheListInBatches) {
  std::vector<fakes::FakeAddressEntryData> entries;
  for (int i = 0; i < 600; ++i) {
    entries.push_back(MailUser(L"User", L"E" + std::to_wstring(i), L"021"));
  }
  UseAddressLists({{L"Global Address List", entries}});
  book.LoadGlobalAddressList(contacts);
  EXPECT_EQ(contacts.rows.size(), 600U);
  EXPECT_EQ(contacts.batch_sizes.size(), 3U);
}

TEST_F(AddressBookTest, AListingStopsOnceItsListIsTaken) {
  UseAddressLists({{L"Global Address List",
                    {MailUser(L"Ann", L"E1", L"1"), MailUser(L"Bob", L"E2", L"2"),
                     MailUser(L"Cy", L"E3", L"3")}}});
  pending.on_run = [this](int run) {
    if (run == 2) contacts.superseded = true;
  };
  book.LoadGlobalAddressList(contacts);
  EXPECT_THAT(contacts.rows, IsEmpty());
  EXPECT_EQ(recorder.CountStartingWith(L"AddressEntries(Global Address List).GetNext"), 1U);
}

TEST_F(AddressBookTest, AHostErrorInTheGlobalAddressListKeepsTheRowsFoundBeforeIt) {
  UseAddressLists(
      {{L"Global Address List", {MailUser(L"Ann", L"E1", L"1"), MailUser(L"Bob", L"E2", L"2")}}});
  recorder.FailOn(L"AddressEntry(E2).DisplayType", L"The server is not available.");
  EXPECT_THROW(book.LoadGlobalAddressList(contacts), host::HostError);
  EXPECT_THAT(contacts.rows, ElementsAre(Envelope(L"Ann", L"1", L"E1")));

  UseAddressLists({{L"Contacts", {MailUser(L"Ann", L"E1", L"1")}}});
  book.LoadGlobalAddressList(contacts);
  EXPECT_THAT(contacts.rows, IsEmpty()) << "no Global Address List";
}

// Redemption's collections count from 0 or from 1, depending on its version:
// the add-in finds the same lists and entries either way.
class AddressBookIndexBase : public AddressBookTest, public testing::WithParamInterface<int> {};

TEST_P(AddressBookIndexBase, TheGlobalAddressListIsFoundByNameInAnyLetterCaseWhereverItStands) {
  EXPECT_FALSE(book.HasGlobalAddressList()) << "without Redemption";
  UseAddressLists({{L"All Rooms", {}}}, GetParam());
  EXPECT_FALSE(book.HasGlobalAddressList());
  UseAddressLists({{L"Global Address List", {}}, {L"All Rooms", {}}}, GetParam());
  EXPECT_TRUE(book.HasGlobalAddressList());
  UseAddressLists({{L"All Rooms", {}}, {L"GLOBAL Address list", {}}}, GetParam());
  EXPECT_TRUE(book.HasGlobalAddressList());
  EXPECT_THAT(messages.shown, IsEmpty());

  recorder.FailOn(L"AddressLists.Item(1)", L"The server is not available.");
  EXPECT_THROW(book.HasGlobalAddressList(), host::HostError);
}

TEST_P(AddressBookIndexBase, AGlobalListExpandsTheFirstEntryOfItsNameIntoMembersWithAMobile) {
  UseAddressLists({{L"Global Address List",
                    {MailUser(L"Ann", L"E1", L"1"),
                     {.nothing = true},
                     GalList(L"Sales", L"L1",
                             {MailUser(L"Ann", L"E1", L"1"), MailUser(L"Bob", L"E2", std::nullopt),
                              MailUser(L"Cy", L"E3", L""), GalList(L"Nested", L"L3", {})}),
                     GalList(L"Sales", L"L2", {MailUser(L"Dee", L"E4", L"4")}),
                     GalList(L"Support", L"L4", {MailUser(L"Eve", L"E5", L"5")})}}},
                  GetParam());
  const auto sales = Row(L"Sales", L"Global Address List", kDistribution, L"L2");
  EXPECT_THAT(Expand(sales), ElementsAre(Envelope(L"Ann", L"1", L"E1")));
  const auto support = Row(L"Support", L"Global Address List", kDistribution, L"L4");
  EXPECT_THAT(Expand(support), ElementsAre(Envelope(L"Eve", L"5", L"E5")));
  EXPECT_THAT(Expand(sales), ElementsAre(Envelope(L"Ann", L"1", L"E1")));
  // One look at where the entries count from, then the walk.
  EXPECT_EQ(recorder.CountStartingWith(L"AddressEntries(Global Address List).Item("), 7U)
      << "the entries are walked once for all lists";
  EXPECT_THAT(Expand(Row(L"Gone", L"Global Address List", kDistribution, L"L9")), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(FromZeroAndFromOne, AddressBookIndexBase, testing::Values(0, 1));

// --- Contact-folder distribution lists --------------------------------------------

class ContactListExpansion : public AddressBookTest {
 protected:
  ContactListExpansion() { UseStores({test::MailboxWithLists()}); }

  const RecipientEntry sales = Row(L"Sales", L"Contacts", kDistribution, L"D1");
};

TEST_F(ContactListExpansion, OnlyMembersWrappingAContactWithAMobileYieldRows) {
  EXPECT_THAT(Expand(sales), ElementsAre(Envelope(L"Adams,Ann", L"021 1", L"0A01"),
                                         Envelope(L"Cole, Cy", L"021 3", L"0A03")))
      << "no mobile, a one-off address, a nested list, a short entry, an unknown contact";
  EXPECT_EQ(recorder.CountStartingWith(L"SafeDistList.Fields(2153058562)"), 1U);

  EXPECT_THAT(Expand(Row(L"Team", L"Contacts", kDistribution, L"D2")),
              ElementsAre(Envelope(L"Cole, Cy", L"021 3", L"0A03")));

  redemption->lower_case_hex = true;
  EXPECT_THAT(Expand(sales), IsEmpty()) << "a member prefix in another letter case is skipped";
}

TEST_F(ContactListExpansion, AListTheHostCannotFindIsExpandedWhenShownBefore) {
  recorder.FailOn(L"Namespace.GetItemFromID(D1)", L"The item could not be found.");
  EXPECT_THAT(Expand(sales), IsEmpty());

  Folders();
  book.ListFolder(L"Contacts", 0, contacts);
  EXPECT_EQ(Expand(sales).size(), 2U);
}

TEST_F(ContactListExpansion, HostErrorsOnlyDropWhatTheyTouch) {
  recorder.FailOn(L"Item(0A01).FileAs", L"The item is damaged.");
  EXPECT_THAT(Expand(sales), ElementsAre(Envelope(L"Cole, Cy", L"021 3", L"0A03")));

  redemption->make_safe_dist_list = nullptr;
  EXPECT_THAT(Expand(sales), IsEmpty());
  EXPECT_THAT(messages.shown, IsEmpty());
}

// --- Items handed over by the host (a context menu's selection) -------------------

// The items of a selection, one at a time, counting how many were taken and
// the most of them alive at once. Taking item i is the call "Selection.Next(i)".
class CountedSelection final : public host::ItemEnumerator {
 public:
  CountedSelection(fakes::CallRecorder& recorder, std::vector<fakes::FakeItemData> items)
      : recorder_(recorder), items_(std::move(items)) {}
  std::unique_ptr<host::Item> Next() override {
    most_held = std::max(most_held, recorder_.live_objects());
    recorder_.Record(L"Selection.Next(" + std::to_wstring(taken) + L")");
    if (taken == items_.size()) return nullptr;
    return std::make_unique<fakes::FakeItem>(recorder_, items_[taken++]);
  }
  std::size_t taken = 0;
  int most_held = 0;

 private:
  fakes::CallRecorder& recorder_;
  std::vector<fakes::FakeItemData> items_;
};

TEST_F(AddressBookTest, SelectedItemsBecomeTheRowsTheSelectHandsOverOneItemAtATime) {
  UseStores(
      {MailFolder(L"Mailbox", {ContactFolder(L"Contacts", {Contact(L"0A01", L"Bell, Anna", L"021"),
                                                           Contact(L"0A03", L"Smith", L"027")})})});
  fakes::CallRecorder held;  // the selection's items alone
  CountedSelection selection(
      held, {Contact(L"0A01", L"Bell, Anna", L"021"), Contact(L"0A02", L"Ngata, Ben", L""),
             Contact(L"0A04", L"Broken", L"029"), fakes::OtherItem(L"0E01"),
             DistList(L"0D01", L"Team", {ContactMember(L"0A03"), ContactMember(L"0A01")})});
  held.FailOn(L"Item(0A04).MobileTelephoneNumber", L"The item was deleted.");

  const SelectedItemRows selected = RowsOfSelectedItems(selection, book, session);
  EXPECT_THAT(selected.rows, ElementsAre(Envelope(L"Bell, Anna", L"021", L"0A01"),
                                         Envelope(L"Smith", L"027", L"0A03"),
                                         Envelope(L"Bell, Anna", L"021", L"0A01")))
      << "no number, no row; a failing item is passed over; the compose window drops the "
         "second Bell by its Tag";
  EXPECT_FALSE(selected.unread);
  EXPECT_EQ(selection.most_held, 1) << "only the list stays, kept by the session";
  EXPECT_NE(session.KnownDistList(L"0D01"), nullptr)
      << "the list in hand serves where the host cannot find it by its ID";

  CountedSelection cut_short(held, {Contact(L"0A03", L"Smith", L"027"), fakes::OtherItem(L"0E01")});
  held.FailOn(L"Selection.Next(1)", L"Too many items are open.");
  const SelectedItemRows partial = RowsOfSelectedItems(cut_short, book, session);
  EXPECT_THAT(partial.rows, ElementsAre(Envelope(L"Smith", L"027", L"0A03")));
  EXPECT_EQ(partial.unread, L"Too many items are open.");
}

TEST_F(AddressBookTest, TheContextMenuEntryShowsForAContactOrListAmongTheFirstItemsOnly) {
  std::vector<fakes::FakeItemData> mails;
  for (int i = 0; i < 5000; ++i) mails.push_back(fakes::OtherItem(L"0E" + std::to_wstring(i)));
  CountedSelection only_mails(recorder, mails);
  EXPECT_FALSE(SelectionHasRecipients(only_mails)) << "a selection of mails opens nothing";
  EXPECT_EQ(only_mails.taken, static_cast<std::size_t>(kSelectionItemsLookedAt))
      << "never a walk of the whole selection";

  std::vector<fakes::FakeItemData> mixed(mails.begin(), mails.begin() + 3);
  mixed.push_back(DistList(L"0D01", L"Team", {}));
  CountedSelection with_list(recorder, mixed);
  EXPECT_TRUE(SelectionHasRecipients(with_list));
  EXPECT_EQ(with_list.taken, 4U) << "the first contact or list decides";

  CountedSelection broken(
      recorder, {Contact(L"0A04", L"Broken", L"029"), Contact(L"0A01", L"Bell, Anna", L"021")});
  recorder.FailOn(L"Item(0A04).Kind", L"The item was deleted.");
  EXPECT_TRUE(SelectionHasRecipients(broken)) << "an unreadable item is passed over";
  CountedSelection empty(recorder, {});
  EXPECT_FALSE(SelectionHasRecipients(empty));
}

}  // namespace
}  // namespace parvel
