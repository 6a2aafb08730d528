#include "shell/ShellTreeView.h"

#include <dbt.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <system_error>

#include "shell/ReleaseOnThrow.h"
#include "shell/ShellChildren.h"
#include "shell/ShellListView.h"
#include "shell/ShellNotify.h"
#include "shell/ShellUtils.h"

namespace {

// Posted to the window after a system settings change, so that the image list and the icons are
// read again once the change has been taken in everywhere. In the WM_APP range: the tree view's own
// messages live in WM_USER's.
constexpr UINT kSettingsChangedMessage = WM_APP + 1;
// Posted when a directory report held back (by a press, a drag or a hold) may be handled now.
constexpr UINT kHeldReportMessage = WM_APP + 2;

// Whether `node` is `branch` or lies below it.
bool InBranch(const TTreeNode& branch, const TTreeNode* node) {
  for (; node; node = node->Parent())
    if (node == &branch) return true;
  return false;
}

// The point of a mouse message, or the screen point of WM_CONTEXTMENU (-1, -1 from the keyboard).
POINT PointOf(LPARAM lParam) {
  return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

}  // namespace

// --- Construction and the window ----------------------------------------------------------------

TShellTreeView::TShellTreeView(TContainer& parent, const TBounds& bounds, TFirstFill fill)
    : TCustomTreeView(parent, bounds) {
  AttachOleSide();
  firstFillPending_ = true;
  if (fill == TFirstFill::Now)
    ReleaseOnThrow([this] { FillFirstTime(); }, [this] { ReleaseShellParts(); });
}

TShellTreeView::~TShellTreeView() { ReleaseShellParts(); }

void TShellTreeView::ShowFirstNodes() {
  if (!firstFillPending_ || !Handle()) return;
  firstFillPending_ = false;
  joinPending_ = true;
  // Read from the shell just now, the nodes need no refresh.
  WatchAndShowRoot();
}

void TShellTreeView::FillFirstTime() {
  ShowFirstNodes();
  if (!joinPending_) return;
  joinPending_ = false;
  JoinRegistryAndTakeDrops();
}

void TShellTreeView::ReleaseShellParts() noexcept {
  windowDestroying_ = true;
  if (Handle()) {
    RevokeDragDrop(Handle());
    Clear();
  }
  DetachOleSide();
  SetShellPopupMenu(nullptr);
  UnlinkControls();
  ShellCtrlList().Unregister(*this);
  if (watcher_) {
    watcher_->OnTerminate = nullptr;
    watcher_->Stop();
    watcher_ = nullptr;
  }
}

void TShellTreeView::CreateWnd() {
  TCustomTreeView::CreateWnd();
  WindowCreated();
}

void TShellTreeView::WindowCreated() {
  firstFillPending_ = false;
  joinPending_ = false;
  WatchAndShowRoot();
  JoinRegistryAndTakeDrops();
}

// A tree that fills later leaves its watcher and its place in the registry until then: they cost
// start-up time (a thread, a drive survey, a top-level window) and serve only a filled tree.
void TShellTreeView::StartWatcher() {
  if (watcherStarted_) return;
  watcherStarted_ = true;
  FillDriveList();
  // Made with the drives, so that its thread opens its watches once.
  watcher_ = TShDirWatcher::Create(
      drives_, FILE_NOTIFY_CHANGE_DIR_NAME,
      [this](TShDirWatcher&, std::unique_ptr<TDeviceChangeData> record) {
        if (record) DeviceChanged(*record);
      },
      [this](TShDirWatcher&) { DirectoryChanged(); });
  watcher_->OnTerminate = [this](TThread&) { watcher_ = nullptr; };
}

void TShellTreeView::WatchAndShowRoot() {
  // The watch opens before the root is read: a folder made meanwhile is read or reported.
  StartWatcher();
  StartWatching();
  windowDestroying_ = false;
  SetImages(SystemImageListAt(Dpi(), false));
  BuildRoot();
  if (savedSelection_) {
    SelectIDList(savedSelection_.Get());
    savedSelection_.Reset();
  }
}

void TShellTreeView::JoinRegistryAndTakeDrops() {
  if (!registered_) {
    registered_ = true;
    ShellCtrlList().Register(*this);
  }
  RegisterDropTarget(Handle(), OleDropTarget());
}

void TShellTreeView::DestroyWnd() {
  if (!Handle()) return;
  // Drops are taken from the end of the first fill on.
  if (!firstFillPending_ && !joinPending_) RevokeDropTarget(Handle());
  windowDestroying_ = true;
  StopWatching();
  BeginUpdate();
  savedSelection_ = TShIDListPtr::CopyOf(SelectedIDList());
  Clear();
  EndUpdate();
  TCustomTreeView::DestroyWnd();
}

void TShellTreeView::BuildRoot() {
  TShIDListPtr desktop;
  TShIDListPtr desktopDirectory;
  if (!GetSpecialFolderIDList(sfDesktop, desktop.Out()) ||
      !GetSpecialFolderIDList(sfDesktopDirectory, desktopDirectory.Out()))
    return;
  BeginUpdate();
  auto item = std::make_unique<TShellFolderItem>(std::move(desktopDirectory), std::move(desktop));
  if (TTreeNode* root = AddItemNode(nullptr, nullptr, std::move(item))) {
    root->Expand();
    if (TTreeNode* first = root->GetFirstChild()) first->Expand();
    SetSelected(root);
  }
  EndUpdate();
}

void TShellTreeView::FillDriveList() {
  char buffer[81] = {};
  GetLogicalDriveStringsA(sizeof buffer - 1, buffer);
  for (const char* root = buffer; *root; root += std::strlen(root) + 1)
    if (GetDriveTypeA(root) == DRIVE_FIXED) drives_.emplace_back(root);
  std::sort(drives_.begin(), drives_.end());
}

void TShellTreeView::StartWatching() {
  if (watcher_) watcher_->SetDirectories(drives_);
}

void TShellTreeView::StopWatching() {
  if (watcher_) watcher_->SetDirectories(std::nullopt);
}

// --- Items and nodes ----------------------------------------------------------------------------

TTreeNode* TShellTreeView::AddItemNode(TTreeNode* parent, TTreeNode* before,
                                       std::unique_ptr<TShellFolderItem> item) {
  const std::string& name = item->GetDisplayName();
  TTreeNode* node = before ? Insert(*before, name) : AddChild(parent, name);
  if (!node) return nullptr;
  TShellFolderItem& adopted = *item;
  node->SetData(std::move(item));
  adopted.AttachNode(*node);
  return node;
}

std::unique_ptr<TShellFolderItem> TShellTreeView::TakeItem(TChild& child, IShellFolder& folder,
                                                           TShellFolderItem& parent) {
  if (child.item) return std::move(child.item);
  // The desktop's children are absolute lists by themselves.
  TShIDListPtr absolute(parent.GetLevel() != 0
                            ? ConcatIDLists(parent.GetAbsoluteIDList(), child.relative.Get())
                            : CopyIDList(child.relative.Get()));
  return std::make_unique<TShellFolderItem>(std::move(child.relative), std::move(absolute),
                                            &folder);
}

TShellTreeView::TChildren TShellTreeView::EnumerateChildren(IShellFolder& folder,
                                                            TShellFolderItem& parent) {
  const int level = parent.GetLevel();
  // Only the desktop's and the first level's children are filtered, by their type.
  const bool filtered = level == 0 || level == 1;
  const TShItemIDType type = level == 1 ? parent.GetItemType() : itUnknown;
  return ListChildren(
      folder, {.owner = Handle(), .includeHidden = includeHidden_},
      [&](TShIDListPtr relative) {
        TChild child{std::move(relative), nullptr};
        if (filtered) child.item = TakeItem(child, folder, parent);
        return child;
      },
      [&](const TChild& child) {
        return !child.item || ListsChild(*child.item, level, type, shVirtuaItems_);
      });
}

void TShellTreeView::SyncChildren(TTreeNode& node) {
  TShellFolderItem* item = FolderItemOf(&node);
  TComPtr<IShellFolder> parentFolder;
  if (!item || !item->IsValid() || !item->GetParentFolder(parentFolder)) return;
  TComPtr<IShellFolder> folder;
  if (item->GetLevel() == 0)
    folder = parentFolder;
  else if (FAILED(parentFolder->BindToObject(item->RelativeIDList(), nullptr, IID_IShellFolder,
                                             folder.OutVoid())) ||
           !folder)
    return;

  TChildren fresh = EnumerateChildren(*folder.Get(), *item);
  BeginUpdate();
  TTreeNode* existing = node.GetFirstChild();
  for (auto next = fresh.begin(); next != fresh.end();) {
    TShellFolderItem* existingItem = FolderItemOf(existing);
    if (!existingItem || !existingItem->IsValid()) {
      AddItemNode(&node, nullptr, TakeItem(*next++, *folder.Get(), *item));
      continue;
    }
    switch (CompareIDLists(folder.Get(), existingItem->RelativeIDList(), next->RelativeIDList())) {
      case crSame:
        existing = existing->GetNextSibling();
        ++next;
        break;
      case crAfter: AddItemNode(&node, existing, TakeItem(*next++, *folder.Get(), *item)); break;
      default: {
        TTreeNode* gone = existing;
        existing = existing->GetNextSibling();
        DeleteVanishedNode(*gone);
        break;
      }
    }
  }
  while (existing) {
    TTreeNode* gone = existing;
    existing = existing->GetNextSibling();
    DeleteVanishedNode(*gone);
  }
  EndUpdate();
}

void TShellTreeView::DeleteVanishedNode(TTreeNode& gone) {
  // The selected folder is where folders are made: when it or a folder above it goes, the
  // selection goes up to the nearest folder still there, never sideways to a sibling, as the
  // control itself would move it.
  if (InBranch(gone, Selected())) SetSelected(gone.Parent());
  gone.Delete();
}

bool TShellTreeView::CanExpand(TTreeNode& node) {
  TShellFolderItem* item = FolderItemOf(&node);
  if (!windowDestroying_ && item && item->IsValid()) {
    if (pressState_ == TPressState::Dragging && !DragMayExpand(*item)) return false;
    SyncChildren(node);
    if (!node.GetFirstChild()) node.SetHasChildren(false);
  }
  return TCustomTreeView::CanExpand(node);
}

bool TShellTreeView::CanChange(TTreeNode* node) {
  // A press selects on its release (LeftButtonUp), so the native control's own selection on
  // the press is refused.
  if (windowDestroying_ || pressState_ == TPressState::LeftPress ||
      pressState_ == TPressState::RightPress)
    return false;
  return TCustomTreeView::CanChange(node);
}

bool TShellTreeView::RenameNode(TTreeNode& node, const std::string& newName) {
  TShellFolderItem* item = FolderItemOf(&node);
  if (!item || !item->IsValid() || !item->HasAttribute(saCanRename)) return false;
  // A selected folder below this one is selected again under the new name.
  TShIDListPtr selectedBelow;
  const TShellFolderItem* selected = FolderItemOf(Selected());
  if (selected && Selected() != &node && InBranch(node, Selected())) {
    LPCITEMIDLIST below = selected->GetAbsoluteIDList();
    for (int level = 0; level < item->GetLevel() && below; ++level) below = NextItem(below);
    selectedBelow = TShIDListPtr::CopyOf(below);
  }
  const bool renamed = item->Rename(newName, Handle());
  if (renamed) {
    const bool expanded = node.Expanded();
    // Not to a sibling while the children go.
    if (selectedBelow) SetSelected(&node);
    node.DeleteChildren();
    if (TTreeNode* parent = node.Parent())
      parent->CustomSort(CompareSiblingNodes);
    else
      CustomSort(CompareSiblingNodes);
    SyncChildren(node);
    if (expanded) node.Expand();
    if (selectedBelow) {
      const TShIDListPtr moved(ConcatIDLists(item->GetAbsoluteIDList(), selectedBelow.Get()));
      SelectIDList(moved.Get());
    }
  }
  // A refused name shows the old one again.
  node.SetText(item->GetDisplayName());
  return renamed;
}

void TShellTreeView::GetImageIndex(TTreeNode& node) {
  if (TShellFolderItem* item = FolderItemOf(&node)) node.SetImageIndex(item->GetIconIndex());
  TCustomTreeView::GetImageIndex(node);
}

void TShellTreeView::GetSelectedIndex(TTreeNode& node) {
  if (TShellFolderItem* item = FolderItemOf(&node)) node.SetSelectedIndex(item->GetOpenIconIndex());
  TCustomTreeView::GetSelectedIndex(node);
}

// --- Refreshing, finding and selecting ----------------------------------------------------------

void TShellTreeView::RefreshTree() {
  BeginUpdate();
  for (TTreeNode* node = GetFirstNode(); node;) {
    if (node->Expanded() || node->GetFirstChild())
      SyncChildren(*node);
    else if (TShellFolderItem* item = FolderItemOf(node))
      item->AttachNode(*node);
    node = node->GetNextVisible();
  }
  EndUpdate();
}

TTreeNode* TShellTreeView::FindNodeByIDList(LPCITEMIDLIST list) {
  TTreeNode* root = GetFirstNode();
  if (!root || !list) return root;
  TTreeNode* parent = root;
  TTreeNode* node = root->GetFirstChild();
  if (!node) {
    SyncChildren(*root);
    node = root->GetFirstChild();
  }
  // A level is synchronised at most once: a wanted item that is still missing afterwards is not
  // in the folder, and the search ends instead of going round.
  bool levelSynced = false;
  const auto resyncLevel = [&]() -> TTreeNode* {
    if (levelSynced) return nullptr;
    levelSynced = true;
    SyncChildren(*parent);
    return parent->GetFirstChild();
  };
  LPCITEMIDLIST cursor = list;
  while (node) {
    TShellFolderItem* item = FolderItemOf(node);
    if (!item || !item->IsValid()) break;
    TShIDListPtr wanted(CopyFirstItemID(cursor));
    if (!wanted) break;
    TComPtr<IShellFolder> folder;
    item->GetParentFolder(folder);
    switch (CompareIDLists(folder.Get(), item->RelativeIDList(), wanted.Get())) {
      case crSame: {
        cursor = NextItem(cursor);
        if (!cursor) return node;
        node->Expand();
        parent = node;
        levelSynced = false;
        node = node->GetFirstChild();
        if (!node) node = resyncLevel();
        break;
      }
      case crAfter:
        // The wanted item would stand before this node: it may be new, and the combo box may
        // lack it too.
        if (!levelSynced) RefillComboBox();
        node = resyncLevel();
        break;
      case crBefore:
        if (TTreeNode* next = node->GetNextSibling())
          node = next;
        else
          node = resyncLevel();
        break;
      default: return root;
    }
  }
  return root;
}

void TShellTreeView::SelectIDList(LPCITEMIDLIST list) {
  if (!list) return;
  const TShellFolderItem* selected = FolderItemOf(Selected());
  if (selected && selected->IsValid() && selected->GetLevel() == IDListLevel(list) &&
      SameIDList(selected->GetAbsoluteIDList(), list))
    return;
  SetSelected(FindNodeByIDList(list));
}

LPCITEMIDLIST TShellTreeView::SelectedIDList() const {
  if (const TShellFolderItem* item = FolderItemOf(Selected())) return item->GetAbsoluteIDList();
  if (const TShellFolderItem* item = FolderItemOf(GetFirstNode())) return item->GetAbsoluteIDList();
  return nullptr;
}

std::string TShellTreeView::SelectedPath() const {
  TShellFolderItem* item = FolderItemOf(Selected());
  if (!item || !item->IsValid()) return {};
  return item->GetPath();
}

// --- Properties ---------------------------------------------------------------------------------

void TShellTreeView::SetIncludeHidden(bool value) {
  if (value == includeHidden_) return;  // nothing to refresh
  includeHidden_ = value;
  ShareSettings();
}

void TShellTreeView::SetShVirtuaItems(TShVirtuaItems items) {
  if (items == shVirtuaItems_) return;
  shVirtuaItems_ = items;
  ShareSettings();
}

// --- Notifications ------------------------------------------------------------------------------

TShellTreeView::TReportHold::TReportHold(TShellTreeView& tree) : tree_(tree) {
  ++tree_.reportHolds_;
}

TShellTreeView::TReportHold::~TReportHold() {
  --tree_.reportHolds_;
  tree_.HandleHeldReport();
}

void TShellTreeView::EndPress() {
  pressState_ = TPressState::Idle;
  pressedNode_ = nullptr;
  dropNode_ = nullptr;
  HandleHeldReport();
}

void TShellTreeView::HandleHeldReport() {
  // Posted: the press or the hold may end deep inside a handler that still uses the nodes.
  if (reportHeld_ && reportHolds_ == 0 && pressState_ == TPressState::Idle && Handle())
    PostMessageA(Handle(), kHeldReportMessage, 0, 0);
}

void TShellTreeView::DirectoryChanged() {
  ReleaseFinishedDropTargets();
  // Nodes must not move under a press, a drag or the tree's own folder changes: the report waits
  // for them to end. (Watches stay open meanwhile: Wine's subtree watch, once reopened, no
  // longer sees into folders that existed before.)
  if (reportHolds_ > 0 || pressState_ != TPressState::Idle) {
    reportHeld_ = true;
    return;
  }
  reportHeld_ = false;
  RefreshTree();
  RefillComboBox();
}

void TShellTreeView::ShellDeviceChange(const std::string& displayText, DWORD eventCode,
                                       LPCITEMIDLIST list, TShDeviceChangeKind changeKind) {
  if (!watcher_) return;
  watcher_->PostDeviceChange(
      std::make_unique<TDeviceChangeData>(displayText, list, changeKind, eventCode));
}

void TShellTreeView::DeviceChanged(const TDeviceChangeData& record) {
  if (record.ChangeKind() == dkNetwork) {
    if (record.EventCode() != DBT_DEVICEARRIVAL) SetSelected(GetFirstNode());
    RefreshTree();
    RefillComboBox();
    return;
  }
  if (record.ChangeKind() != dkMedia) return;
  TTreeNode* node = FindNodeByIDList(record.IDList());
  TShellFolderItem* item = FolderItemOf(node);
  // Only the drive's own node: the search answers the root for a drive it cannot find.
  if (!item || !item->IsValid() || !SameIDList(item->GetAbsoluteIDList(), record.IDList())) return;
  item->ResetIcons();
  item->SetDisplayName(record.DisplayText());
  node->SetText(record.DisplayText());
  ShowMediumInComboBox(record);
  if (record.EventCode() != DBT_DEVICEREMOVECOMPLETE) return;
  node->Collapse();
  node->DeleteChildren();
  node->SetHasChildren(true);
  SetSelected(node->Parent());
}

void TShellTreeView::ChangeDpi(TDpi dpi) {
  TCustomTreeView::ChangeDpi(dpi);
  SettingsChanged();  // the image list of the new size
}

void TShellTreeView::SettingsChanged() {
  SetImages(SystemImageListAt(Dpi(), false));
  for (TTreeNode* node = GetFirstNode(); node; node = node->GetNext())
    if (TShellFolderItem* item = FolderItemOf(node)) item->ResetIcons();
  InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT TShellTreeView::Notify(const NMHDR& header) {
  // The menu comes with the right click's notification: Wine's control sends no WM_CONTEXTMENU
  // for it (its press loop takes the button's release), and answering stops Windows' from
  // sending one as well.
  if (header.code == NM_RCLICK) {
    const DWORD position = GetMessagePos();
    if (ContextPopup(PointOf(static_cast<LPARAM>(position)))) return TRUE;
  }
  return TCustomTreeView::Notify(header);
}

LRESULT TShellTreeView::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETTINGCHANGE: {
      const LRESULT result = TCustomTreeView::WndProc(message, wParam, lParam);
      PostMessageA(Handle(), kSettingsChangedMessage, 0, 0);
      return result;
    }
    case kSettingsChangedMessage: SettingsChanged(); return 0;
    case kHeldReportMessage:
      if (reportHeld_) DirectoryChanged();
      return 0;
    case kRefusedNameMessageId: EditRefusedName(); return 0;
    case WM_LBUTTONDOWN: {
      LeftButtonDown(PointOf(lParam));
      const LRESULT result = TCustomTreeView::WndProc(message, wParam, lParam);
      // The control follows the press in a loop of its own, which takes the button's release
      // when it comes before any move.
      if (pressState_ == TPressState::LeftPress && !DragButtonHeld()) LeftButtonUp();
      return result;
    }
    case WM_LBUTTONUP: LeftButtonUp(); break;
    case WM_RBUTTONDOWN: {
      RightButtonDown(PointOf(lParam));
      // The control follows the press in a loop of its own and reports a click as NM_RCLICK
      // (Notify), which shows the menu; a press that neither did nor turned into a drag ends.
      const LRESULT result = TCustomTreeView::WndProc(message, wParam, lParam);
      if (pressState_ == TPressState::RightPress && !DragButtonHeld()) {
        SetDropTarget(nullptr);
        EndPress();
      }
      return result;
    }
    case WM_MOUSEMOVE: {
      const LRESULT result = TCustomTreeView::WndProc(message, wParam, lParam);
      MouseMoved(PointOf(lParam));
      return result;
    }
    case WM_CONTEXTMENU:
      if (ContextPopup(PointOf(lParam))) return 0;
      break;
    default: break;
  }
  return TCustomTreeView::WndProc(message, wParam, lParam);
}
