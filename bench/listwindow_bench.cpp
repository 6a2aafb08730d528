// "作成するフォルダの一覧" for a run of 1,000,000 folders: from nothing to its first drawn page,
// against a bare owner-data list view of as many rows in a window of the same size, which does the
// least any such list must do: set its row count and draw one page of fixed texts. Rounds
// alternate and the fastest counts. Also the heap the open list holds per name (its counting
// worker stopped), which must not grow with the run.
//
//   listwindow_bench [--quick]   (--quick: 10,000 names, one round)

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/FolderListWindow.h"
#include "app/Win32Naming.h"
#include "bench/BenchClock.h"
#include "bench/BenchMemory.h"
#include "bench/BenchOptions.h"
#include "framework/Application.h"
#include "framework/Dpi.h"
#include "naming/Calendar.h"
#include "testkit/TestTier.h"

namespace {

// Rows of the bare list: nothing behind them.
class TBareListView final : public TCustomListView {
 public:
  TBareListView(TContainer& parent, const TBounds& bounds) : TCustomListView(parent, bounds) {
    SetViewStyle(TViewStyle::Report);
    for (const char* caption : {"番号", "フォルダ", "状態", "理由"})
      AddColumn(caption, Dpi().Scale(120), TColumnAlignment::Left);
  }

 protected:
  std::string ItemText(int, int) override { return "x"; }
  int ItemImage(int) override { return -1; }
  int FindText(const std::string&, bool, int, bool) override { return -1; }
};

// The bare list in a window of the list window's size.
class TBareWindow final : public TForm {
 public:
  TBareWindow(TForm& owner, int rows)
      : TForm("bare", TBorderStyle::Single, &owner), View(*this, {8, 8, 744, 400}) {
    SetClientSize(Dpi().Scale(760), Dpi().Scale(477));
    View.SetItemCount(rows);
  }
  TBareListView View;
};

// Seconds from nothing to the first drawn page; closing the window is not counted.
double Bare(TForm& owner, int rows) {
  std::unique_ptr<TBareWindow> window;
  return Timed([&] {
    window = std::make_unique<TBareWindow>(owner, rows);
    window->Show();
    UpdateWindow(window->View.Handle());
  });
}

std::unique_ptr<TFolderListForm> Open(TForm& owner, const naming::RunInputs& inputs) {
  naming::RunOutcome refusal;
  auto form = std::make_unique<TFolderListForm>(
      owner, *naming::RunListing::Make(inputs, app::DiskReader().Folding(), refusal));
  form->Show();
  UpdateWindow(form->List.Handle());
  return form;
}

}  // namespace

int main(int argc, char** argv) {
  const bool quick = QuickRun(argc, argv);
  const int names = quick ? 10000 : 1000000;
  const int rounds = quick ? 1 : 5;

  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  naming::test::TestTier parent, child;
  parent.start = "1", parent.end = std::to_string(names), parent.front = "listwindow_bench";
  const naming::FixedRunSettings settings(false, temp);
  const naming::DateFormatTable formats = naming::DateTypeInit(nullptr);
  const naming::RunInputs inputs{parent, child, settings, formats};

  TForm owner("listwindow_bench", TBorderStyle::Single);
  Application().ProcessMessages();
  std::vector<double> bare, list;
  for (int round = 0; round < rounds; ++round) {
    bare.push_back(Bare(owner, names));
    Application().ProcessMessages();
    std::unique_ptr<TFolderListForm> opened;
    list.push_back(Timed([&] { opened = Open(owner, inputs); }));
    opened.reset();
    Application().ProcessMessages();
  }
  const double before = HeapBytes();
  std::unique_ptr<TFolderListForm> shown = Open(owner, inputs);
  shown->StopCounting();
  const double perName = (HeapBytes() - before) / names;
  shown.reset();

  const double fastestBare = *std::min_element(bare.begin(), bare.end());
  const double fastestList = *std::min_element(list.begin(), list.end());
  std::printf("List of %d folders, fastest of %d rounds:\n", names, rounds);
  std::printf("  bare owner-data list view to its first page:  %s\n", Figure(fastestBare).c_str());
  std::printf("  the list window to its first drawn page:      %s  ratio %.2f (goal <= 1.5)\n",
              Figure(fastestList).c_str(), fastestList / fastestBare);
  std::printf("Heap held by the open list: %.3f bytes a name (goal <= 16)\n", perName);
  return 0;
}
