#pragma once

#include "dialogs/dialog_window_win.h"
#include "dialogs/message_boxes_win.h"
#include "dialogs/ol_account.h"

namespace parvel::dialogs {

// The account window OLAccount as a Win32 dialog around its presenter.
class AccountWindow final : public DialogWindow {
 public:
  AccountWindow(AccountSettings& settings, RegistryPort& registry);

  OLAccount& presenter() noexcept { return presenter_; }

 private:
  void OnInit() override;
  void OnCommand(int id, int code) override;

  OwnedMessageBoxes message_boxes_;
  OLAccount presenter_;
};

}  // namespace parvel::dialogs
