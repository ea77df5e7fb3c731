#pragma once

// The compose window's presenter over fakes: a connected session, a saved
// account, a fixed clock, and the buttons' other windows noted as opened.

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "dialogs/compose_presenter.h"
#include "support/call_recorder.h"
#include "support/fake_outlook.h"
#include "support/fake_redemption.h"
#include "support/fixed_clock.h"
#include "support/memory_registry.h"
#include "support/recording_diagnostics.h"
#include "support/recording_message_boxes.h"
#include "support/recording_window_view.h"
#include "support/saved_account.h"

namespace parvel::compose_test {

const std::wstring kCaption = L"Parvel" + std::wstring(44, L' ') + L"- 1.0.26";

class CountingWindows final : public AddinWindows {
 public:
  explicit CountingWindows(fakes::RecordingWindowView& view) : view_(view) {}
  void ShowContactsPicker() override { Record(L"Contacts", compose_controls::kContactsButton); }
  void ShowAccountWindow() override { Record(L"Account", compose_controls::kAccountButton); }
  void ShowTemplatesWindow() override { Record(L"Templates", compose_controls::kTemplatesButton); }
  ComposePresenter& ComposeWindow() override {
    throw std::logic_error("not used by the compose window");
  }

  std::vector<std::wstring> opened;

 private:
  // Notes whether the button that opened the window was disabled meanwhile,
  // and whether the compose window showed itself busy.
  void Record(const wchar_t* window, const std::wstring& button) {
    opened.push_back(std::wstring(window) + (view_.disabled.count(button) ? L" (disabled)" : L"") +
                     (view_.busy ? L" (busy)" : L""));
  }
  fakes::RecordingWindowView& view_;
};

class ComposeFixture : public testing::Test {
 protected:
  ComposeFixture() {
    session.Connect(std::make_unique<fakes::FakeApplication>(recorder));
    fakes::StoreSavedAccount(registry);
  }

  // The ports of a compose window that shows itself in view.
  ComposePorts Ports(fakes::RecordingWindowView& shown_in) {
    return {.session = session,
            .view = shown_in,
            .message_boxes = messages,
            .registry = registry,
            .clock = clock,
            .windows = windows,
            .locale = english};
  }

  fakes::CallRecorder recorder;
  fakes::RecordingDiagnostics diagnostics;
  Session session{std::make_unique<fakes::FakeRedemption>(recorder), diagnostics};
  fakes::RecordingMessageBoxes messages;
  Windows1252CodePage western;
  MemoryRegistry registry{western};
  fakes::FixedClock clock{{2026, 12, 31, 18, 5}};
  fakes::RecordingWindowView view;
  CountingWindows windows{view};
  EnglishLocale english;
};

}  // namespace parvel::compose_test
