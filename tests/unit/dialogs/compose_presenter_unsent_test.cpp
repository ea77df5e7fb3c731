// The compose window's unsent work: kept when the window goes away with the
// host, brought back at the next load, forgotten once sent or cleared.

#include <gtest/gtest.h>

#include <string>

#include "dialogs/compose_presenter.h"
#include "unit/dialogs/compose_fixture.h"
#include "workflows/unsent_work.h"

namespace parvel {
namespace {

using namespace compose_controls;

using compose_test::kCaption;

const std::wstring kRestoredCaption = kCaption + L" - Restored, not sent yet";

class UnsentWorkWindowTest : public compose_test::ComposeFixture {
 protected:
  // A window as one run of Outlook opens it: its own view and presenter.
  struct Window {
    explicit Window(UnsentWorkWindowTest& test) : presenter(test.Ports(view)) { presenter.Load(); }
    void Type(const std::wstring& message) {
      view.texts[kMessageBox] = message;
      presenter.OnMessageChanged();
    }
    void AddMobile(const std::wstring& mobile) {
      view.texts[kMobileBox] = mobile;
      presenter.OnAddMobileClicked();
    }
    fakes::RecordingWindowView view;
    ComposePresenter presenter;
  };

  // A window with a message, two rows and a delayed send, gone with Outlook.
  void LeaveWorkBehind(const std::wstring& message = L"Kia ora T\u0101mati\r\nsee you at 5",
                       const std::wstring& second_mobile = L"\u0661\u0662\u0663") {
    Window window(*this);
    window.AddMobile(L"021 555 123");
    window.AddMobile(second_mobile);
    window.Type(message);
    window.view.SetChecked(kDelayedSendCheck, true);
    window.view.SetDateTime(kDelayedSendTime, {2027, 1, 2, 9, 30});
    window.presenter.KeepUnsentWork();
  }

  bool Kept() const { return registry.KeyExists(kHkeyCurrentUser, kUnsentWorkKeyPath); }
};

TEST_F(UnsentWorkWindowTest, TheNextLoadBringsTheWorkBackAndSaysSo) {
  LeaveWorkBehind();
  Window next(*this);
  EXPECT_EQ(next.view.texts[kMessageBox], L"Kia ora T\u0101mati\r\nsee you at 5");
  ASSERT_EQ(next.presenter.Recipients().Count(), 2U);
  EXPECT_EQ(next.presenter.Recipients().Rows()[1].mobile, L"\u0661\u0662\u0663");
  EXPECT_EQ(next.presenter.Recipients().Rows()[1].key, L"x\u0661\u0662\u06632");
  EXPECT_TRUE(next.view.Checked(kDelayedSendCheck));
  EXPECT_EQ(next.view.dates[kDelayedSendTime], (LocalDateTime{2027, 1, 2, 9, 30}));
  EXPECT_EQ(next.view.caption, kRestoredCaption);
  EXPECT_EQ(next.view.texts.count(kCounterLabel), 1U)
      << "the counter counts the message brought back";
  EXPECT_TRUE(Kept()) << "kept until sent or cleared: Outlook may close again first";

  next.AddMobile(L"5");
  next.presenter.KeepUnsentWork();
  Window third(*this);
  EXPECT_EQ(third.presenter.Recipients().Count(), 3U) << "the work as it was last";
}

TEST_F(UnsentWorkWindowTest, OnlyASendThatSucceedsForgetsTheWorkBroughtBack) {
  LeaveWorkBehind(L"See you at 5", L"021 555 456");
  Window next(*this);
  next.view.SetChecked(kDelayedSendCheck, false);
  recorder.FailOn(L"SafeMailItem.Send", L"The gateway mailbox is full.");
  next.presenter.OnSendClicked();
  ASSERT_EQ(messages.shown.size(), 1U);
  EXPECT_TRUE(Kept());
  EXPECT_EQ(next.view.caption, kRestoredCaption);

  recorder.ClearFailures();
  messages.shown.clear();
  next.presenter.OnSendClicked();
  ASSERT_TRUE(messages.shown.empty());
  EXPECT_FALSE(Kept());
  EXPECT_EQ(next.view.caption, kCaption);
  next.presenter.KeepUnsentWork();
  EXPECT_FALSE(Kept()) << "the window is empty after the send";
}

TEST_F(UnsentWorkWindowTest, TheUsersClosingOrClearingForgetsIt) {
  LeaveWorkBehind();
  {
    Window next(*this);
    next.presenter.OnCloseClicked();
    EXPECT_TRUE(next.view.closed);
  }
  EXPECT_FALSE(Kept()) << "closed by the user: the work is lost, as the window says";

  LeaveWorkBehind();
  Window next(*this);
  next.Type(L"");
  EXPECT_TRUE(Kept()) << "rows are left";
  next.view.selected[kRecipientList] = {0, 1};
  next.presenter.OnRemoveClicked();
  EXPECT_FALSE(Kept());
  EXPECT_EQ(next.view.caption, kCaption);
}

TEST_F(UnsentWorkWindowTest, WorkThatCannotBeReadIsForgottenAndReported) {
  LeaveWorkBehind();
  registry.Put(kHkeyCurrentUser, kUnsentWorkKeyPath, L"Recipient2",
               {.type = kRegSz, .bytes = std::string("half a row") + '\0'});
  Window next(*this);
  EXPECT_EQ(next.presenter.Recipients().Count(), 0U);
  EXPECT_EQ(next.view.texts.count(kMessageBox), 0U);
  EXPECT_EQ(next.view.caption, kCaption);
  EXPECT_FALSE(Kept());
  ASSERT_EQ(diagnostics.reports.size(), 1U);
  EXPECT_EQ(diagnostics.reports[0].rfind(L"Unsent work: ", 0), 0U);
  EXPECT_TRUE(messages.shown.empty()) << "the user is not troubled with it";
}

}  // namespace
}  // namespace parvel
