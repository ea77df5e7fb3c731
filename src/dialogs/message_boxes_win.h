#pragma once

#include <windows.h>

#include "ui/message_box.h"

namespace parvel::dialogs {

// Message boxes owned by one of the add-in's windows.
class OwnedMessageBoxes final : public MessageBoxes {
 public:
  void SetOwner(HWND owner) noexcept { owner_ = owner; }
  void Show(std::wstring_view title, std::wstring_view text, MessageIcon icon) override;
  bool Ask(std::wstring_view title, std::wstring_view text) override;

 private:
  HWND owner_ = nullptr;
};

}  // namespace parvel::dialogs
