// Folder creation speed of the naming engine against a bare CreateDirectoryA loop over the same
// names, into fresh scratch folders, alternating the two so that drift hits both alike; and the
// process's peak memory, which must not grow with the folder count.
//
// The ratios compare the fastest run of each side, by wall-clock time and by the process's CPU
// time: on a shared machine the slower runs measure the other processes' load, not the code, and
// CPU time is the less disturbed of the two. A third ratio needs no second run at all: the share
// of each engine run spent inside CreateDirectoryA, which is what a bare loop would spend.

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/Win32Naming.h"
#include "bench/BenchOptions.h"
#include "bench/RunTiming.h"
#include "naming/CreationRun.h"
#include "testkit/TestTier.h"

namespace {

using bench::CpuSeconds;
using bench::Fastest;
using bench::Scratch;
using bench::Seconds;
using bench::Timed;
using bench::Timing;

using naming::test::TestSettings;
using naming::test::TestTier;

struct Shape {
  const char* title;
  int parents;
  int children;  // per parent; 0 for a flat run
};

// The sizes of one benchmark run: full, or small for a quick one.
struct Sizes {
  int rounds;     // even in a full run: each side goes first equally often
  int namesOnly;  // folders named without being created
  Shape flat, nested;
};
constexpr Sizes kFull{
    4, 1000000, {"5,000 parents", 5000, 0}, {"200 parents x 100 children", 200, 100}};
constexpr Sizes kQuick{1, 10000, {"50 parents", 50, 0}, {"5 parents x 10 children", 5, 10}};

struct Memory {
  SIZE_T peakWorkingSet, peakPrivate;
};

Memory PeakMemory() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return {counters.PeakWorkingSetSize, counters.PeakPagefileUsage};
}

// Parents P00001, P00002, ...; in each, children C001, C002, ...
struct Templates {
  TestTier parent, child;
  TestSettings settings;
  Templates(const Shape& shape, const std::string& base) {
    parent.front = "P", parent.digits = "5", parent.start = "1";
    parent.end = std::to_string(shape.parents);
    child.front = "C", child.digits = "3", child.start = "1",
    child.end = std::to_string(shape.children);
    settings.childFolders = shape.children > 0;
    settings.base = base;
  }
};

// The real directory creation, with a clock around each call.
class ClockedCreator final : public naming::DirectoryCreator {
 public:
  naming::CreateResult Create(const std::string& path) override {
    const double start = Seconds();
    naming::CreateResult result = creator_.Create(path);
    inside_ += Seconds() - start;
    return result;
  }
  naming::FolderFacts Inspect(const std::string& path) override { return creator_.Inspect(path); }
  double Inside() const { return inside_; }

 private:
  app::Win32DirectoryCreator creator_;
  double inside_ = 0;
};

Timing EngineRun(const Shape& shape, const std::string& base, double& insideCreation) {
  Templates templates(shape, base);
  const naming::DateFormatTable formats = naming::DateTypeInit(nullptr);
  ClockedCreator creator;
  naming::RunOutcome outcome;
  const Timing timing = Timed([&] {
    outcome = naming::RunCreation({templates.parent, templates.child, templates.settings, formats},
                                  creator);
  });
  if (outcome.kind != naming::RunOutcome::Kind::Created || outcome.failures != 0) {
    std::printf("engine run failed: %s\n", outcome.BoxText().c_str());
  }
  insideCreation += creator.Inside();
  return timing;
}

// The names the engine makes, written the plain way.
template <class Create>
void BareNames(const Shape& shape, const std::string& base, Create create) {
  char parent[MAX_PATH], child[MAX_PATH];
  for (int i = 1; i <= shape.parents; ++i) {
    std::snprintf(parent, sizeof parent, "%s\\P%05d", base.c_str(), i);
    create(parent);
    for (int j = 1; j <= shape.children; ++j) {
      std::snprintf(child, sizeof child, "%s\\C%03d", parent, j);
      create(child);
    }
  }
}

Timing BareRun(const Shape& shape, const std::string& base) {
  return Timed(
      [&] { BareNames(shape, base, [](const char* path) { CreateDirectoryA(path, nullptr); }); });
}

