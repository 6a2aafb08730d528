#pragma once
// Wall-clock timing shared by the benchmarks.

#include <windows.h>

#include <cstdio>
#include <string>

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

// Seconds as the benchmarks print them: "0.123 s".
inline std::string Figure(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f s", seconds);
  return text;
}
