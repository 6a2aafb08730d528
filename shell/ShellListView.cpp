#include "shell/ShellListView.h"

#include <shellapi.h>

#include <algorithm>
#include <utility>

#include "framework/CodePage.h"
#include "shell/ReleaseOnThrow.h"
#include "shell/ShellChildren.h"
#include "shell/ShellNotify.h"
#include "shell/ShellPopupMenu.h"

namespace {

// Posted after a refill: the rest of the order, once the first page has been drawn. In the WM_APP
// range, above the list view's own messages.
constexpr UINT kFinishSortMessage = WM_APP + 1;

// What PopupShellMenu answers for the shell's paste command: items may have come.
constexpr int kShellPasteDone = 17;

constexpr DWORD kNameChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME;
constexpr DWORD kAttributeChanges =
    FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;

// Upper case for a name search; double-byte characters stay as they are.
std::string SearchForm(std::string text) {
  CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

}  // namespace

// --- TShellListView ---------------------------------------------------------------------------

TShellListView::TShellListView(TContainer& parent, const TBounds& bounds)
    : TCustomListView(parent, bounds) {
  ole_.Attach(new TShellOleSide(static_cast<TShellDragSink&>(*this)));
  ReleaseOnThrow([this] { StartShellParts(); }, [this] { ReleaseShellParts(); });
}

TShellListView::~TShellListView() { ReleaseShellParts(); }

void TShellListView::StartShellParts() {
  const auto names = [this](TShFilesWatcher&, const std::string&) { NamesChanged(); };
  nameWatcher_ = TShFilesWatcher::Create("", kNameChanges, names);
  nameWatcher_->OnTerminate = [this](TThread&) { nameWatcher_ = nullptr; };
  const auto attributes = [this](TShFilesWatcher&, const std::string&) { AttributesChanged(); };
  attributeWatcher_ = TShFilesWatcher::Create("", kAttributeChanges, attributes);
  attributeWatcher_->OnTerminate = [this](TThread&) { attributeWatcher_ = nullptr; };
  ShellCtrlList().Register(*this);
  WindowCreated();
}

void TShellListView::ReleaseShellParts() noexcept {
  link_.Unlink();
  ShellCtrlList().Unregister(*this);
  if (Handle()) {
    RemoveClipboardFormatListener(Handle());
    RevokeDragDrop(Handle());
  }
  static_cast<TShellOleSide*>(ole_.Get())->Detach();
  dragObject_.reset();
  pendingDropTargets_.clear();
  for (TShFilesWatcher** watcher : {&nameWatcher_, &attributeWatcher_}) {
    if (!*watcher) continue;
    (*watcher)->OnTerminate = nullptr;
    (*watcher)->Stop();
    *watcher = nullptr;
  }
  if (Handle()) SetItemCount(0);
  files_.Clear();
}

void TShellListView::CreateWnd() {
  TCustomListView::CreateWnd();
  WindowCreated();
}

void TShellListView::ChangeDpi(TDpi dpi) {
  TCustomListView::ChangeDpi(dpi);
  SetImages(SystemImageListAt(Dpi(), true), SystemImageListAt(Dpi(), false));
}

void TShellListView::WindowCreated() {
  SetImages(SystemImageListAt(Dpi(), true), SystemImageListAt(Dpi(), false));
  // A clipboard listener rather than a link in the viewer chain, which one careless viewer
  // breaks for all.
  AddClipboardFormatListener(Handle());
  RegisterDropTarget(Handle(), OleDropTarget());
  const int width = Width() / TShellFileList::kColumns;
  savedWidths_.assign(TShellFileList::kColumns, width);
  ShowAllColumns();
  // The folder shown before, or the desktop: shown anew in the new window.
  TShIDListPtr folder = TShIDListPtr::CopyOf(files_.FolderIDList());
  if (!folder) GetSpecialFolderIDList(sfDesktop, folder.Out());
  files_.SetFolderIDList(TShIDListPtr());
  SetFolderIDList(folder.Get());
}

void TShellListView::DestroyWnd() {
  if (Handle()) {
    RemoveClipboardFormatListener(Handle());
    RevokeDropTarget(Handle());
  }
  TCustomListView::DestroyWnd();
}

LRESULT TShellListView::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLIPBOARDUPDATE) {
    if (OnShClipboard)
      OnShClipboard(IsClipboardFormatAvailable(CF_HDROP) ||
                    IsClipboardFormatAvailable(IDListArrayFormat().cfFormat));
    return 0;
  }
  if (message == kFinishSortMessage) {
    files_.FinishSort();
    return 0;
  }
  if (message == kRefusedNameMessageId) {
    EditRefusedName();
    return 0;
  }
  if (RemakeAfterSettingChange(message, [this] { RecreateWnd(); })) return 0;
  if (message == WM_CONTEXTMENU && shellPopupMenu_) {
    ContextPopup(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    return 0;
  }
  if (message == WM_GETDLGCODE) return DialogCode(wParam, reinterpret_cast<const MSG*>(lParam));
  if ((message == WM_KEYDOWN && wParam == VK_BACK) ||
      (message == WM_SYSKEYDOWN && wParam == VK_UP)) {
    ShowParentFolder();
    return 0;
  }
  return TCustomListView::WndProc(message, wParam, lParam);
}

