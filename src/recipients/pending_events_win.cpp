#include "recipients/pending_events_win.h"

#include <windows.h>

#include "platform/scope_exit.h"

namespace parvel {
namespace {

thread_local bool pumping = false;

}  // namespace

void ThreadMessagePump::Run() {
  if (pumping) return;
  pumping = true;
  const ScopeExit done([] { pumping = false; });
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
    if (message.message == WM_QUIT) {
      // The host's own loop must still see it.
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace parvel
