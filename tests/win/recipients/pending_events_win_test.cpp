#include "recipients/pending_events_win.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace parvel {
namespace {

constexpr UINT kCount = WM_APP + 1;
constexpr UINT kNested = WM_APP + 2;

struct Observed {
  ThreadMessagePump pump;
  int counted = 0;
  int counted_inside_nested_run = -1;
};

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* observed = reinterpret_cast<Observed*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (observed != nullptr && message == kCount) {
    ++observed->counted;
    return 0;
  }
  if (observed != nullptr && message == kNested) {
    observed->pump.Run();
    observed->counted_inside_nested_run = observed->counted;
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

class ThreadMessagePumpTest : public testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = &Procedure;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"ParvelPumpTest";
    RegisterClassW(&window_class);
    window = CreateWindowExW(0, L"ParvelPumpTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&observed));
  }
  void TearDown() override {
    if (window != nullptr) DestroyWindow(window);
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
    }
  }

  Observed observed;
  HWND window = nullptr;
};

TEST_F(ThreadMessagePumpTest, AnEventThatAsksAgainGetsNothingUntilItEnds) {
  PostMessageW(window, kNested, 0, 0);
  PostMessageW(window, kCount, 0, 0);
  observed.pump.Run();
  EXPECT_EQ(observed.counted_inside_nested_run, 0);
  EXPECT_EQ(observed.counted, 1);
}

TEST_F(ThreadMessagePumpTest, LeavesAQuitForTheHostsLoop) {
  PostMessageW(window, kCount, 0, 0);
  PostQuitMessage(7);
  observed.pump.Run();
  EXPECT_EQ(observed.counted, 1);
  MSG message{};
  ASSERT_NE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE), FALSE);
  EXPECT_EQ(message.wParam, 7U);
}

}  // namespace
}  // namespace parvel
