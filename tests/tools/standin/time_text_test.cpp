#include "standin_host/time_text.h"

#include <gtest/gtest.h>

namespace parvel::standin {
namespace {

constexpr LocalTime kNow{.year = 2026, .month = 12, .day = 31, .hour = 17, .minute = 30};

TEST(TimeText, AddsAcrossDayMonthAndYearEnds) {
  EXPECT_EQ(AddMinutes(kNow, 12 * 60),
            (LocalTime{.year = 2027, .month = 1, .day = 1, .hour = 5, .minute = 30}));
  EXPECT_EQ(AddMinutes({.year = 2028, .month = 3, .day = 1, .hour = 0, .minute = 5}, -10),
            (LocalTime{.year = 2028, .month = 2, .day = 29, .hour = 23, .minute = 55}));
  EXPECT_EQ(AddMinutes(kNow, 0), kNow);
}

TEST(TimeText, FormatsWithTheBoxPatterns) {
  EXPECT_EQ(FormatTime(kNow, L"dd mmm yy hh:mm"), L"31 Dec 26 17:30");
  EXPECT_EQ(FormatTime({.year = 2005, .month = 3, .day = 4, .hour = 9, .minute = 7},
                       L"dd-mmm-yyyy hh:mm"),
            L"04-Mar-2005 09:07");
  EXPECT_EQ(FormatTime(kNow, L"yyyy-mm-dd"), L"2026-12-31") << "mm before any hh is the month";
}

TEST(TimeText, ExpandsEveryTimeInAText) {
  EXPECT_EQ(ExpandTimes(L"at {now+12h} or {now-30m:hh:mm}, {now+2d:dd}", kNow),
            L"at 01 Jan 27 05:30 or 17:00, 02");
  EXPECT_EQ(ExpandTimes(L"{now}", kNow), L"31 Dec 26 17:30");
  EXPECT_EQ(ExpandTimes(L"{braces} {nowhere", kNow), L"{braces} {nowhere")
      << "only a closed {now...} is a time";
  EXPECT_THROW(ExpandTimes(L"{now+12}", kNow), TimeTextError);
  EXPECT_THROW(ExpandTimes(L"{now*2h}", kNow), TimeTextError);
  EXPECT_THROW(ExpandTimes(L"{now+h}", kNow), TimeTextError);
  EXPECT_THROW(ExpandTimes(L"{now+1h", kNow), TimeTextError);
}

}  // namespace
}  // namespace parvel::standin
