#include "dialogs/window_placement_win.h"

namespace parvel::dialogs {
namespace {

ScreenRect FromRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

std::optional<ScreenRect> WorkAreaOf(HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (monitor == nullptr || !GetMonitorInfoW(monitor, &info)) return std::nullopt;
  return FromRect(info.rcWork);
}

std::optional<ScreenRect> SystemWorkAreaOfWindow(HWND window) {
  return WorkAreaOf(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

std::optional<ScreenRect> SystemWorkAreaAt(POINT point) {
  return WorkAreaOf(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST));
}

std::optional<ScreenRect> WindowRect(HWND window) {
  RECT rect{};
  if (!GetWindowRect(window, &rect)) return std::nullopt;
  return FromRect(rect);
}

// The rectangle to go by and the work area to stay on.
struct Frame {
  ScreenRect anchor;
  ScreenRect work_area;
  bool whole_work_area = false;
};

std::optional<Frame> FrameOf(const Placement& placement, const MonitorLookup& monitors) {
  const HWND anchor = placement.anchor;
  if (anchor != nullptr && IsWindow(anchor)) {
    // Windows names a monitor also for a minimised window or one off every
    // monitor (the nearest); only a shown, restored window is gone by.
    const std::optional<ScreenRect> work_area = monitors.work_area_of_window(anchor);
    if (!work_area) return std::nullopt;
    if (IsWindowVisible(anchor) && !IsIconic(anchor)) {
      if (const std::optional<ScreenRect> rect = WindowRect(anchor))
        return Frame{*rect, *work_area};
    }
    return Frame{*work_area, *work_area, true};
  }
  POINT cursor{};
  if (!GetCursorPos(&cursor)) return std::nullopt;
  const std::optional<ScreenRect> work_area = monitors.work_area_at(cursor);
  if (!work_area) return std::nullopt;
  return Frame{*work_area, *work_area, true};
}

int ScaledGap(HWND window) {
  using GetDpi = UINT(WINAPI*)(HWND);
  static const auto get_dpi = [] {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 == nullptr ? nullptr
                             : reinterpret_cast<GetDpi>(reinterpret_cast<void*>(
                                   GetProcAddress(user32, "GetDpiForWindow")));
  }();
  const UINT dpi = get_dpi != nullptr ? get_dpi(window) : 0;
  return dpi == 0 ? kBesideGap : MulDiv(kBesideGap, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

// True when the window took its new place at the size it had.
bool MoveOnce(HWND window, const Placement& placement, const MonitorLookup& monitors) {
  const std::optional<ScreenRect> now = WindowRect(window);
  const std::optional<Frame> frame = FrameOf(placement, monitors);
  if (!now || !frame) return true;
  const ScreenSize size{now->Width(), now->Height()};
  const ScreenRect target = placement.how == Placement::How::Beside && !frame->whole_work_area
                                ? Beside(size, frame->anchor, frame->work_area, ScaledGap(window))
                                : CentredOn(size, frame->anchor, frame->work_area);
  SetWindowPos(window, nullptr, target.left, target.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  const std::optional<ScreenRect> after = WindowRect(window);
  return !after || (after->Width() == size.width && after->Height() == size.height);
}

}  // namespace

const MonitorLookup& SystemMonitors() noexcept {
  static constexpr MonitorLookup kSystem{&SystemWorkAreaOfWindow, &SystemWorkAreaAt};
  return kSystem;
}

void Place(HWND window, const Placement& placement, const MonitorLookup& monitors) noexcept {
  if (window == nullptr) return;
  if (!MoveOnce(window, placement, monitors)) MoveOnce(window, placement, monitors);
}

}  // namespace parvel::dialogs
