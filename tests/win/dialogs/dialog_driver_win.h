#pragma once

// What the Windows dialog tests do to a dialog as a user would, and read
// back from it.

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "dialogs/keyboard_win.h"

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

// Runs what is queued on this thread as a message loop does, through the
// hooks the add-in sets on it.
inline void RunQueuedMessages() {
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// A key pressed and released while control has the keyboard focus, queued as
// the keyboard queues it (the add-in's dialogs get their keys from the queue).
inline void PressKey(HWND control, WPARAM key) {
  // The add-in's window set starts one before its first window opens.
  static DialogKeyRouter keys;
  keys.Start();
  SetFocus(control);
  const UINT scan = MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
  PostMessageW(control, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
  PostMessageW(control, WM_KEYUP, key,
               static_cast<LPARAM>(1 | (scan << 16) | (1U << 30) | (1U << 31)));
  RunQueuedMessages();
  RunQueuedMessages();  // what the key itself posted
}

}  // namespace parvel::dialogs::test
