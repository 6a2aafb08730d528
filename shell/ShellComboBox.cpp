#include "shell/ShellComboBox.h"

#include <algorithm>
#include <cmath>
#include <system_error>
#include <utility>

#include "framework/DeviceContext.h"
#include "shell/ReleaseOnThrow.h"
#include "shell/ShellChildren.h"

namespace {

// Lengths at 96 DPI, scaled to the box's DPI where they are used.
constexpr int kMinRowHeight = 18;
constexpr int kIndentPerLevel = 12;
constexpr int kIconTextGap = 4;

}  // namespace

// --- TShellComboItem ------------------------------------------------------------------------

TShellComboItem::TShellComboItem(TShellComboList& list, TShellComboItem* parentItem,
                                 TShIDListPtr relative, TShIDListPtr absolute, bool temporary,
                                 IShellFolder* parentFolder) noexcept
    : TShellDataItem(std::move(relative), std::move(absolute)),
      list_(&list),
      parentItem_(parentItem),
      temporary_(temporary) {
  parentFolder_ = parentFolder;
}

int TShellComboItem::GetItemIndex() const { return list_->IndexOf(this); }

int TShellComboItem::GetLevel() const {
  if (level_ == kLevelUnknown) level_ = IDListLevel(absoluteIDList_.Get());
  return level_;
}

LPCITEMIDLIST TShellComboItem::GetParentIDList() { return CachedParentIDList(); }

// --- TShellComboList ------------------------------------------------------------------------

TShellComboItem* TShellComboList::Entry(int index) const noexcept {
  return index >= 0 && index < Count() ? entries_[static_cast<std::size_t>(index)].get() : nullptr;
}

int TShellComboList::IndexOf(const TShellComboItem* entry) const noexcept {
  for (int i = 0; i < Count(); ++i)
    if (entries_[static_cast<std::size_t>(i)].get() == entry) return i;
  return -1;
}

TShellComboItem* TShellComboList::FirstChild(const TShellComboItem& entry) const noexcept {
  TShellComboItem* next = Entry(IndexOf(&entry) + 1);
  return next && next->ParentItem() == &entry ? next : nullptr;
}

TShellComboItem* TShellComboList::NextSibling(const TShellComboItem& entry) const noexcept {
  const int level = entry.GetLevel();
  for (int i = IndexOf(&entry) + 1; i < Count(); ++i) {
    TShellComboItem* candidate = Entry(i);
    if (candidate->GetLevel() == level)
      return candidate->ParentItem() == entry.ParentItem() ? candidate : nullptr;
  }
  return nullptr;
}

TShellComboItem* TShellComboList::LastChild(const TShellComboItem& entry) const noexcept {
  TShellComboItem* last = FirstChild(entry);
  while (last)
    if (TShellComboItem* next = NextSibling(*last))
      last = next;
    else
      break;
  return last;
}

TShellComboItem& TShellComboList::InsertAt(int index, std::unique_ptr<TShellComboItem> entry) {
  TShellComboItem& inserted = *entry;
  entries_.insert(entries_.begin() + index, std::move(entry));
  if (rows_) rows_->InsertItem(index);
  return inserted;
}

void TShellComboList::DeleteAt(int index) {
  if (rows_) rows_->DeleteItem(index);
  entries_.erase(entries_.begin() + index);
}

TShellComboItem& TShellComboList::InsertAfter(const TShellComboItem* previous,
                                              std::unique_ptr<TShellComboItem> entry) {
  return InsertAt(previous ? IndexOf(previous) + 1 : 0, std::move(entry));
}

TShellComboItem& TShellComboList::AddChild(const TShellComboItem& parent,
                                           std::unique_ptr<TShellComboItem> entry) {
  // After the last child's own descendants.
  const TShellComboItem* last = LastChild(parent);
  if (!last) return InsertAfter(&parent, std::move(entry));
  int index = IndexOf(last) + 1;
  while (index < Count() && Entry(index)->GetLevel() > last->GetLevel()) ++index;
  return InsertAt(index, std::move(entry));
}

TShellComboItem& TShellComboList::InsertBefore(const TShellComboItem& existing,
                                               std::unique_ptr<TShellComboItem> entry) {
  return InsertAt(IndexOf(&existing), std::move(entry));
}

