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

  session.HostApplication = std::make_unique<fakes::FakeApplication>(recorder);
  session.MapiNamespace = session.Host().GetNamespace(L"MAPI");
  EXPECT_EQ(session.MapiNamespace->CurrentUserName(), L"Sales Desk");
  EXPECT_EQ(recorder.live_objects(), 1);

  session.MapiNamespace.reset();
  session.HostApplication.reset();
  EXPECT_THROW(session.Host(), host::HostError);
}

TEST(Session, LetsGoOfEveryHostObjectAtOnce) {
  fakes::CallRecorder recorder;
  Session session(std::make_unique<fakes::FakeRedemption>(recorder));
  session.HostApplication = std::make_unique<fakes::FakeApplication>(recorder);
  session.MapiNamespace = session.Host().GetNamespace(L"MAPI");
  session.ContactsFolders.emplace();
  session.KnownDistLists.emplace(
      L"00AB", std::make_unique<fakes::FakeItem>(recorder, fakes::FakeItemData{}));
  ASSERT_GT(recorder.live_objects(), 1);

  session.ReleaseHostObjects();
  EXPECT_EQ(recorder.live_objects(), 0);
  EXPECT_FALSE(session.ContactsFolders.has_value()) << "the next picker scans the folders again";
  EXPECT_TRUE(session.KnownDistLists.empty());
  EXPECT_THROW(session.Host(), host::HostError);
}

TEST(Session, NeedsARedemptionFactory) { EXPECT_THROW(Session(nullptr), std::invalid_argument); }

}  // namespace
}  // namespace parvel
