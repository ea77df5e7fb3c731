#pragma once

#include <windows.h>

#include "dialogs/keyboard_win.h"

namespace parvel::dialogs::test {

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
