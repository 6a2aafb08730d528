#include "shell/ShellDataItems.h"

#include <shlguid.h>

#include <stdexcept>

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

TShellDataItem::TShellDataItem(LPITEMIDLIST relative, LPITEMIDLIST absolute) noexcept
    : relativeIDList_(relative), absoluteIDList_(absolute) {}

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
    iconIndex_ = SmallSystemIconIndex();
    return iconIndex_;
}

int TShellDataItem::GetOpenIconIndex() {
    if (openIconIndex_ == -1) openIconIndex_ = SystemIconIndex(GetAbsoluteIDList(), false, true);
    return openIconIndex_;
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
    return SUCCEEDED(folder->GetUIObjectOf(owner, 1, &relative, IID_IDropTarget, nullptr, target.OutVoid())) &&
           target;
}

void TShellDataItem::ResetIcons() noexcept {
    iconIndex_ = -1;
    openIconIndex_ = -1;
}

// --- TShellFolderItem -------------------------------------------------------------------------

int TShellFolderItem::GetLevel() const { return IDListLevel(absoluteIDList_.Get()); }

LPCITEMIDLIST TShellFolderItem::GetParentIDList() {
    if (!parentIDList_) {
        if (GetLevel() == 1)
            GetSpecialFolderIDList(sfDesktop, parentIDList_.Out());
        else
            parentIDList_.Attach(CopyParentIDList(absoluteIDList_.Get()));
    }
    return parentIDList_.Get();
}

// --- TShellDragObject -------------------------------------------------------------------------

TShellDragObject::TShellDragObject(IDataObject* data) : dataObject_(data) {
    if (!data) throw std::invalid_argument(SInvalidParameter);
}
