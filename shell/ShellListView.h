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
#include "shell/ShellFileList.h"
#include "shell/ShellDragDrop.h"
#include "shell/ShellIDFunc.h"
#include "shell/ShellLink.h"
#include "shell/ShellNewName.h"
#include "shell/ShellUtils.h"

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
  void ChangeDpi(TDpi dpi) override;
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
  void EditRefused(int index, const std::wstring& typed,
                   const std::vector<char32_t>& refused) override;
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
