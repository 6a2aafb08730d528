#include "shell/ShellWarmUp.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "shell/ComPtr.h"
#include "shell/ShellDataItems.h"

namespace {

// Lists the shell allocated, freed the shell's way: this thread does not use the library's own
// allocator.
struct TShellFree {
  void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
using TShellList = std::unique_ptr<ITEMIDLIST, TShellFree>;

void AskSmallIcon(LPCITEMIDLIST absolute, UINT open = 0) {
  SHFILEINFOA info{};
  SHGetFileInfoA(reinterpret_cast<LPCSTR>(absolute), 0, &info, sizeof info,
                 SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | open);
}

// Asks the icons of the folders in `folder` (at absolute `list`); hands back the first of them in
// the folder's own order, as the tree sorts them, or null.
TShellList AskChildIcons(IShellFolder& folder, LPCITEMIDLIST list) {
  TComPtr<IEnumIDList> listing;
  if (FAILED(folder.EnumObjects(nullptr, SHCONTF_FOLDERS, listing.Out())) || !listing) return {};
  std::vector<TShellList> children;
  LPITEMIDLIST child = nullptr;
  while (listing->Next(1, &child, nullptr) == S_OK && child) children.emplace_back(child);
  if (children.empty()) return {};
  const auto first = std::min_element(children.begin(), children.end(), [&](auto& a, auto& b) {
    return CompareChildIDs(folder, a.get(), b.get()) < 0;
  });
  TShellList firstAbsolute;
  for (const TShellList& relative : children) {
    TShellList absolute(ILCombine(list, relative.get()));
    if (!absolute) continue;
    AskSmallIcon(absolute.get());
    if (&relative == &*first) firstAbsolute = std::move(absolute);
  }
  return firstAbsolute;
}

void WarmUp() {
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  LPITEMIDLIST root = nullptr;
  TComPtr<IShellFolder> desktop;
  if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &root)) && root &&
      SUCCEEDED(SHGetDesktopFolder(desktop.Out())) && desktop) {
    const TShellList desktopList(root);
    AskSmallIcon(desktopList.get());  // also builds the system image list
    AskSmallIcon(desktopList.get(), SHGFI_OPENICON);
    const TShellList first = AskChildIcons(*desktop.Get(), desktopList.get());
    TComPtr<IShellFolder> firstFolder;
    if (first &&
        SUCCEEDED(
            desktop->BindToObject(first.get(), nullptr, IID_IShellFolder, firstFolder.OutVoid())) &&
        firstFolder)
      AskChildIcons(*firstFolder.Get(), first.get());
  }
  desktop.Reset();
  if (com) CoUninitialize();
}

}  // namespace

TShellWarmUp::TShellWarmUp() : thread_(WarmUp) {}

TShellWarmUp::~TShellWarmUp() { Wait(); }

void TShellWarmUp::Wait() {
  if (thread_.joinable()) thread_.join();
}
