// The choice between Redemption and Outlook's own object model, and the same
// rows and mails on both paths.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/mail_path.h"
#include "support/call_recorder.h"
#include "support/fake_outlook.h"
#include "support/fake_outlook_model.h"
#include "support/fixed_clock.h"
#include "support/recording_compose_view.h"
#include "support/recording_diagnostics.h"
#include "support/rows.h"
#include "support/sent_body.h"
#include "support/test_locales.h"
#include "unit/workflows/book_session.h"
#include "workflows/send_workflow.h"

namespace parvel {
namespace {

using fakes::GalList;
using fakes::MailUser;
using host::MailPathKind;
using test::kDistribution;
using test::kEnvelope;
using test::Row;
using testing::ElementsAre;
using testing::HasSubstr;

constexpr wchar_t kGateway[] = L"sms@gateway.zintara.example";

// One address book for both paths: a contact folder with a list, and a
// Global Address List with a list.
fakes::FakeOutlookData Book(std::wstring version = L"12.0.0.6423") {
  return {.version = std::move(version),
          .address_lists = {{L"All Rooms", {MailUser(L"Room", L"R1", L"9")}},
                            {L"Global Address List",
                             {MailUser(L"Ann", L"E1", L"1"), MailUser(L"Bob", L"E2", std::nullopt),
                              GalList(L"Sales", L"L1",
                                      {MailUser(L"Ann", L"E1", L"1"), MailUser(L"Cy", L"E3", L""),
                                       MailUser(L"Dee", L"E4", L"4")}),
                              MailUser(L"Eve", L"E5", L"5")}}},
          .stores = {test::MailboxWithLists()}};
}

// A connected session whose Redemption can be created or not, on an Outlook
// of the book's version.
class Connected : public test::BookSession {
 public:
  Connected(bool with_redemption, const fakes::FakeOutlookData& data) {
    UseAddressLists(data.address_lists);
    OfferSafeDistLists();
    auto application = std::make_unique<fakes::FakeApplication>(recorder);
    application->make_object_model = fakes::FakeOutlookObjectModelMaker(recorder, data);
    session.Connect(std::move(application));
    UseStores(data.stores);
    session.account_settings = {.account = L"acc1", .password = L"pw", .mail_address = kGateway};
    session.user_display_name = L"Sales Desk";
    if (!with_redemption) {
      recorder.FailOn(L"CreateObject(Redemption.SafeMailItem)", L"Class not registered");
    }
    session.ChooseMailPath();
    recorder.ClearFailures();
    recorder.ClearCalls();
  }

  std::wstring SentBody() const { return test::HandedBody(recorder.calls()); }

  bool Send(std::vector<RecipientEntry> rows) {
    view.state.message = L"Hi";
    view.state.rows = std::move(rows);
    return RunSendWorkflow({.session = session,
                            .view = view,
                            .message_boxes = messages,
                            .clock = clock,
                            .locale = locale,
                            .code_page = code_page});
  }

  std::vector<RecipientEntry> Listing() {
    book.LoadGlobalAddressList(contacts);
    return contacts.rows;
  }

  fakes::RecordingComposeView view;
  fakes::FixedClock clock{{2026, 12, 5, 17, 30}};
  EnglishLocale locale;
  Windows1252CodePage code_page;