// Untimed: the engine and the bare loop make the same names in the same order. The first parents
// stand for all of them, so the check does not raise the process's memory peak.
bool SameNames(Shape shape) {
  shape.parents = std::min(shape.parents, 20);
  struct Recorder final : naming::DirectoryCreator {
    std::vector<std::string> paths;
    naming::FolderFacts Inspect(const std::string&) override { return {}; }
    naming::CreateResult Create(const std::string& path) override {
      paths.push_back(path);
      return {};
    }
  } recorder;
  Templates templates(shape, "X:\\base");
  const naming::DateFormatTable formats = naming::DateTypeInit(nullptr);
  naming::RunCreation({templates.parent, templates.child, templates.settings, formats}, recorder);
  std::vector<std::string> bare;
  BareNames(shape, "X:\\base", [&bare](const char* path) { bare.emplace_back(path); });
  return recorder.paths == bare;
}

void Measure(const Shape& shape, int rounds, Scratch& scratch) {
  const long folders = static_cast<long>(shape.parents) * (1 + shape.children);
  if (!SameNames(shape)) std::printf("warning: the bare loop does not make the engine's names\n");
  std::vector<Timing> engine, bare;
  double insideCreation = 0, engineWall = 0;
  for (int round = 0; round < rounds; ++round) {
    // Alternate which goes first, so that neither always meets a warmer system.
    for (int turn = 0; turn < 2; ++turn) {
      const bool engineTurn = (turn == 0) == (round % 2 == 0);
      const std::string base = scratch.Fresh();
      const Timing timing =
          engineTurn ? EngineRun(shape, base, insideCreation) : BareRun(shape, base);
      (engineTurn ? engine : bare).push_back(timing);
      if (engineTurn) engineWall += timing.wall;
      std::printf("  round %d %-6s %7.2f s wall %7.2f s CPU  %6.0f folders/s\n", round + 1,
                  engineTurn ? "engine" : "bare", timing.wall, timing.cpu, folders / timing.wall);
      std::fflush(stdout);
      scratch.Clear(base);
    }
  }
  const Timing fastEngine = Fastest(engine), fastBare = Fastest(bare);
  const Memory memory = PeakMemory();
  std::printf(
      "%s: %ld folders; fastest runs: engine %.0f folders/s, bare loop %.0f folders/s, "
      "ratio %.3f (wall), %.3f (CPU)\n"
      "  share of the engine's runs inside CreateDirectoryA %.4f\n"
      "  peak working set %.1f MiB, peak private bytes %.1f MiB\n\n",
      shape.title, folders, folders / fastEngine.wall, folders / fastBare.wall,
      fastBare.wall / fastEngine.wall, fastBare.cpu / fastEngine.cpu, insideCreation / engineWall,
      memory.peakWorkingSet / 1048576.0, memory.peakPrivate / 1048576.0);
  std::fflush(stdout);
}

// Names without creations, each reported made: what a run holds beyond its record's names.
void MeasureNamesOnly(int parents) {
  struct Discard final : naming::DirectoryCreator {
    naming::FolderFacts Inspect(const std::string&) override { return {}; }
    naming::CreateResult Create(const std::string&) override { return {}; }
  } discard;
  Templates templates({"", parents, 0}, "X:\\base");
  const naming::DateFormatTable formats = naming::DateTypeInit(nullptr);
  const Memory before = PeakMemory();
  const double seconds =
      Timed([&] {
        naming::RunCreation({templates.parent, templates.child, templates.settings, formats},
                            discard);
      }).wall;
  const Memory after = PeakMemory();
  std::printf(
      "names only, %d folders in %.2f s: peak working set %.1f MiB before, %.1f MiB after; "
      "peak private bytes %.1f MiB before, %.1f MiB after\n\n",
      parents, seconds, before.peakWorkingSet / 1048576.0, after.peakWorkingSet / 1048576.0,
      before.peakPrivate / 1048576.0, after.peakPrivate / 1048576.0);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const Sizes sizes = QuickRun(argc, argv) ? kQuick : kFull;
  Scratch scratch("tessarin-bench-");
  std::printf("Japanese era from the %s\n\n",
              naming::JapaneseEra(std::make_unique<app::Win32AlternativeCalendar>()).UsesPlatform()
                  ? "platform's alternative calendar"
                  : "built-in table");
  MeasureNamesOnly(sizes.namesOnly);  // first, while the peaks are still the engine's own
  Measure(sizes.flat, sizes.rounds, scratch);
  Measure(sizes.nested, sizes.rounds, scratch);
  return 0;
}
