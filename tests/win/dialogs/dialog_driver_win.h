#pragma once

// What the Windows dialog tests do to a dialog as a user would, and read
// back from it.

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace parvel::dialogs::test {

inline std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

inline void Click(HWND dialog, int id) {
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Types characters one by one as the keyboard would.
inline void Type(HWND edit, const std::wstring& text) {
  for (const wchar_t ch : text) SendMessageW(edit, WM_CHAR, ch, 0);
}

// The controls that Tab visits, from the first one on.
inline std::vector<int> TabOrder(HWND dialog, int first, std::size_t count) {
  std::vector<int> ids{first};
  HWND control = GetDlgItem(dialog, first);
  while (ids.size() < count) {
    control = GetNextDlgTabItem(dialog, control, FALSE);
    ids.push_back(GetDlgCtrlID(control));
  }
  return ids;
}

}  // namespace parvel::dialogs::test
