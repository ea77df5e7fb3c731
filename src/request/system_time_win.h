#pragma once

#include <windows.h>

#include "request/delayed_send.h"

namespace parvel {

// Minutes are the finest unit the add-in deals in: seconds are dropped.
inline LocalDateTime FromSystemTime(const SYSTEMTIME& time) {
  return {.year = time.wYear,
          .month = time.wMonth,
          .day = time.wDay,
          .hour = time.wHour,
          .minute = time.wMinute};
}

inline SYSTEMTIME ToSystemTime(const LocalDateTime& when) {
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(when.year);
  time.wMonth = static_cast<WORD>(when.month);
  time.wDay = static_cast<WORD>(when.day);
  time.wHour = static_cast<WORD>(when.hour);
  time.wMinute = static_cast<WORD>(when.minute);
  return time;
}

}  // namespace parvel
