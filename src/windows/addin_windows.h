#pragma once

namespace parvel {

// The add-in's modeless windows as the compose window opens them; each has a
// single instance that a second request brings forward.
class AddinWindows {
 public:
  virtual ~AddinWindows() = default;
  virtual void ShowContactsPicker() = 0;
  virtual void ShowAccountWindow() = 0;
  virtual void ShowTemplatesWindow() = 0;
};

}  // namespace parvel
