#include "host/session.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "support/call_recorder.h"
#include "support/fake_address_book.h"
#include "support/fake_outlook.h"
#include "support/fake_redemption.h"

namespace parvel {
namespace {

TEST(Session, HandsOutTheHostOnlyWhileConnected) {
  fakes::CallRecorder recorder;
  Session session(std::make_unique<fakes::FakeRedemption>(recorder));
  EXPECT_THROW(session.Host(), host::HostError);

  session.Connect(std::make_unique<fakes::FakeApplication>(recorder));
  EXPECT_EQ(session.Namespace().CurrentUserName(), L"Sales Desk");
  EXPECT_EQ(recorder.live_objects(), 1);

  session.HoldNamespace(nullptr);
  session.Connect(nullptr);
  EXPECT_THROW(session.Host(), host::HostError);
}

TEST(Session, LetsGoOfEveryHostObjectAtOnce) {
  fakes::CallRecorder recorder;
  Session session(std::make_unique<fakes::FakeRedemption>(recorder));
  session.Connect(std::make_unique<fakes::FakeApplication>(recorder));
  static_cast<void>(session.Namespace());
  session.StartContactFolders();
  session.RememberDistList(L"00AB",
                           std::make_unique<fakes::FakeItem>(recorder, fakes::FakeItemData{}));
  ASSERT_GT(recorder.live_objects(), 1);

  session.ReleaseHostObjects();
  EXPECT_EQ(recorder.live_objects(), 0);
  EXPECT_EQ(session.ContactFolders(), nullptr) << "the next picker scans the folders again";
  EXPECT_EQ(session.KnownDistListCount(), 0U);
  EXPECT_THROW(session.Host(), host::HostError);
}

TEST(Session, NeedsARedemptionFactory) { EXPECT_THROW(Session(nullptr), std::invalid_argument); }

}  // namespace
}  // namespace parvel
