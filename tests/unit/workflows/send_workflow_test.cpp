#include "workflows/send_workflow.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dialogs/compose_controls.h"
#include "support/call_recorder.h"
#include "support/fake_outlook.h"
#include "support/fake_redemption.h"
#include "support/fixed_clock.h"
#include "support/recorded_session.h"
#include "support/recording_compose_view.h"
#include "support/recording_diagnostics.h"
#include "support/recording_message_boxes.h"
#include "support/rows.h"
#include "support/sent_body.h"
#include "support/test_locales.h"

namespace parvel {
namespace {

using test::kDistribution;
using test::Row;

using fakes::ComposeState;
using fakes::ShownMessage;

constexpr wchar_t kGateway[] = L"sms@gateway.zintara.example";
constexpr wchar_t kMultiple[] = L"SMS Message (Multiple recipients)";

class SendWorkflowTest : public testing::Test, protected fakes::RecordedSession {
 protected:
  SendWorkflowTest() {
    session.account_settings = {.account = L"acc1", .password = L"pw:=x", .mail_address = kGateway};
    session.user_display_name = L"Sales Desk";
    session.Connect(std::make_unique<fakes::FakeApplication>(recorder));
    view.state.message = L"Hi";
    view.state.mobile = L"022";
    view.state.rows = {Row(L"Unknown", L"021 555 123")};
    view.state.delayed_send = LocalDateTime{2026, 12, 5, 17, 30};
    ChooseMailPath(session, recorder);
  }

  // As the connection does; its probe and report are not the send's.
  void ChooseMailPath(Session& chosen_for, fakes::CallRecorder& calls) {
    chosen_for.ChooseMailPath();
    calls.ClearCalls();
    diagnostics.reports.clear();
  }

  void Click() { ClickIn(session, code_page); }

  // A click with the add-in on another session, or on a system of another
  // code page.
  void ClickIn(Session& in, const CodePage& system_code_page) {
    RunSendWorkflow({.session = in,
                     .view = view,
                     .message_boxes = boxes,
                     .clock = clock,
                     .locale = locale,
                     .code_page = system_code_page});
  }

  // A click on the window filled again after a send emptied it.
  void ClickAgainWith(std::vector<RecipientEntry> rows) {
    recorder.ClearCalls();
    view.state.message = L"Hi";
    view.state.rows = std::move(rows);
    Click();
  }

  // Clicks with a session of the same settings whose host logs to other.
  void ClickWithHostOf(fakes::CallRecorder& other) {
    Session host_of_other(std::make_unique<fakes::FakeRedemption>(other), diagnostics);
    host_of_other.account_settings = session.account_settings;
    host_of_other.user_display_name = session.user_display_name;
    host_of_other.Connect(std::make_unique<fakes::FakeApplication>(other));
    ChooseMailPath(host_of_other, other);
    ClickIn(host_of_other, code_page);
  }

  std::wstring SentBody() const { return test::HandedBody(recorder.calls()); }
  test::OpenedBody Sent() const { return test::OpenSentBody(SentBody()); }

  // Every host call of a send that goes through, in order; each send wraps
  // the next mail item the application makes.
  std::vector<std::wstring> FullSend(const std::vector<std::wstring>& subjects,
                                     int mail_item = 1) const {
    std::vector<std::wstring> calls = {
        L"CreateObject(Redemption.SafeMailItem)",
        L"Application.CreateItem(0)",
        L"SafeMailItem.Item=MailItem " + std::to_wstring(mail_item),
        L"SafeMailItem.To=" + std::wstring(kGateway),
        L"SafeMailItem.Recipients.Add(" + std::wstring(kGateway) + L")",
    };
    for (const std::wstring& subject : subjects)
      calls.push_back(L"SafeMailItem.Subject=" + subject);
    calls.insert(calls.end(), {L"SafeMailItem.Body=" + SentBody(), L"SafeMailItem.Save()",
                               L"SafeMailItem.Send()", L"CreateObject(Redemption.MAPIUtils)",
                               L"MAPIUtils.DeliverNow()", L"MAPIUtils.Cleanup()"});
    return calls;
  }

  // The window after a send: emptied, focus in the mobile box, unticked.
  ComposeState Cleared(ComposeState state) const {
    state.rows.clear();
    state.message.clear();
    state.mobile.clear();
    state.focus = compose_controls::kMobileBox;
    state.delayed_send_ticked = false;
    return state;
  }