LRESULT TShellListView::DialogCode(WPARAM key, const MSG* message) {
  const LRESULT code =
      TCustomListView::WndProc(WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(message));
  // Enter opens the focused item, as a double click does: the form's dialog keys would take it
  // for the default button otherwise.
  if (message && message->message == WM_KEYDOWN && message->wParam == VK_RETURN)
    return code | DLGC_WANTMESSAGE;
  return code;
}

void TShellListView::ShowParentFolder() {
  if (!files_.FolderIDList() || files_.FolderLevel() == 0) return;  // the desktop has none
  const TShIDListPtr parent(CopyParentIDList(files_.FolderIDList()));
  ShowChosenFolder(parent.Get());
}

void TShellListView::ShowChosenFolder(LPCITEMIDLIST folder) {
  SetFolderIDList(folder);
  if (link_.OnFolderChosen) link_.OnFolderChosen(folder);
}

void TShellListView::ShowAllColumns() {
  DeleteColumns();
  for (int i = 0; i < TShellFileList::kColumns; ++i)
    AddColumn(kFileColumns[i].Caption, savedWidths_[static_cast<std::size_t>(i)],
              kFileColumns[i].Alignment);
  SetColumnOrder(savedOrder_);
}

void TShellListView::SetFolderIDList(LPCITEMIDLIST folder) {
  if (!Handle() || !folder) return;
  if (files_.FolderIDList() && IDListLevel(folder) == files_.FolderLevel() &&
      SameIDList(folder, files_.FolderIDList()))
    return;
  if (ColumnCount() > 1) {
    savedOrder_ = ColumnOrder();
    for (int i = 0; i < ColumnCount(); ++i)
      savedWidths_[static_cast<std::size_t>(i)] = ColumnWidth(i);
  }
  files_.SetFolderIDList(TShIDListPtr::CopyOf(folder));
  BeginUpdate();
  ReadFolder();
  if (ItemCount() > 0) EnsureVisible(0);
  const std::string path = files_.FolderPath();
  if (path.empty()) {
    // A virtual folder has names only.
    DeleteColumns();
    AddColumn(kFileColumns[0].Caption, savedWidths_[0], TColumnAlignment::Left);
  } else if (ColumnCount() <= 1) {
    ShowAllColumns();
  }
  EndUpdate();
}

bool TShellListView::Listed(TShellFileItem& item) {
  const bool shown = ListsChild(item, files_.FolderLevel(), files_.FolderType(), shVirtuaItems_);
  bool accept = shown;
  if (shown && OnShFilter) OnShFilter(item, accept);
  return accept;
}

