#pragma once

// Where an add-in window opens on Windows: the rectangles of its anchor and of
// the anchor's monitor, fed to the arithmetic of window_placement.h. The
// windows stay unowned (see WindowSet): they are only placed.

#include <windows.h>

#include <optional>

#include "dialogs/window_placement.h"

namespace parvel::dialogs {

// What Windows tells about the monitors, replaceable where a test needs
// monitors the machine lacks (Wine under Xvfb has a single one).
struct MonitorLookup {
  // The work area of the monitor the window is on, or of the nearest one
  // when it is on none (MonitorFromWindow, MONITOR_DEFAULTTONEAREST, then
  // GetMonitorInfo); nullopt when Windows cannot tell.
  std::optional<ScreenRect> (*work_area_of_window)(HWND window);
  // The same for the monitor at (or nearest to) a point.
  std::optional<ScreenRect> (*work_area_at)(POINT point);
};

// MonitorFromWindow, MonitorFromPoint and GetMonitorInfoW.
const MonitorLookup& SystemMonitors() noexcept;

struct Placement {
  enum class How { CentredOn, Beside };
  How how = How::CentredOn;
  // The window to go by (Outlook's explorer, the compose window). Without
  // one, or when it is minimised or hidden, the window opens centred on the
  // work area of the anchor's monitor, or of the monitor under the mouse
  // pointer (where the user just clicked).
  HWND anchor = nullptr;
};

// The gap between the compose window and the picker beside it, at 96 DPI.
inline constexpr int kBesideGap = 8;

// Moves the window (not yet shown) to where the placement says; its size
// stays. A window whose size changes with the move (a monitor of another DPI)
// is placed once more at its new size.
void Place(HWND window, const Placement& placement,
           const MonitorLookup& monitors = SystemMonitors()) noexcept;

}  // namespace parvel::dialogs
