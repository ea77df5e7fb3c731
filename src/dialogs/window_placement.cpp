#include "dialogs/window_placement.h"

#include <algorithm>

namespace parvel::dialogs {
namespace {

// The start of a span of `length` moved the least into [low, high); a span
// longer than that starts at low.
int KeptIn(int start, int length, int low, int high) {
  return std::max(low, std::min(start, high - length));
}

ScreenRect At(int left, int top, ScreenSize size) {
  return {left, top, left + size.width, top + size.height};
}

}  // namespace

ScreenRect KeptInside(ScreenRect window, ScreenRect work_area) {
  const ScreenSize size{window.Width(), window.Height()};
  return At(KeptIn(window.left, size.width, work_area.left, work_area.right),
            KeptIn(window.top, size.height, work_area.top, work_area.bottom), size);
}

ScreenRect CentredOn(ScreenSize window, ScreenRect anchor, ScreenRect work_area) {
  // Halves taken apart, so that odd sizes round the same way on both sides.
  const int left = anchor.left + anchor.Width() / 2 - window.width / 2;
  const int top = anchor.top + anchor.Height() / 2 - window.height / 2;
  return KeptInside(At(left, top, window), work_area);
}

ScreenRect Beside(ScreenSize window, ScreenRect anchor, ScreenRect work_area, int gap) {
  const int right_room = work_area.right - (anchor.right + gap);
  const int left_room = (anchor.left - gap) - work_area.left;
  const bool right =
      right_room >= window.width || (left_room < window.width && right_room >= left_room);
  const int left = right ? anchor.right + gap : anchor.left - gap - window.width;
  return KeptInside(At(left, anchor.top, window), work_area);
}

}  // namespace parvel::dialogs