void TShellListView::Refill() {
  // The selected and the focused items, found again by their lists (a renamed file has its new
  // one).
  std::vector<TShIDListPtr> selected;
  for (int index : SelectedIndexes())
    selected.push_back(TShIDListPtr::CopyOf(files_.Item(index)->RelativeIDList()));
  std::vector<TShIDListPtr> focused;
  if (const TShellFileItem* item = files_.Item(FocusedIndex()))
    focused.push_back(TShIDListPtr::CopyOf(item->RelativeIDList()));
  ReadFolder();
  if (selected.empty() && focused.empty()) return;
  resorting_ = true;
  for (int index : files_.IndexesOf(std::move(selected))) SetSelected(index, true);
  for (int index : files_.IndexesOf(std::move(focused))) SetFocusedIndex(index);
  resorting_ = false;
  SelectionChanged(-1, -1);
}

void TShellListView::ReadFolder() {
  WatchFolder("");
  selectedSize_ = 0;
  BeginUpdate();
  SetItemCount(0);
  {
    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    files_.Enumerate(Handle(), includeHidden_,
                     [this](TShellFileItem& item) { return Listed(item); });
    const std::string path = files_.FolderPath();
    // The attributes column of a virtual folder has no order to sort by.
    if (!path.empty() || files_.SortColumn() != TShellFileList::kAttributesColumn) {
      // Room for a page and a half, in any view: a row drawn past them finishes the order.
      const int page = static_cast<int>(Perform(LVM_GETCOUNTPERPAGE, 0, 0));
      files_.SortFirst(files_.SortColumn(), 2 * page + 8);
      PostMessageA(Handle(), kFinishSortMessage, 0, 0);
    }
    SetCursor(previous);
  }
  SetItemCount(files_.Count());
  EndUpdate();
  if (OnShListChange) OnShListChange(files_);
  WatchFolder(files_.FolderPath());
}

void TShellListView::WatchFolder(const std::string& path) {
  if (nameWatcher_) nameWatcher_->SetPath(path);
  if (attributeWatcher_) attributeWatcher_->SetPath(path);
}

void TShellListView::NamesChanged() {
  ReleaseFinishedDropTargets(pendingDropTargets_);
  const std::string path = files_.FolderPath();
  if (!path.empty() && !FolderExists(path)) {
    // The folder is gone: show nothing, or what the follower shows instead.
    WatchFolder("");
    SetItemCount(0);
    files_.Clear();
    if (link_.OnFolderGone) link_.OnFolderGone();
    return;
  }
  Refill();
}

void TShellListView::AttributesChanged() {
  for (int i = 0; i < files_.Count(); ++i) {
    TShellFileItem& item = *files_.Item(i);
    if (item.HasFindData()) item.ReadFindData();
  }
  Repaint();
}

void TShellListView::SetIncludeHidden(bool value) {
  if (value == includeHidden_) return;  // nothing to list again
  includeHidden_ = value;
  if (files_.FolderIDList()) Refill();
  if (link_.OnSettingsChanged) link_.OnSettingsChanged();
}

void TShellListView::SetShVirtuaItems(TShVirtuaItems items) {
  if (items == shVirtuaItems_) return;  // nothing to list again
  shVirtuaItems_ = items;
  if (files_.FolderIDList()) Refill();
  if (link_.OnSettingsChanged) link_.OnSettingsChanged();
}

void TShellListView::SortByColumn(int column) {
  if (column < 0 || column >= TShellFileList::kColumns) return;
  std::vector<const TShellFileItem*> selected;
  for (int index : SelectedIndexes()) selected.push_back(files_.Item(index));
  const TShellFileItem* focused = files_.Item(FocusedIndex());
  HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  resorting_ = true;
  files_.ReverseDirection(column);
  files_.Sort(column);
  ClearSelection();
  for (const TShellFileItem* item : selected) SetSelected(files_.IndexOf(item), true);
  if (focused) {
    const int index = files_.IndexOf(focused);
    SetFocusedIndex(index);
    EnsureVisible(index);
  }
  resorting_ = false;
  SetCursor(previous);
  Repaint();
}

// --- What the control asks ----------------------------------------------------------------------

std::string TShellListView::ItemText(int index, int subItem) {
  // With pictures the attributes are drawn, not written.
  if (subItem == TShellFileList::kAttributesColumn && attributesImage_.ImageList) return {};
  return files_.Text(index, subItem);
}

void TShellListView::SetAttributesImage(const TAttributesImage& images) {
  attributesImage_ = images;
  Repaint();
}

