#pragma once

#include <stdexcept>

#include "ui/addin_windows.h"

namespace parvel::fakes {

// The windows as the picker and the templates window see them: only the
// compose window is there; opening any other is a fault of the test.
class ComposeOnlyWindows final : public AddinWindows {
 public:
  explicit ComposeOnlyWindows(ComposePresenter& compose) : compose_(compose) {}
  void ShowContactsPicker() override { throw std::logic_error("no other window opens here"); }
  void ShowAccountWindow() override { throw std::logic_error("no other window opens here"); }
  void ShowTemplatesWindow() override { throw std::logic_error("no other window opens here"); }
  ComposePresenter& ComposeWindow() override { return compose_; }

 private:
  ComposePresenter& compose_;
};

}  // namespace parvel::fakes
