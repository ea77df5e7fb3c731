#pragma once

#include "dialogs/compose_presenter.h"
#include "dialogs/dialog_window_win.h"
#include "dialogs/message_boxes_win.h"
#include "workflows/handler_turns.h"

namespace parvel::dialogs {

// The compose window OLMain as a Win32 dialog around its presenter. Creating
// it loads it; BringForward shows it.
class ComposeWindow final : public DialogWindow {
 public:
  ComposeWindow(Session& session, RegistryPort& registry, AddinWindows& windows);

  ComposePresenter& presenter() noexcept { return presenter_; }

 private:
  void OnInit() override;
  void OnCommand(int id, int code) override;
  void OnCloseRequest() override;
  void OnSessionEnd() override;

  OwnedMessageBoxes owned_boxes_;
  StoppingMessageBoxes message_boxes_;
  ComposePresenter presenter_;
};

}  // namespace parvel::dialogs
