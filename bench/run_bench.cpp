// Creation runs from the real main window, pressed as a user presses "作成(&M)", against a bare
// CreateDirectoryA loop over the same names, alternating the two into fresh scratch folders:
//   - 5,000 parent folders, each with its own free line;
//   - 200 parent folders x 100 child folders, the children with free lines.
// Both runs ask their question (more than 1,000 folders) and show the progress window. A window run
// is timed from the question box's end to the closing box's start, both answered at once by a hook,
// so only the run itself counts. The fastest and the middle run of each side count, and the middle
// of the rounds' own ratios, by wall-clock time and by the CPU time of the thread both run on: on a
// shared machine the slower runs measure the other processes' load. A last figure compares the
// sides' shares of time spent inside CreateDirectoryA: where both sides' calls cost the same, it
// is what the wall ratio would be on a disk that kept one speed.
//
// --quick: small sizes and one round, for CI.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Main.h"
#include "bench/CreationClock.h"
#include "bench/RunTiming.h"
#include "framework/Application.h"
#include "shell/ShellIDFunc.h"
#include "shell/ShellLibrary.h"

namespace {

using bench::CreationClock;
using bench::Scratch;
using bench::Timed;
using bench::Timing;

// Both sides run on this thread; the tree's watcher thread answers their folder changes.
constexpr bench::CpuClock kClock = bench::CpuClock::Thread;

struct Shape {
  const char* title;
  int parents;
  int children;  // per parent; 0 for a flat run with the parents' free lines
};

// The run's boxes, answered as soon as they show; the moments the run starts and ends.
class BoxHook {
 public:
  BoxHook() {
    self_ = this;
    hook_ = SetWindowsHookExA(WH_CBT, Proc, nullptr, GetCurrentThreadId());
  }
  ~BoxHook() {
    UnhookWindowsHookEx(hook_);
    self_ = nullptr;
  }
  void Reset(bool expectQuestion) {
    expectQuestion_ = expectQuestion;
    boxes_ = 0;
    progressShown_ = false;
    start_ = bench::Now(kClock);
  }
  Timing Elapsed() const { return {end_.wall - start_.wall, end_.cpu - start_.cpu}; }
  bool ProgressShown() const { return progressShown_; }
  const std::string& ClosingText() const { return closingText_; }

 private:
  static bool IsBox(HWND window) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    return std::strcmp(name, "#32770") == 0;
  }
  static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) {
    BoxHook& self = *self_;
    const auto window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND) {
      const CREATESTRUCTA& create = *reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
      if (!IS_INTRESOURCE(create.lpszName) && create.lpszName != nullptr &&
          std::strcmp(create.lpszName, "フォルダを作成しています") == 0) {
        self.progressShown_ = true;
      }
      if (IsBox(window) && ++self.boxes_ == (self.expectQuestion_ ? 2 : 1)) {
        self.end_ = bench::Now(kClock);
      }
    } else if (code == HCBT_ACTIVATE && IsBox(window)) {
      char text[1024] = {};
      GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
      if (self.boxes_ == (self.expectQuestion_ ? 2 : 1)) self.closingText_ = text;
      PostMessageA(window, WM_COMMAND, IDOK, 0);
    } else if (code == HCBT_DESTROYWND && IsBox(window) && self.expectQuestion_ &&
               self.boxes_ == 1) {
      self.start_ = bench::Now(kClock);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static BoxHook* self_;
  HHOOK hook_;
  bool expectQuestion_ = false;
  int boxes_ = 0;
  bool progressShown_ = false;
  Timing start_, end_;
  std::string closingText_;
};

BoxHook* BoxHook::self_ = nullptr;

// One free line per folder of the tier: f00001, f00002, ...
std::string FreeLines(int count, const char* format) {
  std::string text;
  char line[32];
  for (int i = 1; i <= count; ++i) {
    std::snprintf(line, sizeof line, format, i);
    text.append(line).append("\r\n");
  }
  return text;
}

