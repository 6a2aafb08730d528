#pragma once
// The file list: the items (files and folders) of one shell folder, as icons or as report rows
// with name, size, type, modification time and attributes. The control is virtual: it keeps no
// texts and asks its TShellFileList for item i whenever it draws, finds or measures one. Two file
// watchers keep the list in step with the folder on disk.

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
#include "shell/ShellCtrlList.h"
#include "shell/ShellDataItems.h"
#include "shell/ShellDragDrop.h"
#include "shell/ShellIDFunc.h"
#include "shell/ShellLink.h"
#include "shell/ShellNewName.h"
#include "shell/ShellUtils.h"

class TShellFileList;
class TShellListView;
class TShFilesWatcher;
class TShellPopupMenu;

// Pictures for the attributes column instead of its letters: with an image list, the column shows
// the image of each attribute the item has (read-only, hidden, system, archive, in that order;
// -1: none for that attribute).
struct TAttributesImage {
  HIMAGELIST ImageList = nullptr;  // not owned
  int Archive = -1;
  int Hidden = -1;
  int ReadOnly = -1;
  int System = -1;
};

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

// Keys: Enter opens the focused item, as a double click does; Backspace and Alt+Up show the folder
// above. Items dragged out go as the shell's data of the selected items; shell items dropped onto a
// folder row, or onto the list's empty space (its own folder), go to that folder's shell drop
// target with the drag's button (ShellListViewDrag.cpp).
class TShellListView : public TCustomListView, public TShellDeviceSink, private TShellDragSink {
 public:
  // Registers with the control registry and shows the desktop.
  TShellListView(TContainer& parent, const TBounds& bounds);
  ~TShellListView() override;

  // Shows the folder of an absolute list; nothing when it is shown already or there is no window.
  void SetFolderIDList(LPCITEMIDLIST folder);
  LPCITEMIDLIST FolderIDList() const noexcept { return files_.FolderIDList(); }
  // Lists the folder again from the shell; the same items stay selected, and focused.
  void Refill();
  TShellFileList& Files() noexcept { return files_; }

  // The list's link to a folder tree: it raises OnFolderChosen when the user opens a folder or
  // goes up, OnSettingsChanged, OnFolderGone and OnItemsDeleted.
  TShellLink& Link() noexcept { return link_; }
  // The folder tree that follows the list, null for none.
  const TWinControl* LinkedTree() const noexcept { return link_.Follower(); }

  // Hidden items are listed (default true); a change lists the folder again, and raises
  // OnSettingsChanged.
  bool IncludeHidden() const noexcept { return includeHidden_; }
  void SetIncludeHidden(bool value);
  // Which virtual desktop items are listed (default the recycle bin and the network).
  TShVirtuaItems ShVirtuaItems() const noexcept { return shVirtuaItems_; }
  void SetShVirtuaItems(TShVirtuaItems items);
  const TAttributesImage& AttributesImage() const noexcept { return attributesImage_; }
  void SetAttributesImage(const TAttributesImage& images);

  // The total size of the selected items.
  unsigned long long SelectedSize() const noexcept { return selectedSize_; }

  // The shell's context menu for the selected items (right click, Shift+F10, the Apps key); none
  // without one. Not owned; the menu must outlive its use here.
  TShellPopupMenu* ShellPopupMenu() const noexcept { return shellPopupMenu_; }
  void SetShellPopupMenu(TShellPopupMenu* menu);

  // Sorts by a column as a click on its header does: the column's direction is reversed first.
  void SortByColumn(int column);

  // Events.
  std::function<void(TShellFileItem& item, bool& accept)> OnShFilter;
  std::function<void(TShellFileList& files)> OnShListChange;
  std::function<void(unsigned long long selectedSize)> OnShSelChange;
  std::function<void(TShellFileItem& item, TShiftState shift, int subItem, int x, int y,
                     bool& defaultAction)>
      OnShExecute;
  // The clipboard changed; `contented`: it now holds shell items (files or item lists) to paste.
  std::function<void(bool contented)> OnShClipboard;

  // Drag events. `item` is the row under the pointer, null for the list's own folder.
  std::function<void(TShellFileItem& item, bool& canDrag)> OnShBeginDrag;
  std::function<void(TShellDragObject& dragObject, TShiftState shift, POINT screenPoint,
                     bool& accept)>
      OnShDragEnter;
  std::function<void(TShellDragObject& dragObject, TShellFileItem* item, TShiftState shift, int x,
                     int y)>
      OnShDragOver;
  std::function<void(TShellDragObject& dragObject, TShellFileItem* item, TShiftState shift, int x,
                     int y, bool& defaultAction)>
      OnShDragDrop;
  std::function<void()> OnShDragLeave;

