#include <windows.h>

#include "request/clock.h"

namespace parvel {
namespace {

class LocalTimeClock final : public Clock {
 public:
  LocalDateTime Now() const override {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    return {.year = local.wYear,
            .month = local.wMonth,
            .day = local.wDay,
            .hour = local.wHour,
            .minute = local.wMinute};
  }
};

}  // namespace

const Clock& SystemClock() {
  static const LocalTimeClock clock;
  return clock;
}

}  // namespace parvel
