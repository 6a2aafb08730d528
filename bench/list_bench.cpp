// The file list on a folder of 20,000 files: navigating to it until the first page is drawn,
// against a baseline in the same process that does the least any list must do: binding the folder,
// a bare EnumObjects and a CompareIDs sort. The list orders the rest of the folder after drawing
// its first page: that time is printed too. Each is run several times, alternating, and the
// fastest run counts: on a shared machine the slower runs measure the other processes' load.
//
// Also counted: the text and icon requests of the first page and of scrolling one page (only
// drawn rows should be asked), and the memory the list holds per item beyond its item lists.
//
//   list_bench [--quick]   (--quick: 2,000 files, two rounds)

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "bench/BenchClock.h"
#include "bench/BenchFolder.h"
#include "bench/BenchMemory.h"
#include "bench/BenchOptions.h"
#include "framework/Form.h"
#include "shell/ShellLibrary.h"
#include "shell/ShellListView.h"

namespace {

// The file list, counting what the control asks of it.
class TCountingListView : public TShellListView {
 public:
  using TShellListView::TShellListView;
  int texts = 0;
  int icons = 0;

 protected:
  std::string ItemText(int index, int subItem) override {
    ++texts;
    return TShellListView::ItemText(index, subItem);
  }
  int ItemImage(int index) override {
    ++icons;
    return TShellListView::ItemImage(index);
  }
};

// The least work: bind, enumerate, sort by CompareIDs.
double Baseline(LPCITEMIDLIST list, std::size_t& listBytes) {
  return Timed([&] {
    TComPtr<IShellFolder> desktop;
    TComPtr<IShellFolder> folder;
    if (FAILED(SHGetDesktopFolder(desktop.Out())) ||
        FAILED(desktop->BindToObject(list, nullptr, IID_IShellFolder, folder.OutVoid())))
      return;
    TComPtr<IEnumIDList> children;
    if (FAILED(folder->EnumObjects(
            nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN, children.Out())))
      return;
    std::vector<LPITEMIDLIST> lists;
    LPITEMIDLIST child = nullptr;
    while (children->Next(1, &child, nullptr) == S_OK) lists.push_back(child);
    std::stable_sort(lists.begin(), lists.end(), [&](LPITEMIDLIST a, LPITEMIDLIST b) {
      return CompareIDsOrder(folder->CompareIDs(0, a, b)) < 0;
    });
    listBytes = 0;
    for (LPITEMIDLIST item : lists) {
      listBytes += IDListSize(item);
      FreeIDList(item);
    }
  });
}

}  // namespace

int main(int argc, char** argv) {
  const bool quick = QuickRun(argc, argv);
  const int files = quick ? 2000 : 20000;
  const int rounds = quick ? 2 : 5;
  TShellLibrary library;
  std::printf("Making %d files (kept for later runs)...\n", files);
  const std::string path = BenchFolder(
      "files-" + std::to_string(files), files, "file%05d.txt", [](const std::string& file) {
        HANDLE made = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (made != INVALID_HANDLE_VALUE) CloseHandle(made);
      });
  TShIDListPtr list;
  TShIDListPtr desktop;
  if (!IDListFromPath(path, list.Out()) || !GetSpecialFolderIDList(sfDesktop, desktop.Out())) {
    std::printf("cannot open %s\n", path.c_str());
    return 1;
  }

  TForm form("list_bench", TBorderStyle::Single);
  form.SetClientSize(640, 540);
  form.Show();
  TCountingListView view(form, TBounds{3, 6, 620, 520});
  view.SetViewStyle(TViewStyle::Report);
  Application().ProcessMessages();

  // Memory first, before any other work has left freed blocks the list could reuse.
  view.SetFolderIDList(desktop.Get());
  UpdateWindow(view.Handle());
  const double memoryEmpty = HeapBytes();
  view.SetFolderIDList(list.Get());
  UpdateWindow(view.Handle());
  const double memoryShown = HeapBytes();

  std::vector<double> baseline, navigation, drawing, wholeOrder;
  std::size_t listBytes = 0;
  int firstTexts = 0;
  int firstIcons = 0;
  for (int round = 0; round < rounds; ++round) {
    baseline.push_back(Baseline(list.Get(), listBytes));
    view.SetFolderIDList(desktop.Get());
    UpdateWindow(view.Handle());
    view.texts = view.icons = 0;
    double drawn = 0;
    navigation.push_back(Timed([&] {
      view.SetFolderIDList(list.Get());
      drawn = Timed([&] { UpdateWindow(view.Handle()); });
    }));
    drawing.push_back(drawn);
    firstTexts = view.texts;
    firstIcons = view.icons;
    // The rest of the order, posted after the refill.
    wholeOrder.push_back(Timed([&] { Application().ProcessMessages(); }));
  }
  const int shown = view.ItemCount();

  // One page down, as Page Down scrolls.
  view.texts = view.icons = 0;
  SendMessageA(view.Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
  UpdateWindow(view.Handle());
  const int perPage = static_cast<int>(SendMessageA(view.Handle(), LVM_GETCOUNTPERPAGE, 0, 0));

  const auto fastest = [](const std::vector<double>& times) {
    return *std::min_element(times.begin(), times.end());
  };
  const double base = fastest(baseline);
  const double navigate = fastest(navigation);
  const double perItem = shown ? (memoryShown - memoryEmpty) / shown : 0;
  std::printf("Folder: %s (%d items listed)\n", path.c_str(), shown);
  std::printf("Fastest of %d rounds:\n", rounds);
  std::printf("  baseline (bind + EnumObjects + CompareIDs sort):         %s\n",
              Figure(base).c_str());
  std::printf(
      "  navigation to the first drawn page:                      %s  ratio %.2f (goal <= "
      "1.25%s)\n",
      Figure(navigate).c_str(), navigate / base, quick ? " at 20,000 files" : "");
  std::printf("  of which drawing the first page:                         %s\n",
              Figure(fastest(drawing)).c_str());
  std::printf("  then ordering the rest, after the page is shown:         %s\n",
              Figure(fastest(wholeOrder)).c_str());
  std::printf("Requests for the first page: %d texts, %d icons (%d rows to a page, 5 columns)\n",
              firstTexts, firstIcons, perPage);
  std::printf("Requests for scrolling one page: %d texts, %d icons\n", view.texts, view.icons);
  const double listPerItem = shown ? static_cast<double>(listBytes) / shown : 0.0;
  std::printf(
      "Memory per listed item: %.0f bytes, %.0f beyond its item list of %.0f (goal: a few "
      "hundred)\n",
      perItem, perItem - listPerItem, listPerItem);
  return 0;
}
