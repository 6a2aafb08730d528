#include "shell/ShellFileList.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

#include "framework/KernelHandle.h"
#include "shell/ShellChildren.h"
#include "shell/ShellUtils.h"

namespace {

bool ReadFileRecord(const std::string& path, WIN32_FIND_DATAA& record) {
  if (path.empty()) return false;
  // Closed at once: only the first record is wanted.
  const TFindHandle search(FindFirstFileA(path.c_str(), &record));
  return static_cast<bool>(search);
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

}  // namespace

const TShellFileColumn kFileColumns[TShellFileList::kColumns] = {
    {"名前", TColumnAlignment::Left},           {"サイズ", TColumnAlignment::Right},
    {"ファイルの種類", TColumnAlignment::Left}, {"更新日時", TColumnAlignment::Left},
    {"属性", TColumnAlignment::Right},
};

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
  // In the order listed: the list sorts by its own column.
  items_ = ListChildren(
      *shellFolder_.Get(),
      {.owner = owner, .withFiles = true, .includeHidden = includeHidden, .folderOrder = false},
      [this](TShIDListPtr relative) {
        return std::make_unique<TShellFileItem>(*this, std::move(relative), shellFolder_.Get());
      },
      [&accept](const std::unique_ptr<TShellFileItem>& item) { return accept(*item); });
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
