#include "dialogs/compose_presenter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unit/dialogs/compose_fixture.h"

namespace parvel {
namespace {

using namespace compose_controls;

using compose_test::kCaption;

RecipientEntry Picked(std::wstring name, std::wstring mobile, std::wstring tag) {
  return {.name = std::move(name),
          .mobile = std::move(mobile),
          .kind = RecipientEntry::Kind::Envelope,
          .tag = std::move(tag)};
}

std::vector<std::wstring> Column(const std::vector<RecipientEntry>& rows, bool mobile) {
  std::vector<std::wstring> values;
  for (const auto& row : rows) values.push_back(mobile ? row.mobile : row.name);
  return values;
}

class ComposePresenterTest : public compose_test::ComposeFixture {
 protected:
  void Type(const std::wstring& message) {
    view.texts[kMessageBox] = message;
    window.OnMessageChanged();
  }
  void AddMobile(const std::wstring& mobile) {
    view.texts[kMobileBox] = mobile;
    window.OnAddMobileClicked();
  }

  ComposePresenter window{Ports(view)};
};

TEST_F(ComposePresenterTest, LoadReadsTheUserTheSettingsAndSetsTheDelayedSendBox) {
  window.Load();
  EXPECT_EQ(session.user_display_name, L"Sales Desk");
  ASSERT_NE(session.HeldNamespace(), nullptr);
  EXPECT_EQ(session.account_settings.name_prefix, L"ZN");
  EXPECT_EQ(view.dates[kDelayedSendTime], (LocalDateTime{2027, 1, 1, 6, 5})) << "now plus 12 hours";
  EXPECT_EQ(view.caption, kCaption);
  EXPECT_TRUE(view.Visible(kAccountButton));
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(view.texts.count(kCounterLabel), 0U)
      << "the counter stays empty until the message changes";

  clock.now = {2027, 1, 1, 9, 0};
  EXPECT_EQ(view.dates[kDelayedSendTime], (LocalDateTime{2027, 1, 1, 6, 5})) << "set once, at load";
}

TEST_F(ComposePresenterTest, AHostFailureAtLoadIsReportedAndTheWindowStillLoads) {
  recorder.FailOn(L"Application.GetNamespace", L"No profile.");
  window.Load();
  ASSERT_EQ(messages.shown.size(), 1U);
  EXPECT_EQ(messages.shown[0].title, L"Outlook Error");
  EXPECT_EQ(view.caption, kCaption);
  EXPECT_EQ(session.account_settings.account, L"acc1");
}

TEST_F(ComposePresenterTest, CounterCountsTheTextAsSentPrefixUserNameAndOneMore) {
  window.Load();
  Type(L"");
  EXPECT_EQ(view.texts[kCounterLabel],
            L"Used : 13 chars (incl. EMail name)");  // 0 + 1 + 2 ("ZN") + 10 ("Sales Desk")
  session.account_settings.name_prefix.clear();
  session.user_display_name = L"Kylie";
  Type(L"ab\r\ncd");
  EXPECT_EQ(view.texts[kCounterLabel], L"Used : 11 chars (incl. EMail name)");
  window.SetMessage(L"template text");
  EXPECT_EQ(view.texts[kMessageBox], L"template text");
  EXPECT_EQ(view.texts[kCounterLabel], L"Used : 19 chars (incl. EMail name)");

  session.user_display_name = L"Ren\u00E9";  // sent as "Rene"
  Type(L"Hi");
  EXPECT_EQ(view.texts[kReplacementLabel], L"");
  // "Stra\u00DFe" is sent as "Strasse": one character more.
  Type(L"Stra\u00DFe \u2013 caf\u00E9");
  EXPECT_EQ(view.texts[kCounterLabel], L"Used : 19 chars (incl. EMail name)");  // 14 + 1 + 0 + 4
  EXPECT_EQ(view.texts[kReplacementLabel], L"3 characters will be replaced");
  Type(L"\u00E9 \u4F1A\u8B70");
  EXPECT_EQ(view.texts[kReplacementLabel], L"1 character will be replaced, 2 cannot be sent");
  Type(L"\u4F1A");
  EXPECT_EQ(view.texts[kReplacementLabel], L"1 character cannot be sent");
  window.SetMessage(L"");
  EXPECT_EQ(view.texts[kReplacementLabel], L"") << "a cleared message clears the line";
}

TEST_F(ComposePresenterTest, AddMobileAddsUnknownRowsWithDistinctKeysAndIgnoresAnEmptyBox) {
  window.Load();
  AddMobile(L"12");    // x12 + 1
  AddMobile(L"121#");  // x121# + 2, the key the first suffix would give
  for (int i = 3; i <= 20; ++i) AddMobile(L"0" + std::to_wstring(i));
  AddMobile(L"1");  // x1 + 21 would be x121 again
  AddMobile(L"7");  // x7 + 22: no clash, no suffix
  const std::vector<RecipientEntry> rows = window.Recipients().Rows();
  ASSERT_EQ(rows.size(), 22U);
  EXPECT_EQ(rows[0],
            (RecipientEntry{L"Unknown", L"12", RecipientEntry::Kind::Envelope, L"x121", L""}));
  EXPECT_EQ(rows[1].key, L"x121#2");
  EXPECT_EQ(rows[2].key, L"x033");
  EXPECT_EQ(rows[20].key, L"x121#3");
  EXPECT_EQ(rows[21].key, L"x722");
  EXPECT_EQ(view.texts[kMobileBox], L"");
  EXPECT_EQ(view.focus, std::wstring(kMessageBox));

  view.focus.clear();
  AddMobile(L"");
  EXPECT_EQ(window.Recipients().Count(), 22U);
  EXPECT_EQ(view.focus, L"") << "an empty box does nothing";
}

TEST_F(ComposePresenterTest, RemoveSelectedRemovesThemAllAndSortsByName) {
  window.Load();
  window.AddPickedRecipients({Picked(L"e", L"5", L"t5"), Picked(L"d", L"4", L"t4"),
                              Picked(L"c", L"3", L"t3"), Picked(L"b", L"2", L"t2"),
                              Picked(L"a", L"1", L"t1")});
  view.selected[kRecipientList] = {0, 2, 4};
  window.OnRemoveClicked();
  EXPECT_EQ(Column(view.rows[kRecipientList], false), (std::vector<std::wstring>{L"b", L"d"}));
}

TEST_F(ComposePresenterTest, ASelectionReadPartWayAddsTheRowsReadAndSaysSo) {
  window.Load();
  window.AddSelectedItems({.rows = {Picked(L"Ann", L"0", L"A"), Picked(L"Ann", L"0", L"A")}});
  EXPECT_EQ(window.Recipients().Count(), 1U);
  EXPECT_TRUE(messages.shown.empty());
  window.AddSelectedItems({.rows = {Picked(L"Bo", L"1", L"B")}, .unread = L"Too many open."});
  EXPECT_EQ(window.Recipients().Count(), 2U);
  EXPECT_EQ(messages.shown,
            (std::vector<fakes::ShownMessage>{
                {L"Outlook Error", std::wstring(kSelectionUnreadText) + L"Too many open."}}));
}

TEST_F(ComposePresenterTest, HeaderClickSortsAscendingAndNewRowsTakeTheirPlace) {
  window.Load();
  AddMobile(L"3");
  AddMobile(L"1");
  window.OnRecipientsColumnClicked(1);
  window.OnRecipientsColumnClicked(1);
  AddMobile(L"2");
  EXPECT_EQ(Column(view.rows[kRecipientList], true), (std::vector<std::wstring>{L"1", L"2", L"3"}));
}

TEST_F(ComposePresenterTest, TheSelectionStaysOnItsRowsWhileTheListChanges) {
  const auto selected_mobiles = [this] {
    std::vector<std::wstring> mobiles;
    for (const std::size_t row : view.selected[kRecipientList]) {
      mobiles.push_back(view.rows[kRecipientList].at(row).mobile);
    }
    return mobiles;
  };
  window.Load();
  AddMobile(L"3");
  AddMobile(L"1");
  AddMobile(L"2");
  view.selected[kRecipientList] = {0, 2};
  AddMobile(L"4");
  EXPECT_EQ(selected_mobiles(), (std::vector<std::wstring>{L"3", L"2"})) << "a number added";
  window.AddPickedRecipients({Picked(L"Ann", L"0", L"A")});
  EXPECT_EQ(selected_mobiles(), (std::vector<std::wstring>{L"3", L"2"})) << "picked rows added";
  window.OnRecipientsColumnClicked(1);
  EXPECT_EQ(Column(view.rows[kRecipientList], true),
            (std::vector<std::wstring>{L"0", L"1", L"2", L"3", L"4"}));
  EXPECT_EQ(selected_mobiles(), (std::vector<std::wstring>{L"2", L"3"})) << "sorted";

  // A row the user unselected meanwhile stays unselected, and is not removed.
  view.selected[kRecipientList] = {3};
  window.OnRecipientsColumnClicked(0);
  EXPECT_EQ(selected_mobiles(), std::vector<std::wstring>{L"3"});
  window.OnRemoveClicked();
  EXPECT_EQ(Column(view.rows[kRecipientList], true),
            (std::vector<std::wstring>{L"0", L"1", L"2", L"4"}));
  EXPECT_TRUE(view.selected[kRecipientList].empty());
}

TEST_F(ComposePresenterTest, ButtonsOpenTheOtherWindowsAndClose) {
  window.Load();
  window.OnContactsClicked();
  window.OnAccountClicked();
  window.OnTemplatesClicked();
  EXPECT_EQ(windows.opened, (std::vector<std::wstring>{L"Contacts (disabled) (busy)",
                                                       L"Account (disabled)", L"Templates"}));
  EXPECT_TRUE(view.disabled.empty()) << "enabled again once the window is shown";
  EXPECT_FALSE(view.busy);
  window.OnCloseClicked();
  EXPECT_TRUE(view.closed);
}

TEST_F(ComposePresenterTest, SendMessageSubmitsAndEmptiesTheWindow) {
  window.Load();
  AddMobile(L"021 555 123");
  Type(L"Hi");
  view.SetChecked(kDelayedSendCheck, true);
  window.OnSendClicked();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(window.Recipients().Count(), 0U);
  EXPECT_EQ(view.texts[kMessageBox], L"");
  EXPECT_EQ(view.texts[kCounterLabel], L"Used : 13 chars (incl. EMail name)");
  EXPECT_EQ(view.focus, std::wstring(kMobileBox));
  EXPECT_FALSE(view.Checked(kDelayedSendCheck));
  EXPECT_THAT(recorder.calls(), testing::Contains(L"SafeMailItem.Send()"));
}

}  // namespace
}  // namespace parvel