  void ExpectOnlyMessage(const std::wstring& title, const std::wstring& text) {
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0], (ShownMessage{title, text, MessageIcon::Exclamation}));
  }

  fakes::RecordingComposeView view;
  fakes::RecordingMessageBoxes boxes;
  fakes::FixedClock clock{{2026, 12, 5, 17, 30}};
  EnglishLocale locale;
  Windows1252CodePage code_page;
};

TEST_F(SendWorkflowTest, OneRecipientIsSubmittedCallByCallAndTheWindowCleared) {
  const ComposeState before = view.state;
  Click();
  EXPECT_EQ(recorder.calls(), FullSend({kMultiple, L"SMS Message to 021 555 123"}));
  const test::OpenedBody body = Sent();
  EXPECT_EQ(body.visible, L"To: 021 555 123 (Unknown), \r\nMessage: Hi\r\n");
  EXPECT_EQ(body.section,
            L"SMS-AccountId:=acc1\r\nSMS-SecurityKey:=pw:=x\r\nSMS-Version:=1.0.26\r\n"
            L"SMS-BPID:=0\r\nSMS-Recp:=021 555 123\r\nSMS-Recn:=Unknown\r\nSMS-Body:=Hi\r\n"
            L"SMS-Name:=Sales Desk\r\n");
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(view.state, Cleared(before));
  EXPECT_EQ(view.state.delayed_send, (LocalDateTime{2026, 12, 5, 17, 30}));
  EXPECT_EQ(recorder.live_objects(), 0);
}

TEST_F(SendWorkflowTest, SubjectIsSetAgainOnlyForExactlyOneEnvelopeRow) {
  view.state.rows = {Row(L"A", L"a"), Row(L"B", L"b")};
  Click();
  EXPECT_EQ(recorder.calls(), FullSend({kMultiple}));
  EXPECT_EQ(Sent().visible, L"To: a (A), b (B), \r\nMessage: Hi\r\n");

  ClickAgainWith({Row(L"Team", L"Global Address List", kDistribution), Row(L"Kim", L"UNKNOWN")});
  EXPECT_EQ(recorder.calls(), FullSend({kMultiple, L"SMS Message to Kim"}, 2));

  // A list of distribution rows only passes the recipients check and names nobody.
  ClickAgainWith({Row(L"Team", L"Global Address List", kDistribution)});
  EXPECT_EQ(recorder.calls(), FullSend({kMultiple}, 3));
  EXPECT_EQ(Sent().section.find(L"SMS-Recp"), std::wstring::npos);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SendWorkflowTest, DelayedSendTravelsOnlyWhenTicked) {
  view.state.delayed_send_ticked = true;
  view.state.delayed_send = LocalDateTime{2026, 12, 6, 9, 5};
  Click();
  const std::wstring section = Sent().section;
  const auto delayed = section.find(L"SMS-BPID:=0\r\nSMS-DelayedSend:=06 Dec, 2026 09:05\r\n");
  EXPECT_NE(delayed, std::wstring::npos);
  EXPECT_LT(delayed, section.find(L"SMS-Recp:="));
  EXPECT_EQ(view.state.delayed_send, (LocalDateTime{2026, 12, 6, 9, 5}));
  EXPECT_FALSE(view.state.delayed_send_ticked);

  view.state.delayed_send = std::nullopt;
  ClickAgainWith({Row(L"Unknown", L"021")});
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(Sent().section.find(L"SMS-DelayedSend"), std::wstring::npos);
}

TEST_F(SendWorkflowTest, DelayedSendTimeIsComparedByWholeMinutes) {
  struct Case {
    LocalDateTime now;
    LocalDateTime when;
    bool passes;
  };
  const Case cases[] = {
      {{2026, 12, 5, 17, 30}, {2026, 12, 5, 17, 30}, true},   // the present minute
      {{2026, 12, 5, 17, 30}, {2026, 12, 5, 17, 29}, false},  // one minute earlier
      {{2026, 12, 6, 0, 0}, {2026, 12, 5, 23, 59}, false},    // across midnight
      {{2026, 12, 5, 23, 59}, {2026, 12, 6, 0, 0}, true},
      {{2027, 1, 1, 0, 0}, {2026, 12, 31, 23, 59}, false},  // across the year
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(MinuteNumber(c.when)));
    boxes.shown.clear();
    clock.now = c.now;
    view.state.delayed_send_ticked = true;
    view.state.delayed_send = c.when;
    ClickAgainWith({Row(L"Unknown", L"021")});
    if (c.passes) {
      EXPECT_TRUE(boxes.shown.empty());
      EXPECT_FALSE(SentBody().empty());
    } else {
      ExpectOnlyMessage(L"Bad Delayed Send",
                        L"If you use delayed send, the time must be in the future...");
      EXPECT_TRUE(recorder.calls().empty());
    }
  }
}

