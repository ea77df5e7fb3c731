#include "dialogs/ol_contacts.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "dialogs/ol_main.h"
#include "support/call_recorder.h"
#include "support/compose_only_windows.h"
#include "support/fake_address_book.h"
#include "support/fake_outlook.h"
#include "support/fake_redemption.h"
#include "support/fixed_clock.h"
#include "support/memory_registry.h"
#include "support/recorded_session.h"
#include "support/recording_message_boxes.h"
#include "support/recording_window_view.h"

namespace parvel {
namespace {

using fakes::Contact;
using fakes::ContactFolder;
using fakes::ContactMember;
using fakes::DistList;
using fakes::GalList;
using fakes::MailFolder;
using fakes::MailUser;
using testing::ElementsAre;
using testing::IsEmpty;

std::vector<std::wstring> Names(const std::vector<RecipientEntry>& rows) {
  std::vector<std::wstring> names;
  for (const RecipientEntry& row : rows) names.push_back(row.Name);
  return names;
}

class OLContactsTest : public testing::Test, protected fakes::RecordedSession {
 protected:
  OLContactsTest() {
    redemption->make_safe_dist_list = [this] {
      return std::make_unique<fakes::FakeSafeDistList>(recorder);
    };
    redemption->make_address_lists = fakes::FakeAddressListsMaker(
        recorder,
        {{L"Global Address List",
          {MailUser(L"Dee", L"G1", L"021 400"), MailUser(L"Eve", L"G2", L"021 500"),
           GalList(L"Team", L"G9",
                   {MailUser(L"Dee", L"G1", L"021 400"), MailUser(L"Fay", L"G3", L"021 600")})}}});
    UseStores(
        {MailFolder(
             L"Mailbox",
             {MailFolder(L"Inbox"),
              ContactFolder(
                  L"Contacts",
                  {Contact(L"0C01", L"Ann", L"021 100"), Contact(L"0C02", L"Bob", L"021 200"),
                   DistList(L"D1", L"Sales", {ContactMember(L"0C01"), ContactMember(L"0C03")})})}),
         MailFolder(L"Archive",
                    {ContactFolder(L"Contacts", {Contact(L"0C03", L"Cy\r\nCole", L"021 300")})})});
    session.AccountSettings.DefaultContacts = L"Contacts";
  }

  void UseStores(std::vector<std::shared_ptr<fakes::FakeFolderData>> stores) {
    session.HoldNamespace(std::make_unique<fakes::FakeStoreNamespace>(recorder, std::move(stores)));
  }

  void Click(std::wstring_view option) {
    view.SetChecked(L"Option1", option == L"Option1");
    view.SetChecked(L"Option2", option == L"Option2");
    if (option == L"Option1") {
      picker.Option1_Click();
    } else {
      picker.Option2_Click();
    }
  }

  // Selects rows of a list view as the user would and presses a button.
  void AddRows(std::vector<std::size_t> rows) {
    view.selected[L"lvw"] = std::move(rows);
    picker.Command1_Click();
  }

  fakes::RecordingMessageBoxes messages;

  fakes::RecordingWindowView compose_view;
  MemoryRegistry registry;
  fakes::FixedClock clock{{2026, 12, 31, 18, 5}};
  fakes::ComposeOnlyWindows windows{compose};
  OLMain compose{{.session = session,
                  .view = compose_view,
                  .message_boxes = messages,
                  .registry = registry,
                  .clock = clock,
                  .windows = windows}};

