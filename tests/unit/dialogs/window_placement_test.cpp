// Where the add-in's windows open, for monitors of every arrangement: the
// arithmetic the Windows side feeds with the explorer's and the compose
// window's rectangles and with the work area of the monitor they are on.

#include "dialogs/window_placement.h"

#include <gtest/gtest.h>

namespace parvel::dialogs {

void PrintTo(const ScreenRect& rect, std::ostream* out) {
  *out << "(" << rect.left << "," << rect.top << ")-(" << rect.right << "," << rect.bottom << ")";
}

namespace {

// A primary monitor of 1920 x 1080 with a taskbar of 40 pixels at the bottom,
// a second one of 2560 x 1440 to its right, a third of 1280 x 1024 to the
// left of the primary one (negative coordinates).
constexpr ScreenRect kPrimary{0, 0, 1920, 1040};
constexpr ScreenRect kRight{1920, 0, 4480, 1440};
constexpr ScreenRect kLeft{-1280, 0, 0, 1024};
constexpr ScreenSize kCompose{510, 465};
constexpr ScreenSize kPicker{630, 390};

TEST(WindowPlacement, AWindowIsCentredOnItsAnchorAndStaysOnTheWorkAreaOfItsMonitor) {
  EXPECT_EQ(CentredOn(kCompose, {100, 50, 1500, 950}, kPrimary), (ScreenRect{545, 268, 1055, 733}));
  EXPECT_EQ(CentredOn(kCompose, {2200, 100, 4200, 1300}, kRight),
            (ScreenRect{2945, 468, 3455, 933}));
  EXPECT_EQ(CentredOn(kCompose, {-1200, 40, -200, 840}, kLeft), (ScreenRect{-955, 208, -445, 673}));
  // An anchor smaller than the window: the window is centred over it.
  EXPECT_EQ(CentredOn(kCompose, {700, 400, 800, 500}, kPrimary), (ScreenRect{495, 218, 1005, 683}));
  // Outlook half off the right edge of the right-hand monitor.
  EXPECT_EQ(CentredOn(kCompose, {4000, 900, 5000, 1600}, kRight),
            (ScreenRect{3970, 975, 4480, 1440}));
  // Outlook reaching below the taskbar of the primary monitor.
  EXPECT_EQ(CentredOn(kCompose, {0, 700, 600, 1300}, kPrimary), (ScreenRect{45, 575, 555, 1040}));
  // Outlook off every monitor: the window comes onto the nearest one the
  // platform named, not to where nobody can see it.
  EXPECT_EQ(CentredOn(kCompose, {5000, -900, 5800, -300}, kRight),
            (ScreenRect{3970, 0, 4480, 465}));
  EXPECT_EQ(CentredOn(kCompose, {-3000, 200, -2000, 800}, kLeft),
            (ScreenRect{-1280, 268, -770, 733}));
}

TEST(WindowPlacement, AWindowLargerThanTheWorkAreaKeepsItsCaptionOnIt) {
  const ScreenRect small{0, 0, 800, 560};
  EXPECT_EQ(CentredOn({1000, 700}, {0, 0, 800, 560}, small), (ScreenRect{0, 0, 1000, 700}));
  EXPECT_EQ(KeptInside({-300, -200, 700, 500}, small), (ScreenRect{0, 0, 1000, 700}));
  EXPECT_EQ(KeptInside({300, 200, 1300, 900}, small), (ScreenRect{0, 0, 1000, 700}));
  // A window already inside does not move.
  EXPECT_EQ(KeptInside({10, 20, 110, 120}, small), (ScreenRect{10, 20, 110, 120}));
}

TEST(WindowPlacement, ThePickerOpensBesideTheComposeWindowOnTheSideWithRoomAndLevelWithIt) {
  // To the right when there is room.
  const ScreenRect compose{300, 200, 810, 665};
  EXPECT_EQ(Beside(kPicker, compose, kPrimary, 8), (ScreenRect{818, 200, 1448, 590}));
  // Exactly enough room on the right still counts.
  const ScreenRect tight{1920 - 8 - 630 - 510, 100, 1920 - 8 - 630, 565};
  EXPECT_EQ(Beside(kPicker, tight, kPrimary, 8).right, 1920);
  // To the left when only there is room.
  const ScreenRect right_compose{1300, 200, 1810, 665};
  EXPECT_EQ(Beside(kPicker, right_compose, kPrimary, 8), (ScreenRect{662, 200, 1292, 590}));
  // On the left-hand monitor, by that monitor's edges.
  const ScreenRect left_compose{-600, 100, -90, 565};
  EXPECT_EQ(Beside(kPicker, left_compose, kLeft, 8), (ScreenRect{-1238, 100, -608, 490}));
  // Without room on either side, the roomier side, staying on the monitor:
  // 300 pixels free on the right, 200 on the left.
  const ScreenRect narrow{0, 0, 1024, 728};
  const ScreenRect roomy_right{200, 100, 724, 565};
  EXPECT_EQ(Beside(kPicker, roomy_right, narrow, 0), (ScreenRect{394, 100, 1024, 490}));
  // 200 on the right, 300 on the left.
  const ScreenRect shifted{300, 100, 824, 565};
  EXPECT_EQ(Beside(kPicker, shifted, narrow, 0), (ScreenRect{0, 100, 630, 490}));
  // The top level with the compose window's, as far as the work area allows.
  const ScreenRect low{300, 800, 810, 1265};
  EXPECT_EQ(Beside(kPicker, low, kPrimary, 8), (ScreenRect{818, 650, 1448, 1040}));
  const ScreenRect high{300, -100, 810, 365};
  EXPECT_EQ(Beside(kPicker, high, kPrimary, 8).top, 0);
}

}  // namespace
}  // namespace parvel::dialogs
