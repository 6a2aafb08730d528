#include "shell/ShellListView.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

#include "shell/AnsiText.h"
#include "shell/ReleaseOnThrow.h"
#include "shell/ShellNotify.h"
#include "shell/ShellPopupMenu.h"
#include "shell/ShellVirtualItems.h"

namespace {

struct TColumnInfo {
  const char* Caption;
  TColumnAlignment Alignment;
};
constexpr TColumnInfo kColumnTable[TShellFileList::kColumns] = {
    {"名前", TColumnAlignment::Left},           {"サイズ", TColumnAlignment::Right},
    {"ファイルの種類", TColumnAlignment::Left}, {"更新日時", TColumnAlignment::Left},
    {"属性", TColumnAlignment::Right},
};
constexpr int kAttributesColumn = 4;

// Posted after a refill: the rest of the order, once the first page has been drawn. In the WM_APP
// range, above the list view's own messages.
constexpr UINT kFinishSortMessage = WM_APP + 1;

// What PopupShellMenu answers for the shell's paste command: items may have come.
constexpr int kShellPasteDone = 17;

constexpr DWORD kNameChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME;
constexpr DWORD kAttributeChanges =
    FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;

bool ReadFileRecord(const std::string& path, WIN32_FIND_DATAA& record) {
  if (path.empty()) return false;
  HANDLE search = FindFirstFileA(path.c_str(), &record);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

std::string ModifiedText(const FILETIME& written) {
  if (written.dwLowDateTime == 0 && written.dwHighDateTime == 0) return {};
  FILETIME local{};
  SYSTEMTIME time{};
  if (!FileTimeToLocalFileTime(&written, &local) || !FileTimeToSystemTime(&local, &time)) return {};
  char date[64] = {};
  char clock[64] = {};
  GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, sizeof date);
  GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &time, nullptr, clock, sizeof clock);
  return std::string(date) + " " + clock;
}

std::string AttributeLetters(DWORD attributes) {
  std::string letters;
  if (attributes & FILE_ATTRIBUTE_READONLY) letters += 'R';
  if (attributes & FILE_ATTRIBUTE_HIDDEN) letters += 'H';
  if (attributes & FILE_ATTRIBUTE_SYSTEM) letters += 'S';
  if (attributes & FILE_ATTRIBUTE_ARCHIVE) letters += 'A';
  return letters;
}

// Upper case for a name search; double-byte characters stay as they are.
std::string SearchForm(std::string text) {
  CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

}  // namespace

std::string FileSizeText(unsigned long long bytes) {
  const unsigned long long kilobytes = bytes / 1024 + (bytes % 1024 ? 1 : 0);
  const std::string digits = std::to_string(kilobytes);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped + "KB";
}

// --- TShellFileItem ---------------------------------------------------------------------------

TShellFileItem::TShellFileItem(TShellFileList& list, TShIDListPtr relative,
                               IShellFolder* folder) noexcept
    : TShellDataItem(std::move(relative), TShIDListPtr()), list_(&list) {
  parentFolder_ = folder;
}

int TShellFileItem::GetItemIndex() const { return list_->IndexOf(this); }

int TShellFileItem::GetLevel() const { return list_->FolderLevel() + 1; }

LPCITEMIDLIST TShellFileItem::GetParentIDList() { return list_->FolderIDList(); }

LPCITEMIDLIST TShellFileItem::GetAbsoluteIDList() const {
  if (!absolute_) {
    // The desktop's list is the empty list, so its items' own lists are absolute already.
    absolute_.Attach(list_->FolderLevel() == 0
                         ? CopyIDList(relativeIDList_.Get())
                         : ConcatIDLists(list_->FolderIDList(), relativeIDList_.Get()));
  }
  return absolute_.Get();
}

const WIN32_FIND_DATAA& TShellFileItem::FindData() {
  if (!findData_) findData_ = std::make_unique<WIN32_FIND_DATAA>();
  if (findData_->cFileName[0] != '\0') return *findData_;
  TComPtr<IShellFolder> folder;
  // The desktop folder answers no find data for its items; other folders answer what their
  // item list carries, which costs nothing, where the item's path costs Wine 20 ms in a large
  // folder.
  if (GetLevel() == 1 || !GetParentFolder(folder) ||
      FAILED(SHGetDataFromIDListA(folder.Get(), RelativeIDList(), SHGDFIL_FINDDATA, findData_.get(),
                                  sizeof *findData_)))
    ReadFindData();
  else if (IsFile())
    ReadWholeSize();
  return *findData_;
}

