#include "shell/ShellDataItems.h"

#include <shlguid.h>

#include <stdexcept>
#include <utility>

#include "framework/CodePage.h"
#include "framework/TreeView.h"
#include "shell/ShellCst.h"
#include "shell/ShellUtils.h"

namespace {

// Whether the desktop folder finds `relative` to be the special folder `folder`.
bool IsSpecialFolder(IShellFolder* desktop, LPCITEMIDLIST relative, TShSpecialFolder folder) {
  TShIDListPtr special;
  return GetSpecialFolderIDList(folder, special.Out()) &&
         CompareIDLists(desktop, relative, special.Get()) == crSame;
}

}  // namespace

// --- TShellDataItem ---------------------------------------------------------------------------

TShellDataItem::TShellDataItem(TShIDListPtr relative, TShIDListPtr absolute) noexcept
    : relativeIDList_(std::move(relative)), absoluteIDList_(std::move(absolute)) {}

LPCITEMIDLIST TShellDataItem::OwnIDList() const {
  return GetLevel() == 0 ? GetAbsoluteIDList() : RelativeIDList();
}

int TShellDataItem::SmallSystemIconIndex() const {
  return SystemIconIndex(GetAbsoluteIDList(), false, false);
}

bool TShellDataItem::GetParentFolder(TComPtr<IShellFolder>& folder) {
  if (!parentFolder_) {
    TComPtr<IShellFolder> desktop;
    if (SUCCEEDED(SHGetDesktopFolder(desktop.Out())) && desktop) {
      const int level = GetLevel();
      if (level == 0 || level == 1) {
        // The desktop is its own parent and the parent of the first level.
        parentFolder_ = desktop;
      } else if (LPCITEMIDLIST parent = GetParentIDList()) {
        TComPtr<IShellFolder> bound;
        if (SUCCEEDED(desktop->BindToObject(parent, nullptr, IID_IShellFolder, bound.OutVoid())))
          parentFolder_ = bound;
      }
    }
  }
  folder = parentFolder_;
  return static_cast<bool>(folder);
}

bool TShellDataItem::HasAttribute(TShAttribute attribute) {
  TComPtr<IShellFolder> folder;
  LPCITEMIDLIST own = OwnIDList();
  if (!own || !GetParentFolder(folder)) return false;
  const SFGAOF mask = AttributeMask(attribute);
  SFGAOF answer = mask;
  if (FAILED(folder->GetAttributesOf(1, &own, &answer))) return false;
  return (answer & mask) == mask;
}

const std::string& TShellDataItem::GetDisplayName() {
  TComPtr<IShellFolder> folder;
  if (displayName_.empty() && GetParentFolder(folder)) {
    std::string name;
    if (DisplayNameText(folder.Get(), OwnIDList(), SHGDN_INFOLDER, name)) displayName_ = name;
  }
  return displayName_;
}

int TShellDataItem::GetIconIndex() {
  if (iconIndex_ != -1) return iconIndex_;
  TComPtr<IShellFolder> folder;
  if (!GetParentFolder(folder)) return -1;
  // Neither IShellIcon nor IExtractIconA is asked: IShellIcon::GetIconOf answers this same
  // system image list index, and the index an IExtractIconA reports counts icons inside its
  // icon file, not positions in the system image list (SHGetFileInfo resolves such a file
  // icon into the list itself).
  iconIndex_ =
      HasGenericFolderIcon(*folder.Get()) ? GenericFolderIconIndex(false) : SmallSystemIconIndex();
  return iconIndex_;
}

// Asked only for the selected node, so the shell is asked itself: without an item it does not
// tell the open folder icon (Wine ignores SHGFI_OPENICON with SHGFI_USEFILEATTRIBUTES).
int TShellDataItem::GetOpenIconIndex() {
  if (openIconIndex_ == -1) openIconIndex_ = SystemIconIndex(GetAbsoluteIDList(), false, true);
  return openIconIndex_;
}

// A plain directory's icon is known without asking the shell about the item itself, which is what
// makes a page of a large folder slow to draw (Wine takes tens of milliseconds per item there).
bool TShellDataItem::HasGenericFolderIcon(IShellFolder& parent) const {
  return GetLevel() > 0 && IsPlainDirectory(&parent, RelativeIDList());
}

int TShellDataItem::GetOverlayIndex() {
  TComPtr<IShellFolder> folder;
  if (!GetParentFolder(folder)) return -1;
  TComPtr<IShellIconOverlay> overlay;
  if (overlay.QueryFrom(folder.Get(), IID_IShellIconOverlay)) {
    int index = OI_DEFAULT;
    return overlay->GetOverlayIndex(RelativeIDList(), &index) == S_OK ? index - 1 : -1;
  }
  // Without the interface (as under Wine), the share and link overlays from the attributes.
  if (HasAttribute(saShare)) return 0;
  if (HasAttribute(saLink)) return 1;
  return -1;
}

TShItemIDType TShellDataItem::GetItemType() {
  TComPtr<IShellFolder> desktop;
  if (FAILED(SHGetDesktopFolder(desktop.Out())) || !desktop) return itUnknown;
  const int level = GetLevel();
  if (level < 0) return itUnknown;
  if (level == 0) return itDeskTop;
  if (level == 1) {
    if (IsSpecialFolder(desktop.Get(), RelativeIDList(), sfDrives)) return itMyComputer;
    if (IsSpecialFolder(desktop.Get(), RelativeIDList(), sfNetwork)) return itNetWork;
    if (IsSpecialFolder(desktop.Get(), RelativeIDList(), sfBitBucket)) return itBitBucket;
  }
  if (!HasAttribute(saFileSystem)) return itVirtual;
  if (level == 2 && HasAttribute(saFileSysAncestor)) return itRootDrive;
  return HasAttribute(saFolder) ? itFolder : itFile;
}

