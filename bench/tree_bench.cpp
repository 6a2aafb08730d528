// The folder tree on a folder with 20,000 sub-folders: expanding it, and RefreshTree of the
// expanded tree with nothing changed, against a baseline in the same process that does the least
// any tree must do: a bare EnumObjects, a CompareIDs sort and 20,000 plain nodes inserted into a
// native tree control. Each is run several times, alternating, and the fastest run counts: on a
// shared machine the slower runs measure the other processes' load.
//
// Also counted: how many icons the tree asked the shell for (only drawn nodes should be asked),
// and how many nodes exist below the 20,000 (none: the expand buttons come from the folders'
// attributes, not from listing them).

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchOptions.h"
#include "bench/BenchClock.h"
#include "bench/BenchFolder.h"
#include "framework/Form.h"
#include "shell/ShellDataItems.h"
#include "shell/ShellLibrary.h"
#include "shell/ShellTreeView.h"

namespace {

struct Sizes {
  int folders;
  int rounds;
};
constexpr Sizes kFull{20000, 5};
constexpr Sizes kQuick{300, 1};

// The least work: enumerate, sort by CompareIDs and insert plain nodes under a collapsed root,
// then expand the root and draw.
double Baseline(IShellFolder& folder, HWND tree) {
  return Timed([&] {
    TComPtr<IEnumIDList> children;
    if (FAILED(
            folder.EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN, children.Out())))
      return;
    std::vector<LPITEMIDLIST> lists;
    LPITEMIDLIST child = nullptr;
    while (children->Next(1, &child, nullptr) == S_OK) lists.push_back(child);
    std::sort(lists.begin(), lists.end(),
              [&](LPITEMIDLIST a, LPITEMIDLIST b) { return CompareChildIDs(folder, a, b) < 0; });
    SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
    TVINSERTSTRUCTA insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>("folders");
    const auto root = reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    insert.hParent = root;
    insert.item.pszText = const_cast<char*>("folder");
    for (std::size_t i = 0; i < lists.size(); ++i)
      SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
    UpdateWindow(tree);
    for (LPITEMIDLIST list : lists) FreeIDList(list);
  });
}

}  // namespace

int main(int argc, char** argv) {
  const Sizes sizes = QuickRun(argc, argv) ? kQuick : kFull;
  TShellLibrary library;
  std::printf("Making %d folders (kept for later runs)...\n", sizes.folders);
  const std::string path =
      BenchFolder("folders" + std::to_string(sizes.folders), sizes.folders, "folder%05d",
                  [](const std::string& folder) { CreateDirectoryA(folder.c_str(), nullptr); });

  TShIDListPtr list;
  TComPtr<IShellFolder> desktop;
  TComPtr<IShellFolder> folder;
  if (!IDListFromPath(path, list.Out()) || FAILED(SHGetDesktopFolder(desktop.Out())) ||
      FAILED(desktop->BindToObject(list.Get(), nullptr, IID_IShellFolder, folder.OutVoid()))) {
    std::printf("cannot open %s\n", path.c_str());
    return 1;
  }

  TForm form("tree_bench", TBorderStyle::Single);
  form.SetClientSize(640, 540);
  form.Show();
  TShellTreeView tree(form, TBounds{3, 6, 300, 520});
  int iconsAsked = 0;
  int openIconsAsked = 0;
  tree.OnGetImageIndex = [&](TTreeNode&) { ++iconsAsked; };
  tree.OnGetSelectedIndex = [&](TTreeNode&) { ++openIconsAsked; };
  TTreeNode* node = tree.FindNodeByIDList(list.Get());
  if (FolderItemOf(node)->GetPath() != path) {
    std::printf("the tree does not find %s\n", path.c_str());
    return 1;
  }
  tree.SetSelected(node);
  UpdateWindow(tree.Handle());
  const HWND plain =
      CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES,
                      320, 6, 300, 520, form.Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);

  std::vector<double> baseline, expansion, paint, refresh, removal;
  for (int round = 0; round < sizes.rounds; ++round) {
    SendMessageA(plain, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    baseline.push_back(Baseline(*folder.Get(), plain));

    node->Collapse();
    removal.push_back(Timed([&] { node->DeleteChildren(); }));
    UpdateWindow(tree.Handle());
    iconsAsked = openIconsAsked = 0;
    expansion.push_back(Timed([&] { node->Expand(); }));
    paint.push_back(Timed([&] { UpdateWindow(tree.Handle()); }));
    refresh.push_back(Timed([&] {
      tree.RefreshTree();
      UpdateWindow(tree.Handle());
    }));
  }

  const int children = node->Count();
  int grandchildren = 0;
  for (TTreeNode* child = node->GetFirstChild(); child; child = child->GetNextSibling())
    if (child->GetFirstChild()) ++grandchildren;
  const auto fastest = [](const std::vector<double>& times) {
    return *std::min_element(times.begin(), times.end());
  };
  const double base = fastest(baseline);
  const double expand = fastest(expansion);
  const double drawn = fastest(paint);
  const double again = fastest(refresh);

  std::printf("Folder: %s (%d sub-folders shown)\n", path.c_str(), children);
  std::printf("Fastest of %d rounds:\n", sizes.rounds);
  std::printf("  baseline (EnumObjects + CompareIDs sort + %d plain nodes, drawn): %s\n", children,
              Figure(base).c_str());
  std::printf(
      "  expansion: nodes made and the folder opened:                    %s  ratio %.2f (goal <= "
      "1.25)\n",
      Figure(expand).c_str(), expand / base);
  std::printf("  first drawing of the opened folder, with the icons it asks for:  %s\n",
              Figure(drawn).c_str());
  std::printf(
      "  expansion and drawing together (the first page a user sees):     %s  ratio %.2f (goal <= "
      "1.5)\n",
      Figure(expand + drawn).c_str(), (expand + drawn) / base);
  std::printf(
      "  RefreshTree with nothing changed, and drawing:                   %s  ratio to expansion "
      "%.2f (goal <= 1.00)\n",
      Figure(again).c_str(), again / expand);
  // The first round deletes the nodes of the folder as the tree first made it.
  if (removal.size() > 1)
    std::printf("  deleting the nodes of a collapsed folder (after the first round):  %s\n",
                Figure(fastest(std::vector<double>(removal.begin() + 1, removal.end()))).c_str());
  std::printf("Icons asked in the last round: %d normal, %d open (of %d nodes)\n", iconsAsked,
              openIconsAsked, children);
  std::printf("Sub-folders whose children were read: %d\n", grandchildren);
  DestroyWindow(plain);
  return 0;
}
