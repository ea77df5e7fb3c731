// The host disconnects the add-in while one of its handlers lets events run:
// the host objects stay until the last handler ends, and the handler stops
// right after the turn, before it reaches for the host again.

#include "workflows/handler_turns.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/fake_address_book.h"
#include "support/fake_outlook.h"
#include "support/recorded_session.h"
#include "support/recording_contact_list.h"
#include "support/recording_message_boxes.h"
#include "workflows/address_book.h"

namespace parvel {
namespace {

using fakes::ContactFolder;
using fakes::MailFolder;
using fakes::MailUser;

// Message boxes during which something happens, as a modal loop lets it.
class EventfulMessageBoxes final : public MessageBoxes {
 public:
  void Show(std::wstring_view title, std::wstring_view text, MessageIcon icon) override {
    shown.Show(title, text, icon);
    if (meanwhile) meanwhile();
  }
  bool Ask(std::wstring_view title, std::wstring_view text) override {
    const bool yes = shown.Ask(title, text);
    if (meanwhile) meanwhile();
    return yes;
  }
  fakes::RecordingMessageBoxes shown;
  std::function<void()> meanwhile;
};

class HandlerTurnsTest : public testing::Test, protected fakes::RecordedSession {
 protected:
  HandlerTurnsTest() {
    session.Connect(std::make_unique<fakes::FakeApplication>(recorder));
    UseStores({MailFolder(L"Mailbox", {ContactFolder(L"Contacts"), MailFolder(L"Inbox")}),
               MailFolder(L"Archive", {ContactFolder(L"Old")})});
  }

  // The host disconnects the add-in now; the calls made so far are noted.
  void Disconnect() {
    session.ReleaseHostObjects();
    calls_at_disconnection = recorder.calls().size();
  }

  fakes::ScriptedPendingEvents pump;
  EventfulMessageBoxes boxes;
  StoppingPendingEvents pending_events{pump, session};
  StoppingMessageBoxes message_boxes{boxes, session};
  AddressBook book{
      {.session = session, .message_boxes = message_boxes, .pending_events = pending_events}};
  std::size_t calls_at_disconnection = 0;
};

TEST_F(HandlerTurnsTest, HostObjectsStayUntilTheLastHandlerEnds) {
  session.StartContactFolders();
  {
    const Session::Handler outer(session);
    {
      const Session::Handler inner(session);
      session.ReleaseHostObjects();
      EXPECT_TRUE(session.Disconnected());
      EXPECT_THROW(session.Host(), host::HostError) << "no new work with the host";
      EXPECT_THROW(session.StopIfDisconnected(), host::HostDisconnected);
    }
    EXPECT_NE(session.ContactFolders(), nullptr) << "the outer handler may still hold it";
    EXPECT_NE(session.HeldNamespace(), nullptr);
  }
  EXPECT_EQ(session.ContactFolders(), nullptr);
  EXPECT_EQ(session.HeldNamespace(), nullptr);
  EXPECT_EQ(recorder.live_objects(), 0);

  session.ReleaseHostObjects();
  EXPECT_TRUE(session.Disconnected()) << "a second release changes nothing";
}

TEST_F(HandlerTurnsTest, TheGlobalAddressListListingStopsAfterItsTurn) {
  UseAddressLists(
      {{L"Global Address List", {MailUser(L"Ann", L"E1", L"1"), MailUser(L"Bob", L"E2", L"2")}}});
  const Session::Handler handler(session);
  pump.on_run = [this](int run) {
    if (run == 2) Disconnect();
  };
  fakes::RecordingContactList contacts;
  EXPECT_THROW(book.LoadGlobalAddressList(contacts), host::HostDisconnected);
  EXPECT_EQ(recorder.calls().size(), calls_at_disconnection);
}

TEST_F(HandlerTurnsTest, AQuestionStopsItsHandlerWhenTheHostWentMeanwhile) {
  // The send's "Replace Characters": a Yes given after the add-in was
  // switched off must not go on to the host.
  const Session::Handler handler(session);
  boxes.meanwhile = [this] { Disconnect(); };
  EXPECT_THROW(message_boxes.Ask(L"Replace Characters", L"Send it like this?"),
               host::HostDisconnected);
}

}  // namespace
}  // namespace parvel