void TShellListView::DrawSubItem(HDC dc, int index, int subItem, const RECT& area) {
  TShellFileItem* item = files_.Item(index);
  if (subItem != TShellFileList::kAttributesColumn || !item || !item->FindData().cFileName[0])
    return;
  const DWORD attributes = item->FindData().dwFileAttributes;
  const std::pair<DWORD, int> pictures[] = {
      {FILE_ATTRIBUTE_READONLY, attributesImage_.ReadOnly},
      {FILE_ATTRIBUTE_HIDDEN, attributesImage_.Hidden},
      {FILE_ATTRIBUTE_SYSTEM, attributesImage_.System},
      {FILE_ATTRIBUTE_ARCHIVE, attributesImage_.Archive},
  };
  int width = 0;
  int height = 0;
  ImageList_GetIconSize(attributesImage_.ImageList, &width, &height);
  // Right-aligned, as the column's letters are.
  int x = area.right - 2;
  for (auto picture = std::rbegin(pictures); picture != std::rend(pictures); ++picture) {
    if (!(attributes & picture->first) || picture->second < 0) continue;
    x -= width;
    ImageList_Draw(attributesImage_.ImageList, picture->second, dc, x,
                   area.top + (area.bottom - area.top - height) / 2, ILD_TRANSPARENT);
  }
}

int TShellListView::ItemImage(int index) {
  // The large and the small system image lists share their indexes.
  TShellFileItem* item = files_.Item(index);
  return item ? files_.IconIndex(*item) : -1;
}

int TShellListView::ItemOverlay(int index) {
  TShellFileItem* item = files_.Item(index);
  return item ? item->GetOverlayIndex() + 1 : 0;
}

int TShellListView::FindText(const std::string& text, bool partial, int start, bool wrap) {
  const std::string wanted = SearchForm(text);
  const int count = files_.Count();
  const int first = start >= 0 && start < count ? start : 0;
  for (int step = 0; step < count; ++step) {
    const int index = first + step;
    if (index >= count && !wrap) break;
    const std::string name = SearchForm(files_.Item(index % count)->GetDisplayName());
    const std::size_t at = name.find(wanted);
    if (partial ? at != std::string::npos : at == 0) return index % count;
  }
  return -1;
}

int TShellListView::FindData(LPARAM data) {
  return files_.IndexOf(reinterpret_cast<const TShellFileItem*>(data));
}

void TShellListView::SelectionChanged(int first, int last) {
  if (resorting_) return;
  if (first >= 0 && first == last) {
    TShellFileItem* item = files_.Item(first);
    if (!item) return;
    if (IsSelected(first))
      selectedSize_ += item->Size();
    else
      selectedSize_ -= std::min(selectedSize_, item->Size());
  } else {
    selectedSize_ = 0;
    for (int index : SelectedIndexes()) selectedSize_ += files_.Item(index)->Size();
  }
  if (OnShSelChange) OnShSelChange(selectedSize_);
}

void TShellListView::ItemActivated(const TActivation& activation) {
  TShellFileItem* item = files_.Item(activation.Index);
  if (!item) return;
  if (item->HasAttribute(saFolder)) {
    // The item goes with the folder it stands in.
    const TShIDListPtr folder = TShIDListPtr::CopyOf(item->GetAbsoluteIDList());
    ShowChosenFolder(folder.Get());
    return;
  }
  bool defaultAction = true;
  if (OnShExecute) {
    TShiftState shift;
    if (activation.Shift) shift.Include(ssShift);
    if (activation.Alt) shift.Include(ssAlt);
    if (activation.Ctrl) shift.Include(ssCtrl);
    OnShExecute(*item, shift, activation.SubItem, activation.Point.x, activation.Point.y,
                defaultAction);
  }
  if (!defaultAction) return;
  SHELLEXECUTEINFOA execute{};
  execute.cbSize = sizeof execute;
  execute.fMask = SEE_MASK_INVOKEIDLIST;
  execute.hwnd = Handle();
  execute.nShow = SW_SHOWNORMAL;
  execute.lpIDList = const_cast<LPITEMIDLIST>(item->GetAbsoluteIDList());
  ShellExecuteExA(&execute);
}