TEST_F(SendWorkflowTest, ChecksRunInOrderAndStopAtTheFirstFailure) {
  session.account_settings.account.clear();
  session.account_settings.mail_address.clear();
  view.state.message.clear();
  view.state.rows.clear();
  view.state.delayed_send_ticked = true;
  view.state.delayed_send = std::nullopt;

  const wchar_t* const no_account =
      L"There is no account information. Please use the account button to complete the "
      L"information required and try again...";
  struct Step {
    std::function<void()> mend_previous;
    const wchar_t* title;
    const wchar_t* text;
    std::wstring_view focus;
  };
  const Step steps[] = {
      {[] {}, L"No Message", L"You must enter the message text...", compose_controls::kMessageBox},
      {[&] { view.state.message = L"Hi"; }, L"No Recipients",
       L"There are no recipients to send to...", compose_controls::kMobileBox},
      {[&] { view.state.rows = {Row(L"Unknown", L"021")}; }, L"No Account", no_account,
       compose_controls::kAccountButton},
      // The focus is left alone when the account button is hidden.
      {[&] { view.state.account_button_shown = false; }, L"No Account", no_account, L""},
      {[&] { session.account_settings.account = L"acc1"; }, L"No Mail Address",
       L"There is no mail address to send to. You need help from the system suppliers and we "
       L"cannot procede...",
       L""},
      {[&] { session.account_settings.mail_address = kGateway; }, L"Bad Delayed Send",
       L"If you use delayed send you must specify a valid date and time...", L""},
      {[&] {
         view.state.delayed_send = LocalDateTime{2027, 2, 31, 10, 0};
       },
       L"Bad Delayed Send", L"If you use delayed send you must specify a valid date and time...",
       L""},
      {[&] {
         view.state.delayed_send = LocalDateTime{2026, 12, 4, 10, 0};
       },
       L"Bad Delayed Send", L"If you use delayed send, the time must be in the future...", L""},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(step.title)));
    step.mend_previous();
    view.state.focus.clear();
    boxes.shown.clear();
    ComposeState expected = view.state;
    expected.focus = step.focus;
    Click();
    ExpectOnlyMessage(step.title, step.text);
    EXPECT_EQ(view.state, expected);
    EXPECT_TRUE(recorder.calls().empty());
    EXPECT_EQ(recorder.live_objects(), 0);
  }
}

TEST_F(SendWorkflowTest, OnlyAnExactlyEmptyMessageIsRefused) {
  view.state.message = L"   ";
  Click();
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(Sent().visible, L"To: 021 555 123 (Unknown), \r\nMessage:    \r\n");
}

TEST_F(SendWorkflowTest, WithoutRedemptionTheUserIsToldAndTheWindowKept) {
  recorder.FailOn(L"CreateObject(Redemption.SafeMailItem)", L"Class not registered");
  const ComposeState before = view.state;
  Click();
  ExpectOnlyMessage(L"Outlook without Exchange",
                    L"You do not appear to be using Outlook with Microsoft Exchange. This version "
                    L"is designed to be used with Outlook and Exchange only. \r\n\r\nYou will need "
                    L"to download and install the stand-alone version if you you wish to send SMS "
                    L"messages.");
  EXPECT_EQ(recorder.calls(), std::vector<std::wstring>{L"CreateObject(Redemption.SafeMailItem)"});
  EXPECT_EQ(view.state, before);
}

TEST_F(SendWorkflowTest, DeliverNowFailuresArePassedOver) {
  struct Case {
    const wchar_t* failing;
    const wchar_t* report;  // for the administrator
    std::size_t left_out;   // calls of a full send not made
  };
  const Case cases[] = {{L"CreateObject(Redemption.MAPIUtils)", L"MAPIUtils", 2},
                        {L"MAPIUtils.DeliverNow", L"DeliverNow", 0},
                        {L"MAPIUtils.Cleanup", L"Cleanup", 0}};
  const ComposeState before = view.state;
  Click();
  const std::vector<std::wstring> full = recorder.calls();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.failing)));
    fakes::CallRecorder failing;
    failing.FailOn(c.failing, L"MAPI_E_NETWORK_ERROR");
    view.state = before;
    diagnostics.reports.clear();
    ClickWithHostOf(failing);
    ASSERT_EQ(diagnostics.reports.size(), 1U);
    EXPECT_EQ(diagnostics.reports[0].substr(0, diagnostics.reports[0].find(L": 0x")),
              L"Send: " + std::wstring(c.report));
    EXPECT_NE(diagnostics.reports[0].find(L"MAPI_E_NETWORK_ERROR"), std::wstring::npos);
    EXPECT_EQ(failing.calls(),
              std::vector<std::wstring>(full.begin(),
                                        full.end() - static_cast<std::ptrdiff_t>(c.left_out)));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(view.state, Cleared(before));
    EXPECT_EQ(failing.live_objects(), 0);
  }
}