void TShellComboList::Delete(const TShellComboItem& entry) {
  // Children pointing at a deleted parent would be left behind.
  RemoveDescendants(entry);
  const int index = IndexOf(&entry);
  if (index >= 0) DeleteAt(index);
}

void TShellComboList::RemoveTemporary() {
  for (int i = Count() - 1; i >= 0; --i)
    if (Entry(i)->Temporary()) DeleteAt(i);
}

void TShellComboList::RemoveDescendants(const TShellComboItem& entry) {
  const int index = IndexOf(&entry);
  if (index < 0) return;
  // Descendants stand right after the entry, deeper than it; the deepest last.
  int end = index + 1;
  while (end < Count() && Entry(end)->GetLevel() > entry.GetLevel()) ++end;
  for (int i = end - 1; i > index; --i) DeleteAt(i);
}

void TShellComboList::Clear() {
  if (rows_) rows_->Clear();
  entries_.clear();
}

// --- Construction and the window ------------------------------------------------------------

TShellComboBox::TShellComboBox(TContainer& parent, const TBounds& bounds)
    : TComboBox(parent, bounds, TComboBoxStyle::OwnerDrawVariable),
      items_(this),
      images_(SystemImageListAt(Dpi(), false)) {
  ole_.Attach(new TShellOleSide(static_cast<TShellDragSink&>(*this)));
  ReleaseOnThrow([this] { WindowCreated(); }, [this] { ReleaseShellParts(); });
}

TShellComboBox::~TShellComboBox() { ReleaseShellParts(); }

void TShellComboBox::ReleaseShellParts() noexcept {
  link_.Unlink();
  if (Handle()) RevokeDragDrop(Handle());
  static_cast<TShellOleSide*>(ole_.Get())->Detach();
  drag_.reset();
  pendingDropTargets_.clear();
  items_.Clear();
}

void TShellComboBox::CreateWnd() {
  TComboBox::CreateWnd();
  WindowCreated();
}

void TShellComboBox::ChangeDpi(TDpi dpi) {
  images_ = SystemImageListAt(dpi, false);  // before the new font measures the rows
  TComboBox::ChangeDpi(dpi);
}

void TShellComboBox::WindowCreated() {
  images_ = SystemImageListAt(Dpi(), false);
  MeasureRows();
  FillList();
  if (savedSelection_) {
    SelectIDList(savedSelection_.Get());
    savedSelection_.Reset();
  }
  RegisterDropTarget(Handle(), OleDropTarget());
}

void TShellComboBox::DestroyWnd() {
  if (!Handle()) return;
  RevokeDropTarget(Handle());
  savedSelection_ = TShIDListPtr::CopyOf(SelectedIDList());
  // The entries stand for the rows, which go with the window.
  filled_ = false;
  items_.Clear();
  TComboBox::DestroyWnd();
}

LRESULT TShellComboBox::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (RemakeAfterSettingChange(message, [this] { RecreateWnd(); })) return 0;
  return TComboBox::WndProc(message, wParam, lParam);
}

TShellComboItem* TShellComboBox::DropEntry(TComPtr<IDropTarget>& target) {
  TShellComboItem* entry = SelectedItem();
  if (!entry || !entry->IsValid()) return nullptr;
  return ItemDropTarget(*entry, target) ? entry : nullptr;
}

bool TShellComboBox::ItemDropTarget(TShellComboItem& entry, TComPtr<IDropTarget>& target) {
  if (entry.GetLevel() != 0 && !entry.HasAttribute(saDropTarget)) return false;
  return entry.GetDropTarget(Handle(), target);
}

POINT TShellComboBox::ClientPoint(POINTL screen) const {
  POINT point{screen.x, screen.y};
  ScreenToClient(Handle(), &point);
  return point;
}

// The drop target's calls. The target is always the current entry's folder, never the row under
// the pointer; the shell's own drop target of that folder decides the effect and does the work.

HRESULT TShellComboBox::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  // The folder's answer comes with the first DragOver.
  *effect = DROPEFFECT_NONE;
  drag_.reset();
  ReleaseFinishedDropTargets(pendingDropTargets_);
  if (!data) return E_INVALIDARG;
  rightButtonDrag_ = (keyState & MK_RBUTTON) != 0;
  if (!OffersShellItems(data)) return S_OK;
  auto drag = std::make_unique<TShellDragObject>(data);
  bool accept = true;
  if (OnShDragEnter)
    OnShDragEnter(*drag, KeyStateToShift(keyState), POINT{point.x, point.y}, accept);
  if (accept) drag_ = std::move(drag);
  return S_OK;
}

