#pragma once

// Monitors the host plays for the add-ins beside the real ones. Wine under
// Xvfb has a single monitor (Xvfb's Xinerama puts every screen at 0,0, and
// its RandR offers one output), yet Outlook users have two: with --monitor
// the host adds monitors to the right of the screen, and the add-in's calls
// of MonitorFromWindow, MonitorFromPoint, MonitorFromRect and
// GetMonitorInfoW are answered with them as well (the host puts its own
// functions in the add-in DLL's import table, as it plays Outlook's objects).
// Windows may be moved there: they exist, nobody sees them.

#include <windows.h>

#include <vector>

namespace parvel::standin {

// Each added monitor's work area leaves out a taskbar of this height at its
// bottom, so that work area and monitor differ as on Windows.
inline constexpr int kVirtualTaskbarHeight = 40;

struct PlayedMonitor {
  RECT monitor;
  RECT work_area;
};

// Adds a monitor of this size right of every monitor so far, its top at 0.
void AddVirtualMonitor(int width, int height);

// The monitors the add-ins see: the real ones, then the added ones.
std::vector<PlayedMonitor> PlayedMonitors();

// Points the module's imports of the monitor functions at the host's, when
// monitors were added; nothing otherwise.
void ServeVirtualMonitors(HMODULE module);

// The work area of the monitor the rectangle is on most, or nearest to, as
// the add-in is told.
RECT PlayedWorkAreaNear(const RECT& rect);

}  // namespace parvel::standin
