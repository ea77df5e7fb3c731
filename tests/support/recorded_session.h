#pragma once

#include <memory>

#include "host/session.h"
#include "support/call_recorder.h"
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