HRESULT TShellComboBox::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
  const DWORD allowed = *effect;
  *effect = DROPEFFECT_NONE;
  if (!drag_) return S_OK;
  TComPtr<IDropTarget> target;
  TShellComboItem* entry = DropEntry(target);
  if (!entry) return S_OK;
  // The folder's target is asked in one go: it has no drag of its own going on.
  DWORD answer = allowed;
  if (SUCCEEDED(target->DragEnter(drag_->DataObject(), keyState, point, &answer))) {
    target->DragOver(keyState, point, &answer);
    target->DragLeave();
  } else {
    answer = DROPEFFECT_NONE;
  }
  *effect = answer;
  if (OnShDragOver) {
    const POINT client = ClientPoint(point);
    OnShDragOver(*drag_, *entry, KeyStateToShift(keyState), client.x, client.y);
  }
  return S_OK;
}

HRESULT TShellComboBox::DragLeave() {
  if (!drag_) return S_OK;
  const std::unique_ptr<TShellDragObject> drag = std::move(drag_);
  if (OnShDragLeave) OnShDragLeave();
  return S_OK;
}

HRESULT TShellComboBox::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  const DWORD allowed = *effect;
  *effect = DROPEFFECT_NONE;
  // Freed at the end, whatever happens.
  const std::unique_ptr<TShellDragObject> drag = std::move(drag_);
  if (!data || !drag) return E_INVALIDARG;
  TComPtr<IDropTarget> target;
  TShellComboItem* entry = DropEntry(target);
  if (!entry) return S_OK;
  bool defaultAction = true;
  if (OnShDragDrop) {
    const POINT client = ClientPoint(point);
    OnShDragDrop(*drag, *entry, KeyStateToShift(keyState), client.x, client.y, defaultAction);
  }
  if (!defaultAction) return S_OK;
  DWORD answer = allowed;
  HRESULT dropped = S_OK;
  if (!DropOnTarget(*target.Get(), data, keyState, rightButtonDrag_, point, &answer, dropped))
    return S_OK;
  *effect = answer;
  // A shell target may go on copying after Drop returns.
  pendingDropTargets_.push_back(target);
  return dropped;
}

// --- Entries --------------------------------------------------------------------------------

TShellComboItem* TShellComboBox::SelectedItem() const { return items_.Entry(ItemIndex()); }

LPCITEMIDLIST TShellComboBox::SelectedIDList() const {
  const TShellComboItem* entry = SelectedItem();
  return entry ? entry->GetAbsoluteIDList() : nullptr;
}

std::unique_ptr<TShellComboItem> TShellComboBox::MakeEntry(TShellComboItem& parent,
                                                           TShIDListPtr relative,
                                                           IShellFolder* folder) {
  // The desktop's absolute list is the empty list, so its children's are their own.
  TShIDListPtr absolute(ConcatIDLists(parent.GetAbsoluteIDList(), relative.Get()));
  return std::make_unique<TShellComboItem>(items_, &parent, std::move(relative),
                                           std::move(absolute), filled_, folder);
}

void TShellComboBox::FillList() {
  if (!Handle()) return;
  struct TFilling {
    TShellComboBox& box;
    explicit TFilling(TShellComboBox& filled) : box(filled) {
      box.filled_ = false;
      box.BeginUpdate();
    }
    // Also when a step fails.
    ~TFilling() {
      if (box.ItemIndex() < 0 && box.items_.Count() > 0) box.SetItemIndex(0);
      box.filled_ = true;
      box.EndUpdate();
    }
  } filling(*this);
  items_.RemoveTemporary();
  if (items_.Count() == 0) {
    TShIDListPtr desktop;
    TShIDListPtr desktopDirectory;
    if (!GetSpecialFolderIDList(sfDesktop, desktop.Out()) ||
        !GetSpecialFolderIDList(sfDesktopDirectory, desktopDirectory.Out()))
      return;
    items_.InsertAfter(
        nullptr, std::make_unique<TShellComboItem>(items_, nullptr, std::move(desktopDirectory),
                                                   std::move(desktop), false));
  }
  TShellComboItem& desktop = *items_.Entry(0);
  MergeChildren(desktop);
  if (TShellComboItem* first = items_.FirstChild(desktop)) MergeChildren(*first);
}

