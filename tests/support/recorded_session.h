#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "host/session.h"
#include "support/call_recorder.h"
#include "support/fake_address_book.h"
#include "support/fake_redemption.h"
#include "support/recording_diagnostics.h"

namespace parvel::fakes {

// A session over a fake Redemption that logs to recorder and reports to
// diagnostics. The session owns the fake; redemption lets a test script it.
struct RecordedSession {
  // The mail path is chosen (Redemption, its probe and report not kept)
  // before a test scripts the fake.
  RecordedSession() {
    session.ChooseMailPath();
    recorder.ClearCalls();
    diagnostics.reports.clear();
  }

  // The host's stores, and Redemption's address lists (counted from base),
  // from plain data.
  void UseStores(std::vector<std::shared_ptr<FakeFolderData>> stores) {
    session.HoldNamespace(std::make_unique<FakeStoreNamespace>(recorder, std::move(stores)));
  }
  void UseAddressLists(std::vector<FakeAddressListData> lists, int base = 0) {
    redemption->make_address_lists = FakeAddressListsMaker(recorder, std::move(lists), base);
  }
  // Lets Redemption open a contact folder's distribution lists.
  void OfferSafeDistLists() {
    redemption->make_safe_dist_list = [this] {
      return std::make_unique<FakeSafeDistList>(recorder);
    };
  }

  CallRecorder recorder;
  RecordingDiagnostics diagnostics;
  FakeRedemption* redemption = nullptr;
  Session session{MadeRedemption(), diagnostics};

 private:
  std::unique_ptr<FakeRedemption> MadeRedemption() {
    auto made = std::make_unique<FakeRedemption>(recorder);
    redemption = made.get();
    return made;
  }
};

}  // namespace parvel::fakes
