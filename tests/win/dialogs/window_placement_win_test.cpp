// Where an add-in window opens, against real windows: its anchor's rectangle
// and monitor as Windows gives them, and monitors this machine lacks given
// through the lookup the placement takes (Wine under Xvfb has one monitor).

#include "dialogs/window_placement_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <span>
#include <vector>

#include "dialogs/dialog_window_win.h"
#include "dialogs/window_ids.h"
#include "platform/handles_win.h"

namespace parvel::dialogs {
namespace {

// Two monitors side by side: the left one 1280 x 1024, the right one
// 1920 x 1080; each work area without a taskbar of 40 pixels.
constexpr ScreenRect kLeftWork{0, 0, 1280, 984};
constexpr ScreenRect kRightWork{1280, 0, 3200, 1040};

bool OnRight(const RECT& rect) { return (rect.left + rect.right) / 2 >= 1280; }

std::optional<ScreenRect> TwoMonitorsOfWindow(HWND window) {
  RECT rect{};
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  if (IsIconic(window) && GetWindowPlacement(window, &placement)) {
    rect = placement.rcNormalPosition;
  } else if (!GetWindowRect(window, &rect)) {
    return std::nullopt;
  }
  return OnRight(rect) ? kRightWork : kLeftWork;
}

POINT cursor_seen{};
std::optional<ScreenRect> TwoMonitorsAt(POINT point) {
  cursor_seen = point;
  return kRightWork;
}

constexpr MonitorLookup kTwoMonitors{&TwoMonitorsOfWindow, &TwoMonitorsAt};

// A top-level window of the given place, shown or not.
win::UniqueWindow Frame(int left, int top, int width, int height, bool shown) {
  return win::UniqueWindow(CreateWindowExW(0, L"STATIC", L"", WS_POPUP | (shown ? WS_VISIBLE : 0U),
                                           left, top, width, height, nullptr, nullptr, nullptr,
                                           nullptr));
}

ScreenRect Rect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return {rect.left, rect.top, rect.right, rect.bottom};
}

TEST(WindowPlacementWin, WithoutAWindowToGoByTheWindowOpensOnAWorkArea) {
  const win::UniqueWindow compose = Frame(0, 0, 500, 400, false);
  // A minimised Outlook: the middle of the work area of its monitor.
  const win::UniqueWindow outlook = Frame(1400, 100, 900, 560, true);
  ShowWindow(outlook.get(), SW_MINIMIZE);
  Place(compose.get(), {.how = Placement::How::CentredOn, .anchor = outlook.get()}, kTwoMonitors);
  EXPECT_EQ(Rect(compose.get()), (ScreenRect{1990, 320, 2490, 720}));
  // No explorer at all: the monitor under the mouse pointer, where the user
  // just clicked; a picker without a compose window to stand beside alike.
  SetWindowPos(compose.get(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Place(compose.get(), {.how = Placement::How::Beside, .anchor = nullptr}, kTwoMonitors);
  EXPECT_EQ(Rect(compose.get()), (ScreenRect{1990, 320, 2490, 720}));
  POINT cursor{};
  GetCursorPos(&cursor);
  EXPECT_EQ(cursor_seen.x, cursor.x);
  EXPECT_EQ(cursor_seen.y, cursor.y);
}

// A dialog that notes where it was when its load began.
class PlacedDialog final : public DialogWindow {
 public:
  PlacedDialog() : DialogWindow(L"Placed", std::span<const ControlName>()) {}
  std::optional<ScreenRect> at_load;

 private:
  void OnInit() override { at_load = Rect(hwnd()); }
  void OnCommand(int, int) override {}
};

TEST(WindowPlacementWin, ADialogIsPlacedBeforeItsLoadAndWithTheRealMonitors) {
  const win::UniqueWindow outlook = Frame(100, 80, 900, 560, true);
  PlacedDialog dialog;
  ASSERT_TRUE(dialog.Create(IDD_OLACCOUNT,
                            Placement{.how = Placement::How::CentredOn, .anchor = outlook.get()}));
  ASSERT_TRUE(dialog.at_load);
  const ScreenRect now = Rect(dialog.hwnd());
  EXPECT_EQ(dialog.at_load->left, now.left) << "placed before the load, which may show it";
  EXPECT_EQ(dialog.at_load->top, now.top);
  EXPECT_NEAR((now.left + now.right) / 2, 550, 1);
  EXPECT_NEAR((now.top + now.bottom) / 2, 360, 1);
  dialog.Close();
}

}  // namespace
}  // namespace parvel::dialogs
