#pragma once

#include "dialogs/account_presenter.h"
#include "dialogs/dialog_window_win.h"
#include "dialogs/message_boxes_win.h"

namespace parvel::dialogs {

// The account window OLAccount as a Win32 dialog around its presenter.
class AccountWindow final : public DialogWindow {
 public:
  AccountWindow(AccountSettings& settings, RegistryPort& registry);

  AccountPresenter& presenter() noexcept { return presenter_; }

 private:
  void OnInit() override;
  void OnCommand(int id, int code) override;

  OwnedMessageBoxes message_boxes_;
  AccountPresenter presenter_;
};

}  // namespace parvel::dialogs
