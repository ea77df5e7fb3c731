#include "standin_host/placement_check.h"

#include <cstdlib>

namespace parvel::standin {
namespace {

// Rounding of odd sizes, on either side.
constexpr long kCentreSlack = 2;
// The gap an add-in leaves between windows side by side: a few pixels,
// scaled with the monitor's DPI.
constexpr long kBesideGap = 24;

bool Overlap(const PlacedRect& a, const PlacedRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

std::wstring PlacedRect::Text() const {
  return L"(" + std::to_wstring(left) + L"," + std::to_wstring(top) + L")-(" +
         std::to_wstring(right) + L"," + std::to_wstring(bottom) + L")";
}

std::optional<std::wstring> CheckPlaced(const PlacedRect& window, Placed how,
                                        const PlacedRect& other) {
  const std::wstring found = window.Text() + L" against " + other.Text();
  switch (how) {
    case Placed::Inside:
      if (window.left >= other.left && window.top >= other.top && window.right <= other.right &&
          window.bottom <= other.bottom) {
        return std::nullopt;
      }
      return found;
    case Placed::Centred: {
      const long dx = (window.left + window.right) - (other.left + other.right);
      const long dy = (window.top + window.bottom) - (other.top + other.bottom);
      if (std::labs(dx) <= 2 * kCentreSlack && std::labs(dy) <= 2 * kCentreSlack) {
        return std::nullopt;
      }
      return found;
    }
    case Placed::Beside:
    case Placed::RightOf:
    case Placed::LeftOf: {
      if (Overlap(window, other)) return found + L", overlapping";
      if (window.bottom <= other.top || other.bottom <= window.top) {
        return found + L", no row in common";
      }
      const long right_gap = window.left - other.right;
      const long left_gap = other.left - window.right;
      const bool right = right_gap >= 0 && right_gap <= kBesideGap;
      const bool left = left_gap >= 0 && left_gap <= kBesideGap;
      if ((how == Placed::Beside && (right || left)) || (how == Placed::RightOf && right) ||
          (how == Placed::LeftOf && left)) {
        return std::nullopt;
      }
      return found;
    }
  }
  return found;
}

}  // namespace parvel::standin
