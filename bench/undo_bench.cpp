// Undo of a run's folders through the undo engine, with the window's progress control (its
// progress window shows), against a bare RemoveDirectoryA loop over the same folders in the same
// order, children before their parent. Each side removes what one engine run made, untimed, in a
// fresh scratch folder; both runs come before the round's two removals, which follow each other at
// once, and the sides alternate which goes first. The engine reads the parents' stamps (one
// listing of the base) before removing anything, and a child's only where its parent's entries
// changed since the run; afterwards it lists each directory still there once. The bare loop does
// none of this. The fastest and the middle run of each side count, and the middle of the rounds'
// own ratios, by wall-clock time and by the thread's CPU time: on a shared machine the slower runs
// measure the other processes' load.
//
// --quick: small sizes and one round, for CI.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/RunProgress.h"
#include "app/Win32Naming.h"
#include "bench/BenchOptions.h"
#include "bench/RunTiming.h"
#include "framework/Application.h"
#include "naming/Composition.h"
#include "naming/Undo.h"
#include "testkit/TestTier.h"

namespace {

using bench::Scratch;
using bench::Timed;
using bench::Timing;
using naming::test::TestSettings;
using naming::test::TestTier;

constexpr bench::CpuClock kClock = bench::CpuClock::Thread;

struct Shape {
  const char* title;
  int parents;
  int children;  // per parent
};

// Parents P00001, ...; in each, children C001, ... The run's record of them.
naming::RunRecord MakeFolders(const Shape& shape, const std::string& base) {
  TestTier parent, child;
  TestSettings settings;
  parent.front = "P", parent.digits = "5", parent.start = "1";
  parent.end = std::to_string(shape.parents);
  child.front = "C", child.digits = "3", child.start = "1";
  child.end = std::to_string(shape.children);
  settings.childFolders = shape.children > 0;
  settings.base = base;
  const naming::DateFormatTable formats = naming::DateTypeInit(nullptr);
  app::Win32DirectoryCreator creator;
  naming::RunOutcome outcome = naming::RunCreation({parent, child, settings, formats}, creator);
  if (outcome.failures != 0)
    std::printf("warning: the run failed: %s\n", outcome.BoxText().c_str());
  return std::move(outcome.record);
}

// The record's folders in undo order, for the bare loop.
std::vector<std::string> UndoOrder(const naming::RunRecord& record) {
  std::vector<std::string> paths;
  const auto& groups = record.Groups();
  for (auto group = groups.rbegin(); group != groups.rend(); ++group) {
    const std::string parent = naming::FolderPath(record.Base(), group->parent);
    for (auto child = group->children.rbegin(); child != group->children.rend(); ++child)
      paths.push_back(naming::FolderPath(parent, *child));
    if (group->parentMade) paths.push_back(parent);
  }
  return paths;
}

void Measure(const Shape& shape, int rounds, TForm& owner, Scratch& scratch) {
  const long folders = static_cast<long>(shape.parents) * (1 + shape.children);
  std::vector<Timing> engine, bare;
  for (int round = 0; round < rounds; ++round) {
    // Both sides' folders first, so that the two timed removals follow each other at once.
    const std::string engineBase = scratch.Fresh(), bareBase = scratch.Fresh();
    naming::RunRecord record = MakeFolders(shape, engineBase);
    const std::vector<std::string> barePaths = UndoOrder(MakeFolders(shape, bareBase));
    for (int turn = 0; turn < 2; ++turn) {
      const bool engineTurn = (turn == 0) == (round % 2 == 0);
      Timing timing;
      std::string outcome;
      if (engineTurn) {
        app::Win32DirectoryRemover remover;
        naming::UndoOutcome undo;
        timing = Timed(
            [&] {
              TWindowRunControl control(owner, "フォルダを削除しています");
              undo = naming::UndoRun(record, remover, &control);
            },
            kClock);
        if (undo.removed != static_cast<std::uint64_t>(folders)) outcome = undo.BoxText();
      } else {
        timing = Timed(
            [&] {
              for (const std::string& path : barePaths) RemoveDirectoryA(path.c_str());
            },
            kClock);
      }
      (engineTurn ? engine : bare).push_back(timing);
      std::printf("  round %d %-6s %7.2f s wall %7.2f s CPU  %6.0f folders/s\n", round + 1,
                  engineTurn ? "undo" : "bare", timing.wall, timing.cpu, folders / timing.wall);
      if (!outcome.empty()) std::printf("  undo did not remove all: %s\n", outcome.c_str());
      std::fflush(stdout);
    }
    scratch.Clear(engineBase);
    scratch.Clear(bareBase);
  }
  bench::PrintComparison(shape.title, folders, rounds, "undo", engine, "bare RemoveDirectoryA loop",
                         bare);
}

}  // namespace

int main(int argc, char** argv) {
  const bool quick = QuickRun(argc, argv);
  Application().SetTitle("Tessarin");
  TForm owner("Tessarin", TBorderStyle::Single);
  owner.Show();
  Scratch scratch("tessarin-undo-bench-");
  if (quick) {
    Measure({"10 parents x 20 children", 10, 20}, 1, owner, scratch);
  } else {
    Measure({"200 parents x 100 children", 200, 100}, 8, owner, scratch);
  }
  return 0;
}
