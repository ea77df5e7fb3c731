#include <windows.h>

#include "request/clock.h"
#include "request/system_time_win.h"

namespace parvel {
namespace {

class LocalTimeClock final : public Clock {
 public:
  LocalDateTime Now() const override {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    return FromSystemTime(local);
  }
};

}  // namespace

const Clock& SystemClock() {
  static const LocalTimeClock clock;
  return clock;
}

}  // namespace parvel