  fakes::RecordingContactList contacts;
};

TEST(MailPathChoice, RedemptionFirstThenOutlook2007ThenNone) {
  struct Case {
    bool redemption;
    std::wstring version;
    MailPathKind chosen;
    const wchar_t* logged;
  };
  const Case cases[] = {
      {true, L"11.0.0.8312", MailPathKind::Redemption, L"through Redemption"},
      {true, L"16.0.0.4266", MailPathKind::Redemption, L"through Redemption"},
      {false, L"12.0.0.6423", MailPathKind::OutlookObjectModel,
       L"through Outlook's object model (Outlook 12.0.0.6423; Redemption: "},
      {false, L"16.0.0.4266", MailPathKind::OutlookObjectModel, L"through Outlook's object model"},
      {false, L"11.0.0.8312", MailPathKind::None, L"neither Redemption nor Outlook 2007"},
      {false, L"", MailPathKind::None, L"; Outlook )"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.version));
    Connected connected(c.redemption, Book(c.version));
    EXPECT_EQ(connected.session.MailPath().Kind(), c.chosen);
    ASSERT_EQ(connected.diagnostics.reports.size(), 1U);
    EXPECT_THAT(connected.diagnostics.reports[0], HasSubstr(L"Connection: "));
    EXPECT_THAT(connected.diagnostics.reports[0], HasSubstr(L"mails and address lists"));
    EXPECT_THAT(connected.diagnostics.reports[0], HasSubstr(c.logged));
    EXPECT_TRUE(connected.recorder.calls().empty()) << "chosen once, at connection";
  }
}

TEST(MailPathChoice, AnOutlookThatCannotTellItsVersionOrOffersNoObjectModelHasNoPath) {
  fakes::CallRecorder recorder;
  fakes::RecordingDiagnostics diagnostics;
  recorder.FailOn(L"CreateObject(Redemption.SafeMailItem)", L"Class not registered");
  recorder.FailOn(L"Application.Version", L"RPC server unavailable");
  fakes::FakeRedemption redemption(recorder);
  EXPECT_EQ(host::ChooseMailPath(redemption, fakes::FakeOutlookObjectModelMaker(recorder, Book())(),
                                 diagnostics)
                ->Kind(),
            MailPathKind::None);
  EXPECT_EQ(host::ChooseMailPath(redemption, nullptr, diagnostics)->Kind(), MailPathKind::None);
  ASSERT_EQ(diagnostics.reports.size(), 2U);
  EXPECT_THAT(diagnostics.reports[0], HasSubstr(L"RPC server unavailable"));
  EXPECT_EQ(recorder.live_objects(), 0);
}

TEST(MailPathChoice, TheMajorVersionIsTheLeadingNumber) {
  EXPECT_EQ(host::MajorVersion(L"12.0.0.6423"), 12);
  EXPECT_EQ(host::MajorVersion(L"9.0.0.2416"), 9);
  EXPECT_EQ(host::MajorVersion(L"16"), 16);
  EXPECT_EQ(host::MajorVersion(L"Outlook"), 0);
  EXPECT_EQ(host::MajorVersion(L""), 0);
  EXPECT_EQ(host::MajorVersion(L"99999999999.0"), 9999);
}

TEST(MailPaths, BothPathsSendTheSameMailOutlooksPathResolvingItsRecipient) {
  Connected redemption(true, Book());
  Connected outlook(false, Book());
  const int held = outlook.recorder.live_objects();  // the session's namespace and Outlook
  const std::vector<RecipientEntry> rows = {Row(L"Unknown", L"021 555 123")};
  ASSERT_TRUE(redemption.Send(rows));
  ASSERT_TRUE(outlook.Send(rows));
  EXPECT_EQ(outlook.SentBody(), redemption.SentBody());
  EXPECT_EQ(
      outlook.recorder.calls(),
      (std::vector<std::wstring>{
          L"Application.CreateItem(0)", L"MailItem.Recipients.Add(" + std::wstring(kGateway) + L")",
          L"MailItem.Recipients.ResolveAll()",
          L"MailItem.Subject=SMS Message (Multiple recipients)",
          L"MailItem.Subject=SMS Message to 021 555 123", L"MailItem.Body=" + outlook.SentBody(),
          L"MailItem.Save()", L"MailItem.Send()", L"NameSpace.SendAndReceive(False)"}));
  EXPECT_EQ(outlook.recorder.CountStartingWith(L"CreateObject("), 0U)
      << "Redemption is not tried again per send";
  EXPECT_EQ(outlook.recorder.live_objects(), held) << "the mail item is released";
}

TEST(MailPaths, AFailingStepOfOutlooksPathKeepsTheWindowAndADeliveryFailureIsPassedOver) {
  for (const wchar_t* failing : {L"Application.CreateItem", L"MailItem.Recipients.ResolveAll",
                                 L"MailItem.Save", L"MailItem.Send"}) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(failing)));
    Connected outlook(false, Book());
    outlook.recorder.FailOn(failing, L"The operation failed.");
    EXPECT_FALSE(outlook.Send({Row(L"Unknown", L"021 555 123")}));
    ASSERT_EQ(outlook.messages.shown.size(), 1U);
    EXPECT_EQ(outlook.messages.shown[0].title, L"Send Failed");
    EXPECT_EQ(outlook.view.state.rows.size(), 1U);
    EXPECT_EQ(outlook.view.state.message, L"Hi");
    EXPECT_EQ(outlook.recorder.CountStartingWith(L"NameSpace.SendAndReceive"), 0U);
  }
  Connected outlook(false, Book());
  outlook.recorder.FailOn(L"NameSpace.SendAndReceive", L"Outlook is offline.");
  outlook.diagnostics.reports.clear();
  EXPECT_TRUE(outlook.Send({Row(L"Unknown", L"021 555 123")}));
  EXPECT_TRUE(outlook.messages.shown.empty());
  ASSERT_EQ(outlook.diagnostics.reports.size(), 1U);
  EXPECT_THAT(outlook.diagnostics.reports[0], HasSubstr(L"Send: SendAndReceive: "));
  EXPECT_TRUE(outlook.view.state.rows.empty());
}

