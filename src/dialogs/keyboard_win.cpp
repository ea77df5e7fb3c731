#include "dialogs/keyboard_win.h"

#include <algorithm>
#include <vector>

namespace parvel::dialogs {
namespace {

struct RoutedDialog {
  HWND window;
  EscKey esc;
};

// One UI thread: the host's. The hook exists while the list is not empty.
std::vector<RoutedDialog>& Dialogs() {
  static std::vector<RoutedDialog> dialogs;
  return dialogs;
}

bool IsEsc(const MSG& message) {
  return message.wParam == VK_ESCAPE && (message.message == WM_KEYDOWN ||
                                         message.message == WM_KEYUP || message.message == WM_CHAR);
}

HHOOK g_hook = nullptr;

bool Pressed(int key) { return (GetKeyState(key) & 0x8000) != 0; }

LRESULT CALLBACK GetMessageHook(int code, WPARAM removal, LPARAM message_pointer) {
  if (code == HC_ACTION && removal == PM_REMOVE) {
    MSG* message = reinterpret_cast<MSG*>(message_pointer);
    if (message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST) {
      for (const auto& [dialog, esc] : Dialogs()) {
        if (message->hwnd != dialog && !IsChild(dialog, message->hwnd)) continue;
        bool handled = false;
        if (esc == EscKey::Ignored && IsEsc(*message)) {
          // Not even a control sees it: a multi-line edit would close the
          // dialog on Esc itself.
          handled = true;
        } else if (message->message == WM_KEYDOWN && message->wParam == VK_TAB &&
                   !Pressed(VK_CONTROL)) {
          // Tab leaves the multi-line message box too, as in every dialog.
          SendMessageW(dialog, WM_NEXTDLGCTL, Pressed(VK_SHIFT) ? 1 : 0, FALSE);
          handled = true;
        } else {
          handled = IsDialogMessageW(dialog, message) != FALSE;
        }
        if (handled) {
          message->message = WM_NULL;
          message->wParam = 0;
          message->lParam = 0;
        }
        break;
      }
    }
  }
  return CallNextHookEx(g_hook, code, removal, message_pointer);
}

}  // namespace

void RouteDialogKeys(HWND dialog, EscKey esc) {
  auto& dialogs = Dialogs();
  if (std::any_of(dialogs.begin(), dialogs.end(),
                  [dialog](const RoutedDialog& routed) { return routed.window == dialog; })) {
    return;
  }
  dialogs.push_back({dialog, esc});
  if (g_hook == nullptr) {
    g_hook = SetWindowsHookExW(WH_GETMESSAGE, &GetMessageHook, nullptr, GetCurrentThreadId());
  }
}

void StopRoutingDialogKeys(HWND dialog) {
  auto& dialogs = Dialogs();
  std::erase_if(dialogs, [dialog](const RoutedDialog& routed) { return routed.window == dialog; });
  if (dialogs.empty() && g_hook != nullptr) {
    UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
  }
}

}  // namespace parvel::dialogs
