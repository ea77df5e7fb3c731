#pragma once

// What `expect placed` checks of two rectangles on the screen (pixels; right
// and bottom outside): a window inside another or inside a monitor's work
// area, centred on another, or beside it.

#include <optional>
#include <string>

namespace parvel::standin {

struct PlacedRect {
  long left = 0;
  long top = 0;
  long right = 0;
  long bottom = 0;

  std::wstring Text() const;  // "(10,20)-(110,220)"
};

enum class Placed {
  Inside,   // wholly inside the other
  Centred,  // its centre within 2 pixels of the other's
  Beside,   // side by side: no overlap, at most 24 pixels apart, spans of rows shared
  RightOf,  // beside, on the right
  LeftOf,   // beside, on the left
};

// Nothing when the window is placed so against the other; else what was
// found, in words.
std::optional<std::wstring> CheckPlaced(const PlacedRect& window, Placed how,
                                        const PlacedRect& other);

}  // namespace parvel::standin
