#include "dialogs/message_boxes_win.h"

#include <string>

namespace parvel::dialogs {

void OwnedMessageBoxes::Show(std::wstring_view title, std::wstring_view text, MessageIcon icon) {
  UINT style = MB_OK;
  switch (icon) {
    case MessageIcon::Exclamation:
      style |= MB_ICONEXCLAMATION;
      break;
    case MessageIcon::Error:
      style |= MB_ICONERROR;
      break;
    case MessageIcon::Information:
      style |= MB_ICONINFORMATION;
      break;
  }
  const std::wstring title_text(title);
  const std::wstring body(text);
  MessageBoxW(owner_, body.c_str(), title_text.c_str(), style);
}

bool OwnedMessageBoxes::Ask(std::wstring_view title, std::wstring_view text) {
  const std::wstring title_text(title);
  const std::wstring body(text);
  return MessageBoxW(owner_, body.c_str(), title_text.c_str(), MB_YESNO | MB_ICONEXCLAMATION) ==
         IDYES;
}

}  // namespace parvel::dialogs
