#pragma once

#include <stdexcept>

#include "ui/addin_windows.h"

namespace parvel::fakes {

// The windows as a window tested alone sees them: at most the compose window
// is there; opening any other, or reaching a compose window the test has not
// given, is a fault of the test.
class ComposeOnlyWindows final : public AddinWindows {
 public:
  ComposeOnlyWindows() = default;
  explicit ComposeOnlyWindows(ComposePresenter& compose) : compose_(&compose) {}
  void ShowContactsPicker() override { throw std::logic_error("no other window opens here"); }
  void ShowAccountWindow() override { throw std::logic_error("no other window opens here"); }
  void ShowTemplatesWindow() override { throw std::logic_error("no other window opens here"); }
  ComposePresenter& ComposeWindow() override {
    if (compose_ == nullptr) throw std::logic_error("no compose window here");
    return *compose_;
  }

 private:
  ComposePresenter* compose_ = nullptr;
};

}  // namespace parvel::fakes
