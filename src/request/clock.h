#pragma once

#include "request/delayed_send.h"

namespace parvel {

// The present local time, to the minute: the delayed-send box starts from it
// and a delayed send is checked against it.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDateTime Now() const = 0;
};

// The machine's local time.
const Clock& SystemClock();

}  // namespace parvel