bool TShellListView::CanEdit(int index) {
  TShellFileItem* item = files_.Item(index);
  if (!item || !item->HasAttribute(saCanRename)) return false;
  LimitNameEdit(reinterpret_cast<HWND>(Perform(LVM_GETEDITCONTROL, 0, 0)), item->GetPath());
  return true;
}

bool TShellListView::Edited(int index, const std::string& text) {
  TShellFileItem* item = files_.Item(index);
  if (!item) return false;
  const std::string refusal = NewNameRefusal(item->GetPath(), text);
  if (!refusal.empty()) {
    refusedItem_ = item;
    refusedName_.Start(Handle(), AnsiToWide(text), AnsiToWide(refusal));
    return false;
  }
  TShIDListPtr renamed;
  if (!item->SetNameInFolder(Handle(), AnsiToWide(text), SHGDN_INFOLDER, renamed)) return false;
  item->Renamed(std::move(renamed));
  return true;
}

void TShellListView::EditRefused(int index, const std::wstring& typed,
                                 const std::vector<char32_t>& refused) {
  refusedItem_ = files_.Item(index);
  if (refusedItem_) refusedName_.Start(Handle(), typed, UnknownCharactersRefusal(refused));
}

void TShellListView::EditRefusedName() {
  refusedName_.Step(Handle(), [this]() -> HWND {
    // A refill meanwhile may have dropped the item.
    const int index = files_.IndexOf(refusedItem_);
    if (index < 0) return nullptr;
    EditLabel(index);
    return reinterpret_cast<HWND>(Perform(LVM_GETEDITCONTROL, 0, 0));
  });
}

// --- Context menu -------------------------------------------------------------------------------

void TShellListView::SetShellPopupMenu(TShellPopupMenu* menu) {
  shellPopupMenu_ = menu;
  if (menu) menu->AutoPopup = false;
}

void TShellListView::ContextPopup(POINT screenPoint) {
  const std::vector<int> selected = SelectedIndexes();
  if (selected.empty() || !files_.FolderIDList()) return;
  if (screenPoint.x == -1 && screenPoint.y == -1) {
    // From the keyboard: below the first selected item's label.
    RECT label{};
    label.left = LVIR_LABEL;
    SendMessageA(Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(selected.front()),
                 reinterpret_cast<LPARAM>(&label));
    screenPoint = POINT{label.left, label.bottom};
    ClientToScreen(Handle(), &screenPoint);
  }
  TShellIDList items;  // not owned: the list's items and folder hold the lists
  items.SetParentIDList(const_cast<LPITEMIDLIST>(files_.FolderIDList()));
  for (int index : selected)
    items.Add(const_cast<LPITEMIDLIST>(files_.Item(index)->RelativeIDList()));
  int command = 0;
  {
    // The shell's commands change the folder; the list acts on them itself.
    struct TWatchPause {
      TShellListView& list;
      explicit TWatchPause(TShellListView& paused) : list(paused) { list.WatchFolder(""); }
      ~TWatchPause() { list.WatchFolder(list.files_.FolderPath()); }
    } pause(*this);
    shellPopupMenu_->PopupComponent = this;
    command = shellPopupMenu_->PopupShellMenu(items, screenPoint);
  }
  ActOnShellCommand(command, selected);
}

void TShellListView::ActOnShellCommand(int command, const std::vector<int>& selected) {
  switch (command) {
    case kShellPasteDone:
      if (!files_.FolderPath().empty()) Refill();
      break;
    case kShellDeleteDone: {
      // Only when the items are really gone (the user may have said no).
      const std::string first = files_.Item(selected.front())->GetPath();
      if (first.empty() || GetFileAttributesA(first.c_str()) != INVALID_FILE_ATTRIBUTES) break;
      ClearSelection();
      files_.Remove(selected);
      selectedSize_ = 0;
      SetItemCount(files_.Count());
      Repaint();
      if (link_.OnItemsDeleted) link_.OnItemsDeleted();
      break;
    }
    case kShellRenameChosen: EditLabel(selected.front()); break;
    default: break;
  }
}
