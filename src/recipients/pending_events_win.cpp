#include "recipients/pending_events_win.h"

#include <windows.h>

namespace parvel {
namespace {

thread_local bool pumping = false;

class Pumping {
 public:
  Pumping() { pumping = true; }
  ~Pumping() { pumping = false; }
  Pumping(const Pumping&) = delete;
  Pumping& operator=(const Pumping&) = delete;
};

}  // namespace

void ThreadMessagePump::Run() {
  if (pumping) return;
  const Pumping guard;
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
