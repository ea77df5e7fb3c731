#pragma once

namespace parvel {

class ComposePresenter;

// The add-in's modeless windows as they open each other; each has a single
// instance that a second request brings forward.
class AddinWindows {
 public:
  virtual ~AddinWindows() = default;
  virtual void ShowContactsPicker() = 0;
  virtual void ShowAccountWindow() = 0;
  virtual void ShowTemplatesWindow() = 0;
  // The compose window's presenter, for the picker and the templates window.
  // A closed compose window is loaded first, without being shown; the next
  // click on the toolbar button shows it as it is.
  virtual ComposePresenter& ComposeWindow() = 0;
};

}  // namespace parvel
