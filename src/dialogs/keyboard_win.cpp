#include "dialogs/keyboard_win.h"

#include <cstdint>

namespace parvel::dialogs {
namespace {

// Holds 1 + the dialog's EscKey, so that a marked dialog never holds null.
constexpr wchar_t kDialogKeysProperty[] = L"ParvelDialogKeys";

bool IsEsc(const MSG& message) {
  return message.wParam == VK_ESCAPE && (message.message == WM_KEYDOWN ||
                                         message.message == WM_KEYUP || message.message == WM_CHAR);
}

bool Pressed(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// The marked dialog that window is, or lies in; null for any other window.
HWND MarkedDialog(HWND window, EscKey& esc) {
  for (HWND candidate = window; candidate != nullptr;
       candidate = GetAncestor(candidate, GA_PARENT)) {
    const auto mark = reinterpret_cast<std::uintptr_t>(GetPropW(candidate, kDialogKeysProperty));
    if (mark != 0) {
      esc = static_cast<EscKey>(mark - 1);
      return candidate;
    }
  }
  return nullptr;
}

LRESULT CALLBACK GetMessageHook(int code, WPARAM removal, LPARAM message_pointer) {
  if (code == HC_ACTION && removal == PM_REMOVE) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the hook is passed the message in LPARAM.
    MSG* message = reinterpret_cast<MSG*>(message_pointer);
    EscKey esc = EscKey::Cancels;
    HWND dialog = nullptr;
    if (message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST) {
      dialog = MarkedDialog(message->hwnd, esc);
    }
    if (dialog != nullptr) {
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
    }
  }
  // The hook handle argument is ignored by Windows.
  return CallNextHookEx(nullptr, code, removal, message_pointer);
}

}  // namespace

void SetDialogKeys(HWND dialog, EscKey esc) {
  // NOLINTNEXTLINE(performance-no-int-to-ptr): a window property is a HANDLE-sized integer.
  const auto keys = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(esc) + 1);
  SetPropW(dialog, kDialogKeysProperty, keys);
}

void ClearDialogKeys(HWND dialog) noexcept { RemovePropW(dialog, kDialogKeysProperty); }

void DialogKeyRouter::Start() noexcept {
  if (!hook_) {
    hook_.reset(SetWindowsHookExW(WH_GETMESSAGE, &GetMessageHook, nullptr, GetCurrentThreadId()));
  }
}

}  // namespace parvel::dialogs
