#pragma once
// What the creation-run benchmarks share: clocks, the fastest and the middle of several runs, and
// scratch folders for the runs' directories.

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/BenchClock.h"

namespace bench {

using ::Seconds;  // the wall clock, beside the CPU clocks here

// A FILETIME span in seconds.
inline double Seconds(const FILETIME& time) {
  return (static_cast<double>(time.dwHighDateTime) * 4294967296.0 + time.dwLowDateTime) / 1e7;
}

// The process's CPU time, kernel and user: less disturbed by a shared machine than wall time.
inline double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  return Seconds(kernel) + Seconds(user);
}

// The calling thread's CPU time: leaves out the process's other threads (the folder tree's
// watcher, which answers the runs' folder changes in its own time).
inline double ThreadCpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  return Seconds(kernel) + Seconds(user);
}

enum class CpuClock { Process, Thread };

struct Timing {
  double wall = 0, cpu = 0;
};

inline Timing Now(CpuClock clock = CpuClock::Process) {
  return {Seconds(), clock == CpuClock::Process ? CpuSeconds() : ThreadCpuSeconds()};
}

template <class Work>
Timing Timed(Work work, CpuClock clock = CpuClock::Process) {
  const Timing start = Now(clock);
  work();
  const Timing end = Now(clock);
  return {end.wall - start.wall, end.cpu - start.cpu};
}

// On a shared machine the slower runs measure the other processes' load, not the code.
inline Timing Fastest(const std::vector<Timing>& timings) {
  Timing fastest = timings.front();
  for (const Timing& timing : timings) {
    fastest.wall = std::min(fastest.wall, timing.wall);
    fastest.cpu = std::min(fastest.cpu, timing.cpu);
  }
  return fastest;
}

// The middle run, wall and CPU each on its own (the lower middle of an even count).
inline Timing Median(std::vector<Timing> timings) {
  const auto middle = timings.begin() + static_cast<std::ptrdiff_t>((timings.size() - 1) / 2);
  const auto by = [](double Timing::*clock) {
    return [clock](const Timing& a, const Timing& b) { return a.*clock < b.*clock; };
  };
  Timing median;
  std::nth_element(timings.begin(), middle, timings.end(), by(&Timing::wall));
  median.wall = middle->wall;
  std::nth_element(timings.begin(), middle, timings.end(), by(&Timing::cpu));
  median.cpu = middle->cpu;
  return median;
}

// The middle of several figures (of an even count, the mean of the two middle ones).
inline double Middle(std::vector<double> figures) {
  std::sort(figures.begin(), figures.end());
  const std::size_t half = figures.size() / 2;
  return figures.size() % 2 ? figures[half] : (figures[half - 1] + figures[half]) / 2;
}

// The median of the rounds' own ratios, the bare loop's time to the program's in each round (of
// an even count, the mean of the two middle ones): the two sides of a round ran next to each
// other, so a machine that slows or speeds up for minutes (a shared virtual disk does) weighs on
// both alike.
inline Timing MedianRatio(const std::vector<Timing>& programRuns,
                          const std::vector<Timing>& bareRuns) {
  std::vector<double> wall, cpu;
  for (std::size_t round = 0; round < programRuns.size() && round < bareRuns.size(); ++round) {
    wall.push_back(bareRuns[round].wall / programRuns[round].wall);
    cpu.push_back(bareRuns[round].cpu / programRuns[round].cpu);
  }
  return {Middle(wall), Middle(cpu)};
}

// The closing lines of a side-by-side comparison, of the fastest and of the middle rounds, in
// folders a second, with the ratio of the bare loop's time to the program's, and the middle of the
// rounds' own ratios (the goal: at least 0.95).
inline void PrintComparison(const char* title, long folders, int rounds, const char* program,
                            const std::vector<Timing>& programRuns, const char* bare,
                            const std::vector<Timing>& bareRuns) {
  std::printf("%s: %ld folders, %d round(s)\n", title, folders, rounds);
  const auto line = [&](const char* which, Timing ofProgram, Timing ofBare) {
    std::printf(
        "  %s runs: %s %.0f folders/s, %s %.0f folders/s, ratio %.3f (wall), %.3f (CPU); "
        "goal >= 0.95\n",
        which, program, folders / ofProgram.wall, bare, folders / ofBare.wall,
        ofBare.wall / ofProgram.wall, ofBare.cpu / ofProgram.cpu);
  };
  line("fastest", Fastest(programRuns), Fastest(bareRuns));
  line("median", Median(programRuns), Median(bareRuns));
  const Timing paired = MedianRatio(programRuns, bareRuns);
  std::printf("  round by round: median ratio %.3f (wall), %.3f (CPU); goal >= 0.95\n\n",
              paired.wall, paired.cpu);
  std::fflush(stdout);
}

// <temp>\<prefix><tick count>, removed with everything in it.
class Scratch {
 public:
  explicit Scratch(const std::string& prefix) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    root_ = std::string(temp) + prefix + std::to_string(GetTickCount());
    CreateDirectoryA(root_.c_str(), nullptr);
  }
  ~Scratch() { std::filesystem::remove_all(root_); }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  // A new, empty folder for one timed run.
  std::string Fresh() {
    const std::string path = root_ + "\\run" + std::to_string(++runs_);
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
  }
  void Clear(const std::string& path) const { std::filesystem::remove_all(path); }

 private:
  std::string root_;
  int runs_ = 0;
};

}  // namespace bench
