#pragma once

// Runs work on the window thread for other threads: the scenario driver acts
// on windows from its own thread, but windows, focus and COM objects belong
// to the thread that created them. Work is queued and announced by a posted
// message, so it runs in order with the clicks posted before it, also from
// inside a modal loop (a message box) on that thread.

#include <windows.h>

#include <deque>
#include <functional>
#include <mutex>

namespace parvel::standin {

class UiDispatcher {
 public:
  UiDispatcher();  // on the window thread
  ~UiDispatcher();
  UiDispatcher(const UiDispatcher&) = delete;
  UiDispatcher& operator=(const UiDispatcher&) = delete;

  // From any thread; false once the window is gone.
  bool Post(std::function<void()> work);

  DWORD thread_id() const { return thread_id_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void RunOne();

  HWND window_ = nullptr;
  DWORD thread_id_;
  std::mutex mutex_;
  std::deque<std::function<void()>> queue_;
};

}  // namespace parvel::standin
