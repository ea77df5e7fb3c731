#include "request/clock.h"

#include <gtest/gtest.h>

#include <ctime>

namespace parvel {
namespace {

LocalDateTime CLibraryLocalTime() {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  return {local->tm_year + 1900, local->tm_mon + 1, local->tm_mday, local->tm_hour, local->tm_min};
}

TEST(SystemClock, GivesTheLocalTimeToTheMinute) {
  const std::int64_t before = MinuteNumber(CLibraryLocalTime());
  const std::int64_t now = MinuteNumber(SystemClock().Now());
  const std::int64_t after = MinuteNumber(CLibraryLocalTime());
  EXPECT_LE(before, now);
  EXPECT_LE(now, after);
}

}  // namespace
}  // namespace parvel