void TShellFileItem::ReadWholeSize() {
  // Wine's answer above keeps only the low 32 bits of the size: a file above 4 GB would show
  // the remainder. The disk has all of it.
  std::string path = list_->FolderPath();
  if (path.empty()) return;
  if (path.back() != '\\') path += '\\';
  WIN32_FILE_ATTRIBUTE_DATA disk{};
  if (!GetFileAttributesExA((path + findData_->cFileName).c_str(), GetFileExInfoStandard, &disk))
    return;
  findData_->nFileSizeHigh = disk.nFileSizeHigh;
  findData_->nFileSizeLow = disk.nFileSizeLow;
}

void TShellFileItem::ReadFindData() {
  if (!findData_) findData_ = std::make_unique<WIN32_FIND_DATAA>();
  if (!ReadFileRecord(GetPath(), *findData_)) *findData_ = WIN32_FIND_DATAA{};
}

bool TShellFileItem::IsFile() {
  const WIN32_FIND_DATAA& record = FindData();
  return record.cFileName[0] != '\0' && !(record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

unsigned long long TShellFileItem::Size() {
  if (!IsFile()) return 0;
  return (static_cast<unsigned long long>(findData_->nFileSizeHigh) << 32) |
         findData_->nFileSizeLow;
}

void TShellFileItem::Renamed(TShIDListPtr relative) {
  relativeIDList_ = std::move(relative);
  absolute_.Reset();
  ResetIcons();
  displayName_.clear();
  findData_.reset();
}

// --- TShellFileList ---------------------------------------------------------------------------

TShellFileItem* TShellFileList::Item(int index) const noexcept {
  if (index < 0 || index >= Count()) return nullptr;
  if (static_cast<std::size_t>(index) >= pendingFrom_) FinishSort();
  return items_[static_cast<std::size_t>(index)].get();
}

int TShellFileList::IndexOf(const TShellFileItem* item) const noexcept {
  FinishSort();
  for (int i = 0; i < Count(); ++i)
    if (items_[static_cast<std::size_t>(i)].get() == item) return i;
  return -1;
}

void TShellFileList::SetFolderIDList(TShIDListPtr folder) {
  Clear();
  typeNames_.clear();
  typeIcons_.clear();
  shellFolder_.Reset();
  folder_ = std::move(folder);
  folderLevel_ = IDListLevel(folder_.Get());
  folderType_ = itUnknown;
  folderPath_ = PathOfFolder();
}

std::string TShellFileList::PathOfFolder() const {
  std::string path;
  if (folderLevel_ == 0) {
    // The desktop stands for its directory.
    TShIDListPtr directory;
    if (GetSpecialFolderIDList(sfDesktopDirectory, directory.Out()))
      PathFromIDList(directory.Get(), path);
  } else {
    PathFromIDList(folder_.Get(), path);
  }
  // Wine answers the network with a "::{...}" text: no path.
  if (path.rfind("::", 0) == 0) path.clear();
  return path;
}

void TShellFileList::Clear() {
  items_.clear();
  pendingFrom_ = kNothingPending;
}

void TShellFileList::Enumerate(HWND owner, bool includeHidden,
                               const std::function<bool(TShellFileItem&)>& accept) {
  Clear();
  TComPtr<IShellFolder> desktop;
  if (!folder_ || FAILED(SHGetDesktopFolder(desktop.Out())) || !desktop) return;
  if (folderLevel_ == 0) {
    shellFolder_ = desktop;
  } else if (FAILED(desktop->BindToObject(folder_.Get(), nullptr, IID_IShellFolder,
                                          shellFolder_.OutVoid())) ||
             !shellFolder_) {
    return;
  }
  if (folderLevel_ == 1) {
    // The folder's type, as an item of the desktop.
    TShellFileList desktopList;
    TShIDListPtr empty;
    GetSpecialFolderIDList(sfDesktop, empty.Out());
    desktopList.SetFolderIDList(std::move(empty));
    TShellFileItem self(desktopList, TShIDListPtr::CopyOf(folder_.Get()), desktop.Get());
    folderType_ = self.GetItemType();
  }
  const SHCONTF flags =
      SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | (includeHidden ? SHCONTF_INCLUDEHIDDEN : 0);
  TComPtr<IEnumIDList> listing;
  if (FAILED(shellFolder_->EnumObjects(owner, flags, listing.Out())) || !listing) return;
  LPITEMIDLIST relative = nullptr;
  while (listing->Next(1, &relative, nullptr) == S_OK && relative) {
    auto item = std::make_unique<TShellFileItem>(*this, TShIDListPtr(relative), shellFolder_.Get());
    if (accept(*item)) items_.push_back(std::move(item));
  }
}

bool TShellFileList::Before(int column, const TShellFileItem& a, const TShellFileItem& b) const {
  // A failure counts as equal.
  const HRESULT result =
      shellFolder_->CompareIDs(static_cast<LPARAM>(column), a.RelativeIDList(), b.RelativeIDList());
  return !FAILED(result) && CompareIDsOrder(result) * SortDirection(column) < 0;
}

void TShellFileList::Sort(int column) {
  if (!shellFolder_ || column < 0 || column >= kColumns) return;
  FinishSort();
  sortColumn_ = column;
  // Stable, and safe with a comparison that is not consistent.
  std::stable_sort(items_.begin(), items_.end(),
                   [&](const auto& a, const auto& b) { return Before(column, *a, *b); });
}

void TShellFileList::SortFirst(int column, int count) {
  if (!shellFolder_ || column < 0 || column >= kColumns) return;
  if (count >= Count()) return Sort(column);
  FinishSort();
  sortColumn_ = column;
  const std::size_t first = static_cast<std::size_t>(std::max(count, 0));
  // The `first` smallest in a single pass, as a bounded max-heap of positions: in a listing in no
  // particular order most items are turned away by one comparison with the heap's largest. Equal
  // items keep the listing's order, as in the stable sort.
  const auto earlier = [&](std::size_t a, std::size_t b) {
    if (Before(column, *items_[a], *items_[b])) return true;
    return a < b && !Before(column, *items_[b], *items_[a]);
  };
  std::vector<std::size_t> heap;
  heap.reserve(first);
  for (std::size_t i = 0; i < items_.size() && first > 0; ++i) {
    if (heap.size() < first) {
      heap.push_back(i);
      std::push_heap(heap.begin(), heap.end(), earlier);
    } else if (Before(column, *items_[i], *items_[heap.front()])) {
      std::pop_heap(heap.begin(), heap.end(), earlier);
      heap.back() = i;
      std::push_heap(heap.begin(), heap.end(), earlier);
    }
  }
  std::sort_heap(heap.begin(), heap.end(), earlier);
  // The chosen ones in order, then the others as they were listed.
  std::vector<bool> chosen(items_.size());
  std::vector<std::unique_ptr<TShellFileItem>> ordered;
  ordered.reserve(items_.size());
  for (std::size_t position : heap) {
    chosen[position] = true;
    ordered.push_back(std::move(items_[position]));
  }
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (!chosen[i]) ordered.push_back(std::move(items_[i]));
  items_ = std::move(ordered);
  pendingFrom_ = first;
}

std::vector<int> TShellFileList::IndexesOf(std::vector<TShIDListPtr> lists) const {
  std::vector<int> indexes;
  if (lists.empty() || !shellFolder_) return indexes;
  FinishSort();
  IShellFolder& folder = *shellFolder_.Get();
  const auto before = [&folder](const TShIDListPtr& a, LPCITEMIDLIST b) {
    return CompareChildIDs(folder, a.Get(), b) < 0;
  };
  std::sort(lists.begin(), lists.end(),
            [&](const TShIDListPtr& a, const TShIDListPtr& b) { return before(a, b.Get()); });
  for (int i = 0; i < Count(); ++i) {
    LPCITEMIDLIST wanted = items_[static_cast<std::size_t>(i)]->RelativeIDList();
    const auto found = std::lower_bound(lists.begin(), lists.end(), wanted, before);
    if (found != lists.end() && CompareChildIDs(folder, found->Get(), wanted) == 0)
      indexes.push_back(i);
  }
  return indexes;
}

void TShellFileList::FinishSort() const {
  if (pendingFrom_ == kNothingPending) return;
  const auto from = items_.begin() + static_cast<std::ptrdiff_t>(pendingFrom_);
  pendingFrom_ = kNothingPending;
  std::stable_sort(from, items_.end(),
                   [&](const auto& a, const auto& b) { return Before(sortColumn_, *a, *b); });
}

// Every file of a type has that type's name and, unless the type draws an icon of its own per
// file, the same icon: one request per type instead of one per drawn row. Neither request names
// the item to SHGetFileInfo, whose answer for an item takes Wine about 10 ms in a folder of 20,000:
// the name is the bound folder's own type column, the icon the registry's for the extension.
std::string TShellFileList::TypeKey(TShellFileItem& item) {
  const WIN32_FIND_DATAA& record = item.FindData();
  if (!item.IsFile()) return {};
  const char* dot = std::strrchr(record.cFileName, '.');
  return dot ? dot : ".";
}

std::string TShellFileList::TypeName(TShellFileItem& item) {
  const std::string key = TypeKey(item);
  if (!key.empty())
    if (const auto known = typeNames_.find(key); known != typeNames_.end()) return known->second;
  std::string name;
  if (key.empty() || !FolderTypeColumn(item, name)) {
    SHFILEINFOA info{};
    if (!SHGetFileInfoA(reinterpret_cast<LPCSTR>(item.GetAbsoluteIDList()), 0, &info, sizeof info,
                        SHGFI_TYPENAME | SHGFI_PIDL))
      return {};
    name = info.szTypeName;
  }
  if (!key.empty()) typeNames_[key] = name;
  return name;
}

bool TShellFileList::FolderTypeColumn(TShellFileItem& item, std::string& name) {
  // A file-system folder's third column is the type; a virtual folder's may be anything else.
  constexpr int kFileSystemTypeColumn = 2;
  TComPtr<IShellFolder2> details;
  SHELLDETAILS answer{};
  return shellFolder_ && !FolderPath().empty() &&
         SUCCEEDED(shellFolder_->QueryInterface(IID_IShellFolder2, details.OutVoid())) &&
         SUCCEEDED(details->GetDetailsOf(item.RelativeIDList(), kFileSystemTypeColumn, &answer)) &&
         TakeStrRetText(answer.str, item.RelativeIDList(), name);
}

int TShellFileList::IconIndex(TShellFileItem& item) {
  static const char* const kOwnIcons[] = {".exe", ".ico", ".lnk", ".cur", ".ani",
                                          ".url", ".scr", ".pif", "."};
  const std::string key = TypeKey(item);
  const bool shared = !key.empty() && std::none_of(std::begin(kOwnIcons), std::end(kOwnIcons),
                                                   [&](const char* own) {
                                                     return lstrcmpiA(key.c_str(), own) == 0;
                                                   });
  if (!shared) return item.GetIconIndex();
  if (const auto known = typeIcons_.find(key); known != typeIcons_.end()) return known->second;
  int index = FileNameIconIndex("file" + key);
  if (index < 0) index = item.GetIconIndex();
  typeIcons_[key] = index;
  return index;
}

void TShellFileList::Remove(const std::vector<int>& indexes) {
  FinishSort();
  for (auto index = indexes.rbegin(); index != indexes.rend(); ++index)
    if (*index >= 0 && *index < Count()) items_.erase(items_.begin() + *index);
}

std::string TShellFileList::Text(int index, int column) {
  TShellFileItem* item = Item(index);
  if (!item) return {};
  switch (column) {
    case 0: return item->GetDisplayName();
    case 1: return item->IsFile() ? FileSizeText(item->Size()) : std::string();
    case 2: return TypeName(*item);
    case 3:
      return item->FindData().cFileName[0] ? ModifiedText(item->FindData().ftLastWriteTime)
                                           : std::string();
    case kAttributesColumn:
      return item->FindData().cFileName[0] ? AttributeLetters(item->FindData().dwFileAttributes)
                                           : std::string();
    default: return {};
  }
}

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

void TShellListView::WindowCreated() {
  SetImages(SystemImageList(true), SystemImageList(false));
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
    AddColumn(kColumnTable[i].Caption, savedWidths_[static_cast<std::size_t>(i)],
              kColumnTable[i].Alignment);
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
    AddColumn(kColumnTable[0].Caption, savedWidths_[0], TColumnAlignment::Left);
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
    if (!path.empty() || files_.SortColumn() != kAttributesColumn) {
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
  if (subItem == kAttributesColumn && attributesImage_.ImageList) return {};
  return files_.Text(index, subItem);
}

void TShellListView::SetAttributesImage(const TAttributesImage& images) {
  attributesImage_ = images;
  Repaint();
}

void TShellListView::DrawSubItem(HDC dc, int index, int subItem, const RECT& area) {
  TShellFileItem* item = files_.Item(index);
  if (subItem != kAttributesColumn || !item || !item->FindData().cFileName[0]) return;
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
  TComPtr<IShellFolder> folder;
  if (!item || !item->GetParentFolder(folder)) return false;
  std::string refusal = NewNameRefusal(item->GetPath(), text);
  if (!refusal.empty()) {
    refusedItem_ = item;
    refusedName_.Start(Handle(), text, std::move(refusal));
    return false;
  }
  const std::wstring wide = AnsiToWide(text);
  TShIDListPtr renamed;
  if (FAILED(folder->SetNameOf(Handle(), item->RelativeIDList(), wide.c_str(), SHGDN_INFOLDER,
                               &renamed.Out())) ||
      !renamed)
    return false;
  item->Renamed(std::move(renamed));
  return true;
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