bool TShellComboBox::EntryFolder(TShellComboItem& entry, TComPtr<IShellFolder>& folder) {
  TComPtr<IShellFolder> parentFolder;
  if (!entry.IsValid() || !entry.GetParentFolder(parentFolder)) return false;
  if (entry.GetLevel() == 0) {
    folder = parentFolder;
    return true;
  }
  return SUCCEEDED(parentFolder->BindToObject(entry.RelativeIDList(), nullptr, IID_IShellFolder,
                                              folder.OutVoid())) &&
         folder;
}

std::vector<std::unique_ptr<TShellComboItem>> TShellComboBox::EnumerateChildren(
    IShellFolder& folder, TShellComboItem& entry) {
  const int level = entry.GetLevel();
  const TShItemIDType type = level == 1 ? entry.GetItemType() : itUnknown;
  return ListChildren(
      folder, {.owner = Handle(), .includeHidden = includeHidden_},
      [&](TShIDListPtr relative) { return MakeEntry(entry, std::move(relative), &folder); },
      [&](const std::unique_ptr<TShellComboItem>& child) {
        return ListsChild(*child, level, type, shVirtuaItems_);
      });
}

void TShellComboBox::MergeChildren(TShellComboItem& entry) {
  TComPtr<IShellFolder> folder;
  if (!EntryFolder(entry, folder)) return;
  auto fresh = EnumerateChildren(*folder.Get(), entry);
  auto next = fresh.begin();
  TShellComboItem* existing = items_.FirstChild(entry);
  while (existing && next != fresh.end()) {
    switch (CompareIDLists(folder.Get(), existing->RelativeIDList(), (*next)->RelativeIDList())) {
      case crSame:
        existing = items_.NextSibling(*existing);
        ++next;
        break;
      case crAfter: items_.InsertBefore(*existing, std::move(*next++)); break;
      default: {
        // Gone from the folder.
        const TShellComboItem* gone = existing;
        existing = items_.NextSibling(*existing);
        items_.Delete(*gone);
        break;
      }
    }
  }
  for (; next != fresh.end(); ++next) items_.AddChild(entry, std::move(*next));
  while (existing) {
    const TShellComboItem* gone = existing;
    existing = items_.NextSibling(*existing);
    items_.Delete(*gone);
  }
}

int TShellComboBox::InsertPath(LPCITEMIDLIST list) {
  if (!list || IDListLevel(list) <= 0) return 0;
  LPCITEMIDLIST cursor = list;
  TShellComboItem* entry = items_.Entry(1);
  // A level is merged with the shell at most once: a folder still missing afterwards is one the
  // box does not list (hidden or filtered), and gets a path entry of its own.
  int mergedLevel = -1;
  while (entry) {
    TComPtr<IShellFolder> folder;
    TShellComboItem* parent = entry->ParentItem();
    if (!parent || !entry->IsValid() || !entry->GetParentFolder(folder)) return 0;
    TShIDListPtr wanted(CopyFirstItemID(cursor));
    if (!wanted) return 0;
    const TShCompareResult order =
        CompareIDLists(folder.Get(), entry->RelativeIDList(), wanted.Get());
    if (order == crFailed) return 0;
    if (order == crSame) {
      cursor = NextItem(cursor);
      if (!cursor) return items_.IndexOf(entry);
      TShellComboItem* child = items_.FirstChild(*entry);
      if (!child) {
        TComPtr<IShellFolder> own;
        EntryFolder(*entry, own);
        child = &items_.InsertAfter(
            entry, MakeEntry(*entry, TShIDListPtr(CopyFirstItemID(cursor)), own.Get()));
      }
      entry = child;
      continue;
    }
    TShellComboItem* next = order == crBefore ? items_.NextSibling(*entry) : nullptr;
    if (next) {
      entry = next;
      continue;
    }
    // The wanted folder stands before this entry, or after the last one: the folder may be new.
    if (mergedLevel != entry->GetLevel()) {
      mergedLevel = entry->GetLevel();
      MergeChildren(*parent);
      entry = items_.FirstChild(*parent);
      continue;
    }
    auto missing = MakeEntry(*parent, std::move(wanted), folder.Get());
    entry = order == crAfter ? &items_.InsertBefore(*entry, std::move(missing))
                             : &items_.AddChild(*parent, std::move(missing));
  }
  return 0;
}