  fakes::RecordingWindowView view;
  fakes::ScriptedPendingEvents pending;
  OLContactsPorts ports{.session = session,
                        .view = view,
                        .message_boxes = messages,
                        .pending_events = pending,
                        .windows = windows};
  OLContacts picker{ports};
};

// --- Opening ----------------------------------------------------------------------

TEST_F(OLContactsTest, WithoutTheAddressBookTheEmptyListIsExplained) {
  // "Outlook Error" as the compose window loaded: no namespace is held.
  session.HoldNamespace(nullptr);
  session.Connect(std::make_unique<fakes::FakeApplication>(recorder));
  recorder.FailOn(L"Application.GetNamespace", L"No profile.");
  picker.Form_Load();
  ASSERT_EQ(messages.shown.size(), 1U);
  EXPECT_EQ(messages.shown[0],
            (fakes::ShownMessage{L"Outlook Error",
                                 L"Your Outlook contact folders cannot be listed, because "
                                 L"Outlook's address book cannot be opened:\r\n\r\nNo profile.",
                                 MessageIcon::Exclamation}));
  EXPECT_EQ(view.ListCount(L"List1"), 0U);
  EXPECT_THAT(view.rows[L"lvw"], IsEmpty());
  EXPECT_TRUE(view.Checked(L"Option1"));

  // Outlook answers at the next opening: the namespace is held from then on.
  recorder.ClearFailures();
  messages.shown.clear();
  OLContacts again{ports};
  again.Form_Load();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_NE(session.HeldNamespace(), nullptr);
  EXPECT_EQ(recorder.CountStartingWith(L"Application.GetNamespace"), 2U);
}

TEST_F(OLContactsTest, OpensOnContactsWithTheDefaultFolderHighlightedAndListedOnce) {
  std::vector<bool> busy_while_scanning;
  pending.on_run = [&](int) { busy_while_scanning.push_back(view.busy); };
  // A window may raise the list's click when code highlights an entry.
  view.on_list_index_set = [this](std::wstring_view) { picker.List1_Click(); };
  picker.Form_Load();

  EXPECT_TRUE(view.Checked(L"Option1"));
  EXPECT_EQ(view.disabled.count(L"Option2"), 0U);
  EXPECT_THAT(view.lists[L"List1"],
              ElementsAre(ListItem{L"Contacts", 1}, ListItem{L"Contacts", 2}));
  EXPECT_EQ(view.ListIndex(L"List1"), 0U);
  EXPECT_THAT(Names(view.rows[L"lvw"]), ElementsAre(L"Ann", L"Bob", L"Sales"));
  EXPECT_EQ(recorder.CountStartingWith(L"Folder(Mailbox/Contacts).Items"), 1U);
  EXPECT_THAT(busy_while_scanning, ElementsAre(true, true));
  EXPECT_FALSE(view.busy);
  EXPECT_THAT(messages.shown, IsEmpty());
}

TEST_F(OLContactsTest, ADefaultNameOfNoFolderHighlightsNothingAndListsNothing) {
  session.AccountSettings.DefaultContacts = L"contacts";
  picker.Form_Load();
  EXPECT_EQ(view.ListIndex(L"List1"), std::nullopt);
  EXPECT_THAT(view.rows[L"lvw"], IsEmpty());
  EXPECT_THAT(messages.shown, IsEmpty());
}

TEST_F(OLContactsTest, TheGlobalAddressListOptionIsDisabledWithoutRedemption) {
  redemption->make_address_lists = nullptr;
  picker.Form_Load();
  EXPECT_EQ(view.disabled.count(L"Option2"), 1U);
  EXPECT_THAT(messages.shown, IsEmpty());
}

// --- Sources ----------------------------------------------------------------------------

TEST_F(OLContactsTest, AFolderIsChosenByItsPositionNotItsName) {
  picker.Form_Load();
  view.list_index[L"List1"] = 1;
  picker.List1_Click();
  EXPECT_THAT(Names(view.rows[L"lvw"]), ElementsAre(L"Cy\r\nCole"));
}

TEST_F(OLContactsTest, GlobalAddressListModeListsItAndIgnoresFolderClicks) {
  picker.Form_Load();
  Click(L"Option2");
  EXPECT_THAT(view.lists[L"List1"], ElementsAre(ListItem{L"Global Address List", 0}));
  EXPECT_THAT(
      view.rows[L"lvw"],
      ElementsAre(RecipientEntry{L"Dee", L"021 400", L"Envelope", L"", L"G1"},
                  RecipientEntry{L"Eve", L"021 500", L"Envelope", L"", L"G2"},
                  RecipientEntry{L"Team", L"Global Address List", L"Distribution", L"", L"G9"}));
  recorder.ClearCalls();
  view.list_index[L"List1"] = 0;
  picker.List1_Click();
  EXPECT_THAT(Names(view.rows[L"lvw"]), ElementsAre(L"Dee", L"Eve", L"Team"));
  EXPECT_EQ(recorder.CountStartingWith(L"Folder("), 0U);
}

TEST_F(OLContactsTest, SwitchingSourcesKeepsTheSelectedList) {
  picker.Form_Load();
  AddRows({1});
  Click(L"Option2");
  AddRows({0});
  Click(L"Option1");
  EXPECT_THAT(Names(view.rows[L"lvw2"]), ElementsAre(L"Bob", L"Dee"));
  EXPECT_THAT(Names(view.rows[L"lvw"]), ElementsAre(L"Ann", L"Bob", L"Sales"));
  EXPECT_EQ(view.ListIndex(L"List1"), 0U);
}

TEST_F(OLContactsTest, ChangingTheSourceOrClosingStopsARunningListing) {
  picker.Form_Load();
  pending.runs = 0;
  pending.on_run = [this](int run) {
    if (run == 2) Click(L"Option1");
  };
  Click(L"Option2");
  EXPECT_THAT(Names(view.rows[L"lvw"]), ElementsAre(L"Ann", L"Bob", L"Sales"));
  EXPECT_THAT(view.lists[L"List1"],
              ElementsAre(ListItem{L"Contacts", 1}, ListItem{L"Contacts", 2}));
  EXPECT_EQ(recorder.CountStartingWith(L"AddressEntries(Global Address List).GetNext"), 1U);

  pending.on_run = [this](int) { picker.Command3_Click(); };
  Click(L"Option2");
  EXPECT_TRUE(view.closed);
  EXPECT_THAT(view.rows[L"lvw"], IsEmpty());
}

TEST_F(OLContactsTest, ALongListingIsDrawnInBatchesAndKeepsTheUsersSelection) {
  std::vector<fakes::FakeAddressEntryData> entries;
  for (int i = 0; i < 1000; ++i) {
    entries.push_back(MailUser(L"User " + std::to_wstring(i), L"E" + std::to_wstring(i), L"021"));
  }
  redemption->make_address_lists =
      fakes::FakeAddressListsMaker(recorder, {{L"Global Address List", entries}});
  picker.Form_Load();
  pending.runs = 0;
  pending.on_run = [this](int run) {
    if (run == 600) view.selected[L"lvw"] = {5};
  };
  const int before = view.redraws[L"lvw"];
  Click(L"Option2");

  EXPECT_EQ(view.rows[L"lvw"].size(), 1000U);
  EXPECT_LE(view.redraws[L"lvw"] - before, 5);
  picker.Command1_Click();
  EXPECT_THAT(Names(view.rows[L"lvw2"]), ElementsAre(L"User 5"));
}

// --- The selected list ---------------------------------------------------------------

TEST_F(OLContactsTest, AddCopiesTheSelectedRowsOnceAndKeepsTheListInNameOrder) {
  picker.Form_Load();
  AddRows({1});
  AddRows({0, 1, 2});
  EXPECT_THAT(Names(view.rows[L"lvw2"]), ElementsAre(L"Ann", L"Bob", L"Sales"));

  view.list_index[L"List1"] = 1;
  picker.List1_Click();
  view.selected[L"lvw"] = {0};
  picker.lvw_DblClick();
  EXPECT_THAT(Names(view.rows[L"lvw2"]), ElementsAre(L"Ann", L"Bob", L"Cy\r\nCole", L"Sales"));
}

TEST_F(OLContactsTest, RemoveTakesTheSelectedRows) {
  picker.Form_Load();
  AddRows({0, 1, 2});
  picker.Command4_Click();
  EXPECT_THAT(Names(view.rows[L"lvw2"]), ElementsAre(L"Ann", L"Bob", L"Sales"));

  view.selected[L"lvw2"] = {0, 2};
  picker.Command4_Click();
  EXPECT_THAT(Names(view.rows[L"lvw2"]), ElementsAre(L"Bob"));
  view.selected[L"lvw2"] = {0};
  picker.lvw2_DblClick();
  EXPECT_THAT(view.rows[L"lvw2"], IsEmpty());
}

TEST_F(OLContactsTest, EachListSortsByItsOwnClickedColumn) {
  UseStores({MailFolder(
      L"Mailbox",
      {ContactFolder(L"Contacts", {Contact(L"0C01", L"Ann", L"3"), Contact(L"0C02", L"Cy", L"1"),
                                   Contact(L"0C03", L"Bob", L"2")})})});
  picker.Form_Load();
  AddRows({0, 1});
  picker.lvw2_ColumnClick(1);
  EXPECT_THAT(Names(view.rows[L"lvw2"]), ElementsAre(L"Cy", L"Ann"));
  EXPECT_THAT(Names(view.rows[L"lvw"]), ElementsAre(L"Ann", L"Cy", L"Bob"));
  AddRows({2});
  EXPECT_THAT(Names(view.rows[L"lvw2"]), ElementsAre(L"Cy", L"Bob", L"Ann"));

  picker.lvw_ColumnClick(0);
  EXPECT_THAT(Names(view.rows[L"lvw"]), ElementsAre(L"Ann", L"Bob", L"Cy"));
  EXPECT_THAT(Names(view.rows[L"lvw2"]), ElementsAre(L"Cy", L"Bob", L"Ann"));
}

TEST_F(OLContactsTest, TheSelectionStaysOnItsRowsWhileAListChanges) {
  UseStores({MailFolder(
      L"Mailbox",
      {ContactFolder(L"Contacts", {Contact(L"0C01", L"Ann", L"3"), Contact(L"0C02", L"Cy", L"1"),
                                   Contact(L"0C03", L"Bob", L"2")})})});
  const auto selected_names = [this](const wchar_t* list) {
    std::vector<std::wstring> names;
    for (const std::size_t row : view.selected[list]) names.push_back(view.rows[list].at(row).Name);
    return names;
  };
  picker.Form_Load();
  AddRows({0, 1});
  view.selected[L"lvw2"] = {1};
  AddRows({2});
  EXPECT_THAT(Names(view.rows[L"lvw2"]), ElementsAre(L"Ann", L"Bob", L"Cy"));
  EXPECT_THAT(selected_names(L"lvw2"), ElementsAre(L"Cy")) << "rows added";
  picker.lvw2_ColumnClick(1);
  EXPECT_THAT(selected_names(L"lvw2"), ElementsAre(L"Cy")) << "sorted";
  EXPECT_THAT(selected_names(L"lvw"), ElementsAre(L"Bob")) << "the other list";

  view.selected[L"lvw"] = {0, 1};
  picker.lvw_ColumnClick(0);
  EXPECT_THAT(Names(view.rows[L"lvw"]), ElementsAre(L"Ann", L"Bob", L"Cy"));
  EXPECT_THAT(selected_names(L"lvw"), ElementsAre(L"Ann", L"Cy"));
  view.selected[L"lvw2"] = {0, 2};
  picker.Command4_Click();
  EXPECT_THAT(Names(view.rows[L"lvw2"]), ElementsAre(L"Bob"));
  EXPECT_THAT(view.selected[L"lvw2"], IsEmpty());
}

// --- Handing over --------------------------------------------------------------------

TEST_F(OLContactsTest, SelectExpandsListsAndAddsEachEntryOnce) {
  compose.AddPickedRecipients(
      {{.Name = L"Ann", .Mobile = L"021 100", .Kind = L"Envelope", .Tag = L"0C01"}});
  picker.Form_Load();
  AddRows({0, 2});  // Ann, Sales
  Click(L"Option2");
  AddRows({0, 2});  // Dee, Team
  picker.Command2_Click();

  EXPECT_THAT(compose.Recipients().Rows(),
              ElementsAre(RecipientEntry{L"Ann", L"021 100", L"Envelope", L"", L"0C01"},
                          RecipientEntry{L"Dee", L"021 400", L"Envelope", L"", L"G1"},
                          RecipientEntry{L"CyCole", L"021 300", L"Envelope", L"", L"0C03"},
                          RecipientEntry{L"Fay", L"021 600", L"Envelope", L"", L"G3"}));
  EXPECT_TRUE(view.closed);

  OLContacts again{ports};
  again.Form_Load();
  view.selected[L"lvw"] = {0, 2};
  again.Command1_Click();
  again.Command2_Click();
  EXPECT_EQ(compose.Recipients().Count(), 4U) << "the same entries a second time";
}

TEST_F(OLContactsTest, SelectWithNothingAndCancelOnlyClose) {
  picker.Form_Load();
  picker.Command2_Click();
  EXPECT_TRUE(view.closed);
  EXPECT_EQ(compose.Recipients().Count(), 0U);

  OLContacts cancelled{ports};
  cancelled.Form_Load();
  view.selected[L"lvw"] = {0, 1};
  cancelled.Command1_Click();
  view.closed = false;
  cancelled.Command3_Click();
  EXPECT_TRUE(view.closed);
  EXPECT_EQ(compose.Recipients().Count(), 0U);
}

TEST_F(OLContactsTest, ListsOfAFolderNamedLikeTheGlobalAddressListAreExpandedThere) {
  UseStores({MailFolder(L"Mailbox",
                        {ContactFolder(L"Global Address List", {DistList(L"D9", L"Team", {})})})});
  session.AccountSettings.DefaultContacts = L"Global Address List";
  picker.Form_Load();
  AddRows({0});
  picker.Command2_Click();
  EXPECT_THAT(Names(compose.Recipients().Rows()), ElementsAre(L"Dee", L"Fay"));
}

TEST_F(OLContactsTest, HostErrorsAreReportedWithTheHostsTextAndTheWorkGoesOn) {
  recorder.FailOn(L"Item(0C02).Kind", L"The item is damaged.");
  picker.Form_Load();
  EXPECT_THAT(Names(view.rows[L"lvw"]), ElementsAre(L"Ann"));
  EXPECT_THAT(messages.shown,
              ElementsAre(fakes::ShownMessage{L"Outlook Error", L"The item is damaged."}));

  Click(L"Option2");
  AddRows({0, 2});  // Dee, Team
  recorder.FailOn(L"AddressEntry(G9).Members", L"The server is not available.");
  picker.Command2_Click();
  EXPECT_EQ(messages.shown.back(),
            (fakes::ShownMessage{L"Outlook Error", L"The server is not available."}));
  EXPECT_THAT(Names(compose.Recipients().Rows()), ElementsAre(L"Dee"));
  EXPECT_TRUE(view.closed);
}

}  // namespace
}  // namespace parvel