// The question leaves the picker, the templates window and Outlook usable.
TEST_F(SendWorkflowTest, WhatOtherWindowsPutInWhileTheQuestionIsOpenIsKeptUnsent) {
  const RecipientEntry picked = Row(L"Bob", L"021 2");
  view.state.message = L"Caf\u00E9";
  boxes.while_asked = [&] { view.state.rows.push_back(picked); };
  Click();
  EXPECT_EQ(Sent().visible, L"To: 021 555 123 (Unknown), \r\nMessage: Cafe\r\n");
  EXPECT_EQ(view.state.rows, std::vector{picked});
  EXPECT_EQ(view.state.message, L"");

  recorder.ClearCalls();
  view.state.message = L"Caf\u00E9";
  view.state.rows.push_back(Row(L"Ann", L"021 1"));
  boxes.while_asked = [&] { view.state.message = L"A template"; };
  Click();
  EXPECT_EQ(Sent().visible, L"To: 021 2 (Bob), 021 1 (Ann), \r\nMessage: Cafe\r\n");
  EXPECT_TRUE(view.state.rows.empty());
  EXPECT_EQ(view.state.message, L"A template");
}

TEST_F(SendWorkflowTest, AnOfferOverTheAdvisedLengthSaysSo) {
  // 10 + 1 + 155 characters once "ä" becomes "a": over 160 with the name.
  view.state.message = L"\u00E4" + std::wstring(154, L'x');
  Click();
  ASSERT_EQ(boxes.shown.size(), 1U);
  EXPECT_NE(boxes.shown[0].text.find(L"\r\n\r\nIt is then 166 characters long with your name, "
                                     L"more than 160.\r\n\r\nSend it like this?"),
            std::wstring::npos)
      << testing::PrintToString(boxes.shown[0].text);
}

TEST_F(SendWorkflowTest, ANumberBeyondTheCodePageIsRefusedByItsRowAndNamesNeverAre) {
  // A name is sent in its plain form, or as "Unknown"; a number is no label:
  // it is refused, naming its row, never rewritten.
  view.state.rows = {Row(L"\u738B\u4F1F", L"1"), Row(L"Jos\u00E9", L"021 \u00FC")};
  const ComposeState before = view.state;
  Click();
  ExpectOnlyMessage(L"Unsupported Characters",
                    L"These characters cannot be sent through the SMS gateway:\r\n"
                    L"\r\nRecipient 2's number \"021 \u00FC\": \u00FC\r\n"
                    L"\r\nNothing has been sent. Please replace or remove these characters and "
                    L"try again...");
  EXPECT_TRUE(recorder.calls().empty());
  EXPECT_EQ(view.state, before);
}

TEST_F(SendWorkflowTest, ADoubleByteCodePageIsJudgedCharacterByCharacter) {
  // U+4E2D (0x81 0x2D) passes every key, U+4EE9 (0x81 0xE9) does not and has
  // no plain form; "é" (0xE9) has one.
  view.state.message = L"\u4E2D \u4EE9 \u00E9";
  ClickIn(session, fakes::DoubleByteCodePage());
  ExpectOnlyMessage(L"Unsupported Characters",
                    L"These characters cannot be sent through the SMS gateway:\r\n"
                    L"\r\nThe message: \u4EE9\r\n"
                    L"\r\nNothing has been sent. Please replace or remove these characters and "
                    L"try again...");
  EXPECT_TRUE(recorder.calls().empty());

  // What the system's code page carries is enciphered in it, not in Windows-1252.
  boxes.shown.clear();
  view.state.message = L"\u4E2D";
  ClickIn(session, fakes::DoubleByteCodePage());
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_NE(test::OpenSentBody(SentBody(), fakes::DoubleByteCodePage())
                .section.find(L"SMS-Body:=\u4E2D\r\n"),
            std::wstring::npos);
}

