#pragma once
// The file list's model: the items of one shell folder, their sort order and the texts of their
// report columns. TShellListView draws from it.

#include <windows.h>
#include <shlobj.h>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/ListView.h"
#include "shell/ComPtr.h"
#include "shell/ShellDataItems.h"
#include "shell/ShellIDFunc.h"

class TShellFileList;

// The size column's text for a file of `bytes`: whole kilobytes, rounded up, with digit grouping
// ("0KB", "1KB", "1,024KB").
std::string FileSizeText(unsigned long long bytes);

// One listed item. Its absolute list is made on first use; its find record is read on first
// use (and read again from the disk after a change there).
class TShellFileItem : public TShellDataItem {
 public:
  // `folder` is the listed folder's interface.
  TShellFileItem(TShellFileList& list, TShIDListPtr relative, IShellFolder* folder) noexcept;

  int GetItemIndex() const override;
  int GetLevel() const override;
  LPCITEMIDLIST GetParentIDList() override;
  LPCITEMIDLIST GetAbsoluteIDList() const override;
  bool IsValid() const override { return static_cast<bool>(relativeIDList_); }

  // The file-system record of the item, as the folder lists it (the size from the disk); its file
  // name is empty for virtual items.
  const WIN32_FIND_DATAA& FindData();
  // Reads the record again from the disk (the folder's answer is what it read when listing).
  void ReadFindData();
  // Whether the record has been read (and found).
  bool HasFindData() const noexcept { return findData_ && findData_->cFileName[0] != '\0'; }
  bool IsFile();  // in the file system, not a folder
  unsigned long long Size();

  // After a rename: the new relative list; the rest is read again.
  void Renamed(TShIDListPtr relative);

 private:
  TShellFileList* list_;           // not owned: it owns this item
  mutable TShIDListPtr absolute_;  // made on first use
  // Made when first asked for (for the rows drawn), so a large folder costs little more than
  // its item lists.
  std::unique_ptr<WIN32_FIND_DATAA> findData_;

  void ReadWholeSize();
};

// The items of the current folder, in the order of the sort column.
class TShellFileList {
 public:
  static constexpr int kColumns = 5;
  static constexpr int kAttributesColumn = 4;

  TShellFileList() { items_.reserve(1000); }
  TShellFileList(const TShellFileList&) = delete;
  TShellFileList& operator=(const TShellFileList&) = delete;

  int Count() const noexcept { return static_cast<int>(items_.size()); }
  TShellFileItem* Item(int index) const noexcept;
  int IndexOf(const TShellFileItem* item) const noexcept;

  // The folder shown; null before the first.
  LPCITEMIDLIST FolderIDList() const noexcept { return folder_.Get(); }
  void SetFolderIDList(TShIDListPtr folder);
  int FolderLevel() const noexcept { return folderLevel_; }
  // Empty for a folder outside the file system.
  const std::string& FolderPath() const noexcept { return folderPath_; }
  // The folder's own interface, bound by the last Enumerate; null when it could not be.
  IShellFolder* Folder() const noexcept { return shellFolder_.Get(); }
  TShItemIDType FolderType() const noexcept { return folderType_; }

  // Frees every item.
  void Clear();
  // Lists the folder's items for which `accept` answers true; nothing when it cannot be bound.
  void Enumerate(HWND owner, bool includeHidden,
                 const std::function<bool(TShellFileItem&)>& accept);
  // Sorts by `column` (0 to 4) in that column's direction, with the folder's CompareIDs.
  void Sort(int column);
  // The same order, but only the first `count` items are put in place now: the rest follow on
  // FinishSort, or as soon as anything looks past them. A large folder's first page is shown
  // without waiting for the whole order, which costs Wine 0.1 s for 20,000 items.
  void SortFirst(int column, int count);
  void FinishSort() const;
  // The indexes of the items whose relative lists are among `lists` (lists of this folder), in
  // ascending order.
  std::vector<int> IndexesOf(std::vector<TShIDListPtr> lists) const;
  int SortColumn() const noexcept { return sortColumn_; }
  // +1 or -1.
  int SortDirection(int column) const { return directions_[static_cast<std::size_t>(column)]; }
  void ReverseDirection(int column) {
    directions_[static_cast<std::size_t>(column)] = -directions_[static_cast<std::size_t>(column)];
  }

  // Drops the items at `indexes` (ascending) from the list.
  void Remove(const std::vector<int>& indexes);

  // Texts of the five columns.
  std::string Text(int index, int column);
  // The item's system image list index (shared by the large and the small list).
  int IconIndex(TShellFileItem& item);

 private:
  TShIDListPtr folder_;
  std::string folderPath_;  // read once per folder: every item's size read joins it
  int folderLevel_ = -1;
  TShItemIDType folderType_ = itUnknown;
  TComPtr<IShellFolder> shellFolder_;
  // The items after the first pendingFrom_ are still in the order listed, all of them after the
  // sorted ones; kNothingPending when the whole list is in order.
  static constexpr std::size_t kNothingPending = static_cast<std::size_t>(-1);
  mutable std::vector<std::unique_ptr<TShellFileItem>> items_;
  mutable std::size_t pendingFrom_ = kNothingPending;
  int sortColumn_ = 0;
  std::array<int, kColumns> directions_{1, 1, 1, 1, 1};
  // Per file type (extension as written: Wine names an unknown type after its letters' case) in
  // the current folder.
  std::map<std::string, std::string> typeNames_;
  std::map<std::string, int> typeIcons_;

  // Whether `a` comes before `b` in `column`'s order.
  bool Before(int column, const TShellFileItem& a, const TShellFileItem& b) const;
  std::string PathOfFolder() const;
  static std::string TypeKey(TShellFileItem& item);
  std::string TypeName(TShellFileItem& item);
  // The bound file-system folder's own type text for `item`; false in a virtual folder.
  bool FolderTypeColumn(TShellFileItem& item, std::string& name);
};

// A report column's caption and alignment.
struct TShellFileColumn {
  const char* Caption;
  TColumnAlignment Alignment;
};
// Name, size, type, modification time, attributes.
extern const TShellFileColumn kFileColumns[TShellFileList::kColumns];