// Parents P00001f00001 ... (flat) or P00001 ... with children C001g001 ...
template <class Create>
void BareNames(const Shape& shape, const std::string& base, Create create) {
  char parent[MAX_PATH], child[MAX_PATH];
  for (int i = 1; i <= shape.parents; ++i) {
    if (shape.children == 0) {
      std::snprintf(parent, sizeof parent, "%s\\P%05df%05d", base.c_str(), i, i);
    } else {
      std::snprintf(parent, sizeof parent, "%s\\P%05d", base.c_str(), i);
    }
    create(parent);
    for (int j = 1; j <= shape.children; ++j) {
      std::snprintf(child, sizeof child, "%s\\C%03dg%03d", parent, j, j);
      create(child);
    }
  }
}

class WindowRunner {
 public:
  WindowRunner() {
    form_.OnCreate();
    Application().SetMainForm(&form_);
    form_.Show();
    form_.FinishStartUp();
    Application().ProcessMessages();
  }

  void Fill(const Shape& shape) {
    Type(form_.ParentTier.FrontText, "P");
    Type(form_.ParentTier.StartNumber, "1");
    Type(form_.ParentTier.EndNumber, std::to_string(shape.parents));
    Type(form_.ParentTier.DigitCount, "5");
    const bool children = shape.children > 0;
    if (children != form_.CheckBox1.Checked()) form_.CheckBox1.SetChecked(children);
    TMemo& lines = children ? form_.ChildTier().FreeLines : form_.ParentTier.FreeLines;
    (children ? form_.ParentTier.FreeLines : form_.ChildTier().FreeLines).SetText("");
    lines.SetText(
        FreeLines(children ? shape.children : shape.parents, children ? "g%03d" : "f%05d"));
    form_.ParentTier.Pattern.SetItemIndex(children ? 0 : 1);
    form_.ChildTier().Pattern.SetItemIndex(1);
    Type(form_.ChildTier().FrontText, "C");
    Type(form_.ChildTier().StartNumber, "1");
    Type(form_.ChildTier().EndNumber, std::to_string(shape.children));
    Type(form_.ChildTier().DigitCount, "3");
    Application().ProcessMessages();
  }

  Timing Run(const Shape& shape, const std::string& base, BoxHook& hook) {
    TShIDListPtr list;
    IDListFromPath(base, list.Out());
    form_.ShellTreeView1.SelectIDList(list.Get());
    if (form_.ShellTreeView1.SelectedPath() != base)
      std::printf("warning: the tree did not select %s\n", base.c_str());
    hook.Reset(static_cast<long>(shape.parents) * (1 + shape.children) > 1000);
    form_.Button1.Click();
    Application().ProcessMessages();  // what the run left waiting: the tree's refresh
    return hook.Elapsed();
  }

  // The folders a run made below `base`, for the check against the bare loop.
  static std::vector<std::string> Names(const std::string& base) {
    std::vector<std::string> names;
    std::function<void(const std::filesystem::path&)> walk =
        [&](const std::filesystem::path& folder) {
          std::vector<std::filesystem::path> inside;
          for (const auto& entry : std::filesystem::directory_iterator(folder))
            inside.push_back(entry.path());
          std::sort(inside.begin(), inside.end());
          for (const auto& path : inside) {
            names.push_back(path.string());
            walk(path);
          }
        };
    walk(base);
    return names;
  }

