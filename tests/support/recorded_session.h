#pragma once

#include <memory>

#include "host/session.h"
#include "support/call_recorder.h"
#include "support/fake_redemption.h"

namespace parvel::fakes {

// A session over a fake Redemption that logs to recorder. The session owns
// the fake; redemption lets a test script it.
struct RecordedSession {
  // The mail path is chosen (Redemption, its probe not logged) before a test
  // scripts the fake.
  RecordedSession() {
    session.ChooseMailPath();
    recorder.ClearCalls();
  }

  CallRecorder recorder;
  FakeRedemption* redemption = nullptr;
  Session session{MadeRedemption()};

 private:
  std::unique_ptr<FakeRedemption> MadeRedemption() {
    auto made = std::make_unique<FakeRedemption>(recorder);
    redemption = made.get();
    return made;
  }
};

}  // namespace parvel::fakes
