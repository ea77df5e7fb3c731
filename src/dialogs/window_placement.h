#pragma once

// Where the add-in's windows open, as arithmetic on screen rectangles (pixels;
// right and bottom are outside the rectangle). The platform supplies the
// rectangles of the windows and of the monitors' work areas
// (window_placement_win.cpp); nothing here asks the screen.
//
// The compose window opens centred on Outlook's window, the contacts picker
// beside the compose window, the account and templates windows centred on
// the compose window; each stays inside the work area of the monitor its
// anchor is on.

namespace parvel::dialogs {

struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const noexcept { return right - left; }
  int Height() const noexcept { return bottom - top; }
  bool Contains(const ScreenRect& other) const noexcept {
    return other.left >= left && other.top >= top && other.right <= right && other.bottom <= bottom;
  }
  bool operator==(const ScreenRect&) const = default;
};

struct ScreenSize {
  int width = 0;
  int height = 0;
};

// The window moved the least to lie inside the work area, its size kept. A
// window wider or higher than the work area keeps its left or top edge (the
// caption, the system menu) on the work area.
ScreenRect KeptInside(ScreenRect window, ScreenRect work_area);

// A window of this size with its centre on the anchor's, kept inside.
ScreenRect CentredOn(ScreenSize window, ScreenRect anchor, ScreenRect work_area);

// A window of this size beside the anchor, `gap` pixels off its edge, tops
// level: to the right when the work area has room there, else to the left
// when it has room there, else on the side with more room, kept inside (over
// a part of the anchor then).
ScreenRect Beside(ScreenSize window, ScreenRect anchor, ScreenRect work_area, int gap);

}  // namespace parvel::dialogs
