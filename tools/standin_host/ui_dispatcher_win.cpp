#include "standin_host/ui_dispatcher_win.h"

#include <stdexcept>

namespace parvel::standin {
namespace {

constexpr wchar_t kClassName[] = L"ParvelStandinDispatcher";
constexpr UINT kRunMessage = WM_APP + 1;

}  // namespace

UiDispatcher::UiDispatcher() : thread_id_(GetCurrentThreadId()) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = &UiDispatcher::WindowProc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = kClassName;
  RegisterClassW(&window_class);
  window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            window_class.hInstance, nullptr);
  if (window_ == nullptr) throw std::runtime_error("cannot create the dispatcher window");
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

UiDispatcher::~UiDispatcher() {
  {
    const std::lock_guard lock(mutex_);
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  }
  DestroyWindow(window_);
}

bool UiDispatcher::Post(std::function<void()> work) {
  const std::lock_guard lock(mutex_);
  if (GetWindowLongPtrW(window_, GWLP_USERDATA) == 0) return false;
  queue_.push_back(std::move(work));
  return PostMessageW(window_, kRunMessage, 0, 0) != FALSE;
}

void UiDispatcher::RunOne() {
  std::function<void()> work;
  {
    const std::lock_guard lock(mutex_);
    if (queue_.empty()) return;
    work = std::move(queue_.front());
    queue_.pop_front();
  }
  try {
    work();
  } catch (...) {
    // The work reports its own outcome; nothing may leave a window procedure.
  }
}

LRESULT CALLBACK UiDispatcher::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kRunMessage) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the user slot holds the dispatcher.
    auto* self = reinterpret_cast<UiDispatcher*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr) self->RunOne();
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace parvel::standin