std::string TShellDataItem::GetPath() {
  std::string path;
  PathFromIDList(GetLevel() == 0 ? RelativeIDList() : GetAbsoluteIDList(), path);
  return path;
}

bool TShellDataItem::GetDropTarget(HWND owner, TComPtr<IDropTarget>& target) {
  target.Reset();
  TComPtr<IShellFolder> folder;
  LPCITEMIDLIST relative = RelativeIDList();
  if (!relative || !GetParentFolder(folder)) return false;
  return SUCCEEDED(folder->GetUIObjectOf(owner, 1, &relative, IID_IDropTarget, nullptr,
                                         target.OutVoid())) &&
         target;
}

LPCITEMIDLIST TShellDataItem::CachedParentIDList() {
  if (!parentIDList_) {
    if (GetLevel() == 1)
      GetSpecialFolderIDList(sfDesktop, parentIDList_.Out());
    else
      parentIDList_.Attach(CopyParentIDList(GetAbsoluteIDList()));
  }
  return parentIDList_.Get();
}

void TShellDataItem::ResetIcons() noexcept {
  iconIndex_ = -1;
  openIconIndex_ = -1;
}

// --- TShellFolderItem -------------------------------------------------------------------------

TShellFolderItem::TShellFolderItem(TShIDListPtr relative, TShIDListPtr absolute,
                                   IShellFolder* parentFolder) noexcept
    : TShellDataItem(std::move(relative), std::move(absolute)) {
  parentFolder_ = parentFolder;
}

int TShellFolderItem::GetItemIndex() const { return node_ ? node_->AbsoluteIndex() : -1; }

int TShellFolderItem::GetLevel() const {
  if (level_ == kLevelUnknown) level_ = IDListLevel(absoluteIDList_.Get());
  return level_;
}

LPCITEMIDLIST TShellFolderItem::GetParentIDList() { return CachedParentIDList(); }

void TShellFolderItem::AttachNode(TTreeNode& node) {
  node_ = &node;
  node.SetHasChildren(HasAttribute(saHasSubFolder));
  node.SetOverlayIndex(GetOverlayIndex());
}

bool TShellDataItem::SetNameInFolder(HWND owner, const std::wstring& name, SHGDNF flags,
                                     TShIDListPtr& renamed) {
  TComPtr<IShellFolder> folder;
  if (!GetParentFolder(folder)) return false;
  if (SUCCEEDED(folder->SetNameOf(owner, RelativeIDList(), name.c_str(), flags, &renamed.Out())) &&
      renamed)
    return true;
  // Wine's desktop folder renames nothing (its SetNameOf is a stub). An item of the desktop that
  // lives in the desktop directory is the same item there, and that folder renames it.
  TShIDListPtr directory;
  TComPtr<IShellFolder> desktop;
  TComPtr<IShellFolder> files;
  if (GetLevel() != 1 || GetPath().empty() ||
      FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &directory.Out())) ||
      FAILED(SHGetDesktopFolder(desktop.Out())) ||
      FAILED(desktop->BindToObject(directory.Get(), nullptr, IID_IShellFolder, files.OutVoid())))
    return false;
  return SUCCEEDED(
             files->SetNameOf(owner, RelativeIDList(), name.c_str(), flags, &renamed.Out())) &&
         renamed;
}

bool TShellFolderItem::Rename(const std::string& newName, HWND owner) {
  TShIDListPtr renamed;
  // 0x20 as the shell's own rename asks it.
  if (!HasAttribute(saCanRename) || !SetNameInFolder(owner, AnsiToWide(newName), 0x20, renamed))
    return false;
  const int level = GetLevel();
  // The parent's list is read from the old absolute list, before that goes.
  LPCITEMIDLIST parent = level == 1 ? nullptr : GetParentIDList();
  absoluteIDList_.Attach(level == 1 ? CopyFirstItemID(renamed.Get())
                                    : ConcatIDLists(parent, renamed.Get()));
  relativeIDList_ = std::move(renamed);
  level_ = kLevelUnknown;
  displayName_.clear();
  SHChangeNotify(0, SHCNF_FLUSH, nullptr, nullptr);
  return true;
}

TShellFolderItem* FolderItemOf(const TTreeNode* node) {
  // Every node of a folder tree holds a folder item as its data.
  return node ? static_cast<TShellFolderItem*>(node->Data()) : nullptr;
}

int CompareChildIDs(IShellFolder& folder, LPCITEMIDLIST first, LPCITEMIDLIST second) {
  const HRESULT result = folder.CompareIDs(0, first, second);
  return FAILED(result) ? 0 : CompareIDsOrder(result);
}

int CompareSiblingNodes(TTreeNode& first, TTreeNode& second) {
  TShellFolderItem* a = FolderItemOf(&first);
  TShellFolderItem* b = FolderItemOf(&second);
  TComPtr<IShellFolder> folder;
  if (!a || !b || !a->RelativeIDList() || !b->RelativeIDList() || !a->GetParentFolder(folder))
    return 0;
  return CompareChildIDs(*folder.Get(), a->RelativeIDList(), b->RelativeIDList());
}

// --- TShellDragObject -------------------------------------------------------------------------

TShellDragObject::TShellDragObject(IDataObject* data) : dataObject_(data) {
  if (!data) throw std::invalid_argument(SInvalidParameter);
}
