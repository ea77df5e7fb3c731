#pragma once

#include "request/clock.h"

namespace parvel::fakes {

// A clock that shows whatever time the test sets.
class FixedClock final : public Clock {
 public:
  explicit FixedClock(LocalDateTime at) : now(at) {}
  LocalDateTime Now() const override { return now; }

  LocalDateTime now;
};

}  // namespace parvel::fakes
