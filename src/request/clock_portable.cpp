#include <time.h>

#include <ctime>

#include "request/clock.h"

namespace parvel {
namespace {

class LocalTimeClock final : public Clock {
 public:
  LocalDateTime Now() const override {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {.year = local.tm_year + 1900,
            .month = local.tm_mon + 1,
            .day = local.tm_mday,
            .hour = local.tm_hour,
            .minute = local.tm_min};
  }
};

}  // namespace

const Clock& SystemClock() {
  static const LocalTimeClock clock;
  return clock;
}

}  // namespace parvel