void TShellComboBox::SelectIDList(LPCITEMIDLIST list) {
  TShellComboItem* current = SelectedItem();
  if (!list || !filled_ || !current || !current->IsValid()) return;
  if (current->GetLevel() == IDListLevel(list) && SameIDList(current->GetAbsoluteIDList(), list))
    return;
  BeginUpdate();
  items_.RemoveTemporary();
  SetItemIndex(InsertPath(list));
  EndUpdate();
}

void TShellComboBox::Change() {
  TComboBox::Change();
  TShellComboItem* entry = SelectedItem();
  if (!entry || !entry->IsValid()) return;
  BeginUpdate();
  if (!entry->Temporary()) {
    items_.RemoveTemporary();
  } else if (const TShellComboItem* child = items_.FirstChild(*entry);
             child && child->Temporary()) {
    items_.RemoveDescendants(*entry);
  }
  SetItemIndex(items_.IndexOf(entry));
  EndUpdate();
  if (link_.OnFolderChosen) {
    // The entry stays the box's whatever the follower does with the list.
    const TShIDListPtr folder = TShIDListPtr::CopyOf(entry->GetAbsoluteIDList());
    link_.OnFolderChosen(folder.Get());
  }
}

// --- Drawing ----------------------------------------------------------------------------------

void TShellComboBox::MeasureRow(int /*index*/, int& height) {
  const int byFont = static_cast<int>(std::lround(std::abs(Font().Height()) * 1.2));
  height = std::max(byFont, Dpi().Scale(kMinRowHeight));
}

void TShellComboBox::DrawRow(const TComboDrawItem& item) {
  if (!filled_) return;
  FillRect(item.Dc, &item.Rect, GetSysColorBrush(COLOR_WINDOW));
  TShellComboItem* entry = items_.Entry(item.Index);
  if (entry && entry->IsValid()) DrawEntry(*entry, item);
}

void TShellComboBox::DrawEntry(TShellComboItem& entry, const TComboDrawItem& item) {
  const RECT& row = item.Rect;
  int iconWidth = 16;
  int iconHeight = 16;
  ImageList_GetIconSize(images_, &iconWidth, &iconHeight);
  const int iconX =
      item.Face ? row.left : row.left + Dpi().Scale(kIndentPerLevel) * entry.GetLevel();
  const int textX = iconX + iconWidth + Dpi().Scale(kIconTextGap);
  // The face shows where the current folder is; the desktop's directory would say too little.
  std::string text = item.Face && item.Index != 0 ? entry.GetPath() : std::string();
  if (text.empty()) text = entry.GetDisplayName();

  TSavedDCState saved(item.Dc);
  TSelection font(item.Dc, Font().Handle());
  SIZE extent{};
  GetTextExtentPoint32A(item.Dc, text.c_str(), static_cast<int>(text.size()), &extent);
  const int rowHeight = row.bottom - row.top;
  const RECT textArea{textX - 1, row.top, textX + extent.cx + 1, row.bottom};
  if (item.Selected) {
    FillRect(item.Dc, &textArea, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(item.Dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  } else {
    SetTextColor(item.Dc, GetSysColor(COLOR_WINDOWTEXT));
  }
  SetBkMode(item.Dc, TRANSPARENT);
  TextOutA(item.Dc, textX, row.top + (rowHeight - extent.cy) / 2, text.c_str(),
           static_cast<int>(text.size()));

  UINT style = item.Selected ? ILD_FOCUS : ILD_TRANSPARENT;
  const int icon = item.Selected ? entry.GetOpenIconIndex() : entry.GetIconIndex();
  if (entry.HasAttribute(saShare)) {
    const int overlay = entry.GetOverlayIndex();
    if (overlay >= 0) style |= INDEXTOOVERLAYMASK(overlay + 1);
  }
  ImageList_Draw(images_, icon, item.Dc, iconX, row.top + (rowHeight - iconHeight) / 2, style);
  if (item.Focused) DrawFocusRect(item.Dc, &textArea);
}
