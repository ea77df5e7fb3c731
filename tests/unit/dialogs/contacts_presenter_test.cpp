#include "dialogs/contacts_presenter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/fake_outlook.h"
#include "unit/dialogs/contacts_fixture.h"

namespace parvel {
namespace {

using namespace contacts_controls;
using namespace contacts_test;

using testing::ElementsAre;
using testing::IsEmpty;

std::vector<std::wstring> Names(const std::vector<RecipientEntry>& rows) {
  std::vector<std::wstring> names;
  for (const RecipientEntry& row : rows) names.push_back(row.name);
  return names;
}

class ContactsPresenterTest : public ContactsFixture {
 protected:
  // Ann, Cy and Bob, their mobiles in the opposite order to their names.
  void UseThreeContactsOutOfOrder() {
    UseStores({MailFolder(
        L"Mailbox",
        {ContactFolder(L"Contacts", {Contact(L"0C01", L"Ann", L"3"), Contact(L"0C02", L"Cy", L"1"),
                                     Contact(L"0C03", L"Bob", L"2")})})});
  }

  void Click(std::wstring_view option) {
    view.SetChecked(kContactsOption, option == kContactsOption);
    view.SetChecked(kGlobalAddressListOption, option == kGlobalAddressListOption);
    if (option == kContactsOption) {
      picker.OnContactsOptionClicked();
    } else {
      picker.OnGlobalAddressListOptionClicked();
    }
  }

  // Selects rows of a list view as the user would and presses a button.
  void AddRows(std::vector<std::size_t> rows) {
    view.selected[kContactList] = std::move(rows);
    picker.OnAddClicked();
  }