 private:
  static void Type(TWinControl& field, const std::string& text) {
    SendMessageA(field.Handle(), EM_SETSEL, 0, -1);
    SendMessageA(field.Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
  }

  TForm1 form_;
};

Timing BareRun(const Shape& shape, const std::string& base) {
  return Timed(
      [&] { BareNames(shape, base, [](const char* path) { CreateDirectoryA(path, nullptr); }); },
      kClock);
}

// The middle of the rounds' ratios of the window's share of time inside CreateDirectoryA to the
// bare loop's, and of the two sides' time inside it.
void PrintShares(const std::vector<Timing>& windowRuns, const std::vector<double>& windowInside,
                 const std::vector<Timing>& bareRuns, const std::vector<double>& bareInside) {
  std::vector<double> shares, calls;
  double windowShare = 0, bareShare = 0;
  for (std::size_t round = 0; round < windowRuns.size(); ++round) {
    const double window = windowInside[round] / windowRuns[round].wall;
    const double bare = bareInside[round] / bareRuns[round].wall;
    windowShare += window / static_cast<double>(windowRuns.size());
    bareShare += bare / static_cast<double>(windowRuns.size());
    shares.push_back(window / bare);
    calls.push_back(windowInside[round] / bareInside[round]);
  }
  std::printf(
      "  inside CreateDirectoryA: window %.4f of its time, bare loop %.4f (means); round by "
      "round: share ratio %.3f (goal >= 0.95), the window's calls took %.3f times the bare "
      "loop's\n\n",
      windowShare, bareShare, bench::Middle(shares), bench::Middle(calls));
  std::fflush(stdout);
}

void Measure(const Shape& shape, int rounds, WindowRunner& window, BoxHook& hook, Scratch& scratch,
             CreationClock& clock) {
  const long folders = static_cast<long>(shape.parents) * (1 + shape.children);
  window.Fill(shape);
  std::vector<Timing> windowRuns, bareRuns;
  std::vector<double> windowInside, bareInside;
  for (int round = 0; round < rounds; ++round) {
    for (int turn = 0; turn < 2; ++turn) {
      const bool windowTurn = (turn == 0) == (round % 2 == 0);
      const std::string base = scratch.Fresh();
      clock.Reset();
      const Timing timing = windowTurn ? window.Run(shape, base, hook) : BareRun(shape, base);
      (windowTurn ? windowRuns : bareRuns).push_back(timing);
      (windowTurn ? windowInside : bareInside).push_back(clock.Inside());
      std::printf("  round %d %-6s %7.2f s wall %7.2f s CPU %7.2f s inside  %6.0f folders/s%s\n",
                  round + 1, windowTurn ? "window" : "bare", timing.wall, timing.cpu,
                  clock.Inside(), folders / timing.wall,
                  windowTurn ? (hook.ProgressShown() ? "  (progress window shown)"
                                                     : "  (no progress window)")
                             : "");
      if (windowTurn && hook.ClosingText() != "フォルダを作成しました") {
        std::printf("  window run ended with: %s\n", hook.ClosingText().c_str());
      }
      if (round == 0 && windowTurn) {
        std::vector<std::string> bare;
        BareNames(shape, base, [&bare](const char* path) { bare.emplace_back(path); });
        std::sort(bare.begin(), bare.end());
        std::vector<std::string> made = WindowRunner::Names(base);
        std::sort(made.begin(), made.end());
        if (made != bare)
          std::printf("  warning: the bare loop does not make the window's names\n");
      }
      std::fflush(stdout);
      scratch.Clear(base);
    }
  }
  bench::PrintComparison(shape.title, folders, rounds, "window", windowRuns, "bare loop", bareRuns);
  PrintShares(windowRuns, windowInside, bareRuns, bareInside);
}

}  // namespace

int main(int argc, char** argv) {
  const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
  const TShellLibrary shellLibrary;
  Application().SetTitle("Tessarin");
  Scratch scratch("tessarin-run-bench-");
  BoxHook hook;
  WindowRunner window;
  CreationClock clock;
  if (!clock.Installed()) std::printf("warning: CreateDirectoryA is not imported by name\n");
  const int rounds = quick ? 1 : 8;  // even: each side goes first equally often
  if (quick) {
    Measure({"1,200 parents with free lines", 1200, 0}, rounds, window, hook, scratch, clock);
    Measure({"12 parents x 100 children with free lines", 12, 100}, rounds, window, hook, scratch,
            clock);
  } else {
    Measure({"5,000 parents with free lines", 5000, 0}, rounds, window, hook, scratch, clock);
    Measure({"200 parents x 100 children with free lines", 200, 100}, rounds, window, hook, scratch,
            clock);
  }
  return 0;
}