  // The drop target registered for the window (not owned).
  IDropTarget* OleDropTarget() const noexcept { return ole_.Get(); }
  // True while foreign data is over the list or items are dragged from it.
  bool Dragging() const noexcept { return dragObject_ != nullptr || draggingOut_; }
  // Shell drop targets that may still be at work after a drop; released at the next drag or
  // name change once only this list holds them.
  int PendingDropTargets() const noexcept { return static_cast<int>(pendingDropTargets_.size()); }

  // The control registry's volume events: nothing to do for a list.
  void ShellDeviceChange(const std::string&, DWORD, LPCITEMIDLIST, TShDeviceChangeKind) override {}

 protected:
  void CreateWnd() override;
  void DestroyWnd() override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  std::string ItemText(int index, int subItem) override;
  int ItemImage(int index) override;
  int ItemOverlay(int index) override;
  int FindText(const std::string& text, bool partial, int start, bool wrap) override;
  int FindData(LPARAM data) override;
  void SelectionChanged(int first, int last) override;
  void ColumnClick(int column) override { SortByColumn(column); }
  void ItemActivated(const TActivation& activation) override;
  bool CanEdit(int index) override;
  bool WantsSubItemDrawing() override { return attributesImage_.ImageList != nullptr; }
  void DrawSubItem(HDC dc, int index, int subItem, const RECT& area) override;
  bool Edited(int index, const std::string& text) override;
  void BeginDrag(int index, bool rightButton) override;
  // The shell's drop target of a row (null: of the list's own folder) that may take drops; false
  // for none.
  virtual bool ItemDropTarget(TShellFileItem* item, TComPtr<IDropTarget>& target);

 private:
  void WindowCreated();
  // The watchers, the registry and the window's shell parts.
  void StartShellParts();
  void ReleaseShellParts() noexcept;
  bool Listed(TShellFileItem& item);
  // The five columns (captions from the table) with the saved widths and order.
  void ShowAllColumns();
  // Lists the current folder from the shell, nothing selected.
  void ReadFolder();
  void WatchFolder(const std::string& path);
  // The steps of a refused name back into the item's edit.
  void EditRefusedName();
  void NamesChanged();
  void AttributesChanged();
  void ContextPopup(POINT screenPoint);
  // The answer to WM_GETDLGCODE for the dialog key `message` (null: none).
  LRESULT DialogCode(WPARAM key, const MSG* message);
  // Backspace and Alt+Up: the folder above the shown one, raising OnFolderChosen.
  void ShowParentFolder();
  void ShowChosenFolder(LPCITEMIDLIST folder);
  void ActOnShellCommand(int command, const std::vector<int>& selected);

  // Dropping in (ShellListViewDrag.cpp).
  HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT DragLeave() override;
  HRESULT Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
  // The row under a screen point (null for none) and its client point.
  TShellFileItem* ItemAtScreen(POINTL point, POINT& client);
  void EndDrag();

  TShellFileList files_;
  bool includeHidden_ = true;
  TShVirtuaItems shVirtuaItems_{itBitBucket, itNetWork};
  TShellLink link_;
  unsigned long long selectedSize_ = 0;
  bool resorting_ = false;  // no selection events while a sort puts the selection back
  TShellPopupMenu* shellPopupMenu_ = nullptr;  // not owned
  TAttributesImage attributesImage_;
  std::vector<int> savedOrder_;
  std::vector<int> savedWidths_;
  TShFilesWatcher* nameWatcher_ = nullptr;  // not owned: it frees itself; forgotten when it ends
  TShFilesWatcher* attributeWatcher_ = nullptr;   // likewise
  TComPtr<IDropTarget> ole_;                      // a TShellOleSide
  std::unique_ptr<TShellDragObject> dragObject_;  // while foreign data is over the list
  bool rightButtonDrag_ = false;
  bool draggingOut_ = false;
  // Posted while a typed name that was refused goes back into its edit. In the WM_APP range, above
  // the list view's own messages.
  static constexpr UINT kRefusedNameMessageId = WM_APP + 2;
  TRefusedName refusedName_{kRefusedNameMessageId};
  const TShellFileItem* refusedItem_ = nullptr;  // its item; not owned, looked for before use
  std::vector<TComPtr<IDropTarget>> pendingDropTargets_;
};
