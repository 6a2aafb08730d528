#pragma once
// How a shell control lists a folder's children: the tree and the path box its sub-folders, the
// file list everything in it; each with its own rule for which children it keeps.

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "shell/ComPtr.h"
#include "shell/ShellDataItems.h"
#include "shell/ShellIDFunc.h"

// Whether a control showing the virtual items `shown` lists `child` of a folder of level
// `parentLevel` and type `parentType`: only the desktop's children (never an itVirtual one) and
// those of the computer and the network at the first level are filtered.
bool ListsChild(TShellDataItem& child, int parentLevel, TShItemIDType parentType,
                TShVirtuaItems shown);

// What a control asks a folder for.
struct TShChildListing {
  HWND owner = nullptr;  // the window on whose behalf the shell may ask the user
  bool withFiles = false;
  bool includeHidden = true;
  // In the folder's own order, or as listed (a control that sorts by a column of its own).
  bool folderOrder = true;
};

// The relative list of a listed child: its item's, or its own while it has no item yet.
template <typename Child>
LPCITEMIDLIST ListedChildIDList(const Child& child) {
  if constexpr (requires { child->RelativeIDList(); })
    return child->RelativeIDList();
  else
    return child.RelativeIDList();
}

// The children of `folder` that its EnumObjects gives for `listing`. Each relative list is handed
// to `make`, which makes a child of it (taking the list over); a child for which `keep` answers
// false is dropped at once. In the folder's order the children are sorted by its CompareIDs,
// stably: a folder whose comparison fails or is inconsistent still gives a well-defined order. A
// folder that cannot be listed gives none.
template <typename Make, typename Keep>
auto ListChildren(IShellFolder& folder, const TShChildListing& listing, Make make, Keep keep) {
  using Child = decltype(make(TShIDListPtr()));
  std::vector<Child> children;
  const SHCONTF flags = SHCONTF_FOLDERS | (listing.withFiles ? SHCONTF_NONFOLDERS : 0) |
                        (listing.includeHidden ? SHCONTF_INCLUDEHIDDEN : 0);
  TComPtr<IEnumIDList> enumeration;
  if (FAILED(folder.EnumObjects(listing.owner, flags, enumeration.Out())) || !enumeration)
    return children;
  LPITEMIDLIST relative = nullptr;
  while (enumeration->Next(1, &relative, nullptr) == S_OK && relative) {
    Child child = make(TShIDListPtr(relative));
    if (keep(child)) children.push_back(std::move(child));
  }
  if (listing.folderOrder)
    std::stable_sort(children.begin(), children.end(), [&folder](const Child& a, const Child& b) {
      return CompareChildIDs(folder, ListedChildIDList(a), ListedChildIDList(b)) < 0;
    });
  return children;
}
