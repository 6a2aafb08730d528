#pragma once
// Wall-clock timing shared by the benchmarks.

#include <windows.h>

inline double Seconds() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// How long `work` takes, in seconds.
template <class Work>
double Timed(Work work) {
  const double start = Seconds();
  work();
  return Seconds() - start;
}