  fakes::RecordingWindowView view;
  fakes::ScriptedPendingEvents pending;
  ContactsPorts ports{.session = session,
                      .view = view,
                      .message_boxes = messages,
                      .pending_events = pending,
                      .windows = windows};
  ContactsPresenter picker{ports};
};

// --- Opening ----------------------------------------------------------------------

TEST_F(ContactsPresenterTest, WithoutTheAddressBookTheEmptyListIsExplained) {
  // "Outlook Error" as the compose window loaded: no namespace is held.
  session.HoldNamespace(nullptr);
  session.Connect(std::make_unique<fakes::FakeApplication>(recorder));
  recorder.FailOn(L"Application.GetNamespace", L"No profile.");
  picker.Load();
  ASSERT_EQ(messages.shown.size(), 1U);
  EXPECT_EQ(messages.shown[0],
            (fakes::ShownMessage{L"Outlook Error",
                                 L"Your Outlook contact folders cannot be listed, because "
                                 L"Outlook's address book cannot be opened:\r\n\r\nNo profile.",
                                 MessageIcon::Exclamation}));
  EXPECT_EQ(view.ListCount(kFolderList), 0U);
  EXPECT_THAT(view.rows[kContactList], IsEmpty());
  EXPECT_TRUE(view.Checked(kContactsOption));

  // Outlook answers at the next opening: the namespace is held from then on.
  recorder.ClearFailures();
  messages.shown.clear();
  ContactsPresenter again{ports};
  again.Load();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_NE(session.HeldNamespace(), nullptr);
  EXPECT_EQ(recorder.CountStartingWith(L"Application.GetNamespace"), 2U);
}

TEST_F(ContactsPresenterTest, OpensOnContactsWithTheDefaultFolderHighlightedAndListedOnce) {
  std::vector<bool> busy_while_scanning;
  pending.on_run = [&](int) { busy_while_scanning.push_back(view.busy); };
  // A window may raise the list's click when code highlights an entry.
  view.on_list_index_set = [this](std::wstring_view) { picker.OnFolderChosen(); };
  picker.Load();

  EXPECT_TRUE(view.Checked(kContactsOption));
  EXPECT_EQ(view.disabled.count(kGlobalAddressListOption), 0U);
  EXPECT_THAT(view.lists[kFolderList],
              ElementsAre(ListItem{L"Contacts", 1}, ListItem{L"Contacts", 2}));
  EXPECT_EQ(view.ListIndex(kFolderList), 0U);
  EXPECT_THAT(Names(view.rows[kContactList]), ElementsAre(L"Ann", L"Bob", L"Sales"));
  EXPECT_EQ(recorder.CountStartingWith(L"Folder(Mailbox/Contacts).Items"), 1U);
  EXPECT_THAT(busy_while_scanning, ElementsAre(true, true, true, true, true));
  EXPECT_FALSE(view.busy);
  EXPECT_THAT(messages.shown, IsEmpty());
}

TEST_F(ContactsPresenterTest, ADefaultNameOfNoFolderListsNothingAndNoRedemptionNoGlobalList) {
  session.account_settings.default_contacts = L"contacts";
  redemption->make_address_lists = nullptr;
  picker.Load();
  EXPECT_EQ(view.ListIndex(kFolderList), std::nullopt);
  EXPECT_THAT(view.rows[kContactList], IsEmpty());
  EXPECT_EQ(view.disabled.count(kGlobalAddressListOption), 1U);
  EXPECT_THAT(messages.shown, IsEmpty());
}

// --- Sources ----------------------------------------------------------------------------

TEST_F(ContactsPresenterTest, GlobalAddressListModeListsItAndIgnoresFolderClicks) {
  picker.Load();
  Click(kGlobalAddressListOption);
  EXPECT_THAT(view.lists[kFolderList], ElementsAre(ListItem{L"Global Address List", 0}));
  EXPECT_THAT(
      view.rows[kContactList],
      ElementsAre(RecipientEntry{L"Dee", L"021 400", RecipientEntry::Kind::Envelope, L"", L"G1"},
                  RecipientEntry{L"Eve", L"021 500", RecipientEntry::Kind::Envelope, L"", L"G2"},
                  RecipientEntry{L"Team", L"Global Address List",
                                 RecipientEntry::Kind::Distribution, L"", L"G9"}));
  recorder.ClearCalls();
  view.list_index[kFolderList] = 0;
  picker.OnFolderChosen();
  EXPECT_THAT(Names(view.rows[kContactList]), ElementsAre(L"Dee", L"Eve", L"Team"));
  EXPECT_EQ(recorder.CountStartingWith(L"Folder("), 0U);
}

TEST_F(ContactsPresenterTest, ChangingTheSourceOrClosingStopsARunningListing) {
  picker.Load();
  pending.runs = 0;
  pending.on_run = [this](int run) {
    if (run == 2) Click(kContactsOption);
  };
  Click(kGlobalAddressListOption);
  EXPECT_THAT(Names(view.rows[kContactList]), ElementsAre(L"Ann", L"Bob", L"Sales"));
  EXPECT_THAT(view.lists[kFolderList],
              ElementsAre(ListItem{L"Contacts", 1}, ListItem{L"Contacts", 2}));
  EXPECT_EQ(view.ListIndex(kFolderList), 0U);
  EXPECT_EQ(recorder.CountStartingWith(L"AddressEntries(Global Address List).GetNext"), 1U);

  pending.on_run = [this](int) { picker.OnCancelClicked(); };
  Click(kGlobalAddressListOption);
  EXPECT_TRUE(view.closed);
  EXPECT_THAT(view.rows[kContactList], IsEmpty());
}

TEST_F(ContactsPresenterTest, ALongListingIsDrawnInBatchesAndKeepsTheUsersSelection) {
  std::vector<fakes::FakeAddressEntryData> entries;
  for (int i = 0; i < 1000; ++i) {
    entries.push_back(MailUser(L"User " + std::to_wstring(i), L"E" + std::to_wstring(i), L"021"));
  }
  UseAddressLists({{L"Global Address List", entries}});
  picker.Load();
  pending.runs = 0;
  pending.on_run = [this](int run) {
    if (run == 600) view.selected[kContactList] = {5};
  };
  const int before = view.redraws[kContactList];
  Click(kGlobalAddressListOption);

  EXPECT_EQ(view.rows[kContactList].size(), 1000U);
  EXPECT_LE(view.redraws[kContactList] - before, 5);
  picker.OnAddClicked();
  EXPECT_THAT(Names(view.rows[kSelectedList]), ElementsAre(L"User 5"));
}

// --- The selected list ---------------------------------------------------------------

TEST_F(ContactsPresenterTest, AddCopiesTheSelectedRowsOnceAndKeepsTheListInNameOrder) {
  picker.Load();
  AddRows({1});
  AddRows({0, 1, 2});
  EXPECT_THAT(Names(view.rows[kSelectedList]), ElementsAre(L"Ann", L"Bob", L"Sales"));

  view.list_index[kFolderList] = 1;
  picker.OnFolderChosen();
  view.selected[kContactList] = {0};
  picker.OnContactDoubleClicked();
  EXPECT_THAT(Names(view.rows[kSelectedList]),
              ElementsAre(L"Ann", L"Bob", L"Cy\r\nCole", L"Sales"));
}

TEST_F(ContactsPresenterTest, EachListSortsByItsOwnClickedColumn) {
  UseThreeContactsOutOfOrder();
  picker.Load();
  AddRows({0, 1});
  picker.OnSelectedColumnClicked(1);
  EXPECT_THAT(Names(view.rows[kSelectedList]), ElementsAre(L"Cy", L"Ann"));
  EXPECT_THAT(Names(view.rows[kContactList]), ElementsAre(L"Ann", L"Cy", L"Bob"));
  AddRows({2});
  EXPECT_THAT(Names(view.rows[kSelectedList]), ElementsAre(L"Cy", L"Bob", L"Ann"));

  picker.OnContactsColumnClicked(0);
  EXPECT_THAT(Names(view.rows[kContactList]), ElementsAre(L"Ann", L"Bob", L"Cy"));
  EXPECT_THAT(Names(view.rows[kSelectedList]), ElementsAre(L"Cy", L"Bob", L"Ann"));
}

TEST_F(ContactsPresenterTest, RemoveTakesTheSelectedRowsAndTheSelectionStaysOnThem) {
  UseThreeContactsOutOfOrder();
  const auto selected_names = [this](const ControlName& list) {
    std::vector<std::wstring> names;
    for (const std::size_t row : view.selected[list]) names.push_back(view.rows[list].at(row).name);
    return names;
  };
  picker.Load();
  AddRows({0, 1});
  picker.OnRemoveClicked();
  EXPECT_THAT(Names(view.rows[kSelectedList]), ElementsAre(L"Ann", L"Cy")) << "none selected";
  view.selected[kSelectedList] = {1};
  AddRows({2});
  EXPECT_THAT(Names(view.rows[kSelectedList]), ElementsAre(L"Ann", L"Bob", L"Cy"));
  EXPECT_THAT(selected_names(kSelectedList), ElementsAre(L"Cy")) << "rows added";
  picker.OnSelectedColumnClicked(1);
  EXPECT_THAT(selected_names(kSelectedList), ElementsAre(L"Cy")) << "sorted";
  EXPECT_THAT(selected_names(kContactList), ElementsAre(L"Bob")) << "the other list";

  view.selected[kContactList] = {0, 1};
  picker.OnContactsColumnClicked(0);
  EXPECT_THAT(Names(view.rows[kContactList]), ElementsAre(L"Ann", L"Bob", L"Cy"));
  EXPECT_THAT(selected_names(kContactList), ElementsAre(L"Ann", L"Cy"));
  view.selected[kSelectedList] = {0, 2};
  picker.OnRemoveClicked();
  EXPECT_THAT(Names(view.rows[kSelectedList]), ElementsAre(L"Bob"));
  EXPECT_THAT(view.selected[kSelectedList], IsEmpty());
  view.selected[kSelectedList] = {0};
  picker.OnSelectedDoubleClicked();
  EXPECT_THAT(view.rows[kSelectedList], IsEmpty());
}

// --- Handing over --------------------------------------------------------------------

TEST_F(ContactsPresenterTest, SelectWithNothingOnlyCloses) {
  picker.Load();
  picker.OnSelectClicked();
  EXPECT_TRUE(view.closed);
  EXPECT_EQ(compose.Recipients().Count(), 0U);
}

TEST_F(ContactsPresenterTest, ListsOfAFolderNamedLikeTheGlobalAddressListAreExpandedThere) {
  UseStores({MailFolder(L"Mailbox",
                        {ContactFolder(L"Global Address List", {DistList(L"D9", L"Team", {})})})});
  session.account_settings.default_contacts = L"Global Address List";
  picker.Load();
  AddRows({0});
  picker.OnSelectClicked();
  EXPECT_THAT(Names(compose.Recipients().Rows()), ElementsAre(L"Dee", L"Fay"));
}

TEST_F(ContactsPresenterTest, HostErrorsAreReportedWithTheHostsTextAndTheWorkGoesOn) {
  recorder.FailOn(L"Item(0C02).Kind", L"The item is damaged.");
  picker.Load();
  EXPECT_THAT(Names(view.rows[kContactList]), ElementsAre(L"Ann"));
  EXPECT_THAT(messages.shown,
              ElementsAre(fakes::ShownMessage{L"Outlook Error", L"The item is damaged."}));

  Click(kGlobalAddressListOption);
  AddRows({0, 2});  // Dee, Team
  recorder.FailOn(L"AddressEntry(G9).Members", L"The server is not available.");
  picker.OnSelectClicked();
  EXPECT_EQ(messages.shown.back(),
            (fakes::ShownMessage{L"Outlook Error", L"The server is not available."}));
  EXPECT_THAT(Names(compose.Recipients().Rows()), ElementsAre(L"Dee"));
  EXPECT_TRUE(view.closed);
}

}  // namespace
}  // namespace parvel