TEST(MailPaths, WithNeitherPathTheSendIsRefusedAsWithoutExchangeAndNoListIsOffered) {
  Connected none(false, Book(L"11.0.0.8312"));
  EXPECT_FALSE(none.Send({Row(L"Unknown", L"021 555 123")}));
  ASSERT_EQ(none.messages.shown.size(), 1U);
  EXPECT_EQ(none.messages.shown[0].title, L"Outlook without Exchange");
  EXPECT_EQ(none.view.state.rows.size(), 1U);
  EXPECT_EQ(none.view.state.message, L"Hi");
  EXPECT_FALSE(none.book.HasGlobalAddressList());
  EXPECT_TRUE(none.Listing().empty());
  EXPECT_TRUE(none.Expand(Row(L"Sales", L"Contacts", kDistribution, L"D1")).empty());
  EXPECT_EQ(none.recorder.CountStartingWith(L"CreateObject("), 0U)
      << "nothing of either path is tried again";
  EXPECT_EQ(none.recorder.CountStartingWith(L"Application."), 0U);
  EXPECT_THAT(none.diagnostics.reports.back(), HasSubstr(L"the members of the list Sales"));
}

TEST(MailPaths, BothPathsListAndExpandTheSameRowsInTheSameOrder) {
  Connected redemption(true, Book());
  Connected outlook(false, Book());
  EXPECT_TRUE(redemption.book.HasGlobalAddressList());
  EXPECT_TRUE(outlook.book.HasGlobalAddressList());
  const auto listed = redemption.Listing();
  EXPECT_THAT(listed, ElementsAre(Row(L"Ann", L"1", kEnvelope, L"E1"),
                                  Row(L"Sales", L"Global Address List", kDistribution, L"L1"),
                                  Row(L"Eve", L"5", kEnvelope, L"E5")));
  EXPECT_EQ(outlook.Listing(), listed);

  const auto sales = Row(L"Sales", L"Global Address List", kDistribution, L"L1");
  EXPECT_THAT(redemption.Expand(sales), ElementsAre(Row(L"Ann", L"1", kEnvelope, L"E1"),
                                                    Row(L"Dee", L"4", kEnvelope, L"E4")));
  EXPECT_EQ(outlook.Expand(sales), redemption.Expand(sales));

  const auto sales_list = Row(L"Sales", L"Contacts", kDistribution, L"D1");
  const auto members = redemption.Expand(sales_list);
  EXPECT_THAT(members, ElementsAre(Row(L"Adams,Ann", L"021 1", kEnvelope, L"0A01"),
                                   Row(L"Cole, Cy", L"021 3", kEnvelope, L"0A03")));
  EXPECT_EQ(outlook.Expand(sales_list), members);
  EXPECT_EQ(outlook.recorder.CountStartingWith(L"DistListItem(D1).GetMember("), 7U)
      << "each member once, counting from 1";
  EXPECT_EQ(outlook.recorder.CountStartingWith(L"CreateObject("), 0U);
}

// Over 15,000 bytes of members Outlook keeps them in a stream, not in the
// property Redemption reads.
TEST(MailPaths, OnRedemptionsPathAListWithoutItsMembersPropertyIsReadThroughOutlook2007) {
  const auto sales = Row(L"Sales", L"Contacts", kDistribution, L"D1");
  Connected outlook2007(true, Book());
  Connected outlook2003(true, Book(L"11.0.8169"));
  for (Connected* connected : {&outlook2007, &outlook2003}) {
    connected->recorder.FailOn(L"SafeDistList.Fields(2153058562)", L"Type mismatch.");
  }
  EXPECT_THAT(outlook2007.Expand(sales),
              ElementsAre(Row(L"Adams,Ann", L"021 1", kEnvelope, L"0A01"),
                          Row(L"Cole, Cy", L"021 3", kEnvelope, L"0A03")));
  EXPECT_TRUE(outlook2003.Expand(sales).empty());
  EXPECT_THAT(outlook2003.diagnostics.reports.back(), HasSubstr(L"the members of the list Sales"));
}

TEST(MailPaths, OnOutlooksPathAMemberThatFailsIsReportedAndTheOthersStay) {
  Connected outlook(false, Book());
  outlook.recorder.FailOn(L"DistListItem(D1).GetMember(1).AddressEntry.GetContact",
                          L"The member cannot be read.");
  EXPECT_THAT(outlook.Expand(Row(L"Sales", L"Contacts", kDistribution, L"D1")),
              ElementsAre(Row(L"Cole, Cy", L"021 3", kEnvelope, L"0A03")));
  outlook.recorder.FailOn(L"DistListItem(D1).MemberCount", L"The list cannot be opened.");
  EXPECT_TRUE(outlook.Expand(Row(L"Sales", L"Contacts", kDistribution, L"D1")).empty());
  EXPECT_THAT(outlook.diagnostics.reports,
              ElementsAre(HasSubstr(L"Connection: "), HasSubstr(L"a member of the list Sales"),
                          HasSubstr(L"the members of the list Sales")));
}

}  // namespace
}  // namespace parvel
