#pragma once

#include <windows.h>

namespace parvel::standin {

// Milliseconds since construction, from the performance counter.
class Stopwatch {
 public:
  Stopwatch() { QueryPerformanceCounter(&start_); }
  double Milliseconds() const {
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start_.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
  }

 private:
  LARGE_INTEGER start_;
};

}  // namespace parvel::standin