TEST_F(SendWorkflowTest, HostFailuresWhileSubmittingAreReportedAndTheWindowKept) {
  const ComposeState before = view.state;
  Click();
  const std::vector<std::wstring> full = recorder.calls();
  const wchar_t* const steps[] = {L"Application.CreateItem", L"SafeMailItem.Item",
                                  L"SafeMailItem.To",        L"SafeMailItem.Recipients.Add",
                                  L"SafeMailItem.Subject",   L"SafeMailItem.Body",
                                  L"SafeMailItem.Save",      L"SafeMailItem.Send"};
  for (const wchar_t* step : steps) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(step)));
    fakes::CallRecorder failing;
    failing.FailOn(step, std::wstring(L"The operation failed: ") + step + L".\r\n");
    view.state = before;
    boxes.shown.clear();
    ClickWithHostOf(failing);
    ExpectOnlyMessage(L"Send Failed", std::wstring(L"Outlook could not submit the SMS message:\r\n"
                                                   L"\r\nThe operation failed: ") +
                                          step +
                                          L".\r\n\r\nYour recipients and message have been kept "
                                          L"so that you can try again...");
    // The host saw the calls of a full send up to the failing one, and nothing after it.
    const std::vector<std::wstring>& calls = failing.calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_TRUE(calls.back().starts_with(step));
    EXPECT_EQ(calls, std::vector<std::wstring>(
                         full.begin(), full.begin() + static_cast<std::ptrdiff_t>(calls.size())));
    EXPECT_EQ(view.state, before);
    EXPECT_EQ(failing.live_objects(), 0);
  }
}

TEST_F(SendWorkflowTest, AUserNameUnreadAtLoadIsReadAgainOrTheSendRefused) {
  // "Outlook Error" at load left the name unknown and no namespace held.
  session.user_display_name.clear();
  auto& application = static_cast<fakes::FakeApplication&>(session.Host());
  const ComposeState before = view.state;
  const std::wstring tail =
      L"\r\n\r\nNothing has been sent. Your recipients and message have been kept so that you "
      L"can try again...";
  const std::wstring head =
      L"Outlook cannot tell who you are, and the SMS gateway needs your Outlook user name:\r\n"
      L"\r\n";

  recorder.FailOn(L"Application.GetNamespace", L"No profile.");
  Click();
  ExpectOnlyMessage(L"Outlook Error", head + L"No profile." + tail);
  EXPECT_EQ(recorder.calls(), std::vector<std::wstring>{L"Application.GetNamespace(MAPI)"});
  EXPECT_EQ(view.state, before);
  EXPECT_EQ(session.HeldNamespace(), nullptr);

  // Outlook answers again: the name travels, and the namespace is held.
  recorder.ClearFailures();
  recorder.ClearCalls();
  boxes.shown.clear();
  application.user_name = L"Kim Lee";
  Click();
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(session.user_display_name, L"Kim Lee");
  EXPECT_NE(session.HeldNamespace(), nullptr);
  EXPECT_TRUE(Sent().section.ends_with(L"SMS-Name:=Kim Lee\r\n"));

  // A held namespace that names nobody is no better than none.
  session.user_display_name.clear();
  session.HoldNamespace(std::make_unique<fakes::FakeNamespace>(recorder, L""));
  view.state = before;
  recorder.ClearCalls();
  Click();
  ExpectOnlyMessage(L"Outlook Error", head + L"Outlook gave an empty user name." + tail);
  EXPECT_EQ(recorder.calls(), std::vector<std::wstring>{L"Namespace.CurrentUser.Name"});
  EXPECT_EQ(view.state, before);
}

TEST_F(SendWorkflowTest, ADisconnectedHostIsASendFailure) {
  session.Connect(nullptr);
  const ComposeState before = view.state;
  Click();
  ASSERT_EQ(boxes.shown.size(), 1U);
  EXPECT_EQ(boxes.shown[0].title, L"Send Failed");
  EXPECT_NE(boxes.shown[0].text.find(L"Outlook has disconnected the add-in."), std::wstring::npos);
  EXPECT_EQ(recorder.calls(), std::vector<std::wstring>{L"CreateObject(Redemption.SafeMailItem)"})
      << "without a host the path is Redemption's, chosen at the send";
  EXPECT_EQ(recorder.live_objects(), 0);
  EXPECT_EQ(view.state, before);
}

}  // namespace
}  // namespace parvel
