#pragma once
// The folder tree: the shell namespace from the desktop down, folders only. It fills itself from
// the shell as nodes are expanded, shows the system's icons (asked for only when drawn), and keeps
// in step with the file system through a directory watcher over the fixed drives and through the
// volume events of the control registry. Each node owns the TShellFolderItem it shows.
//
// The interactive side is split by concern: mouse presses, the context menu and label editing in
// ShellTreeViewMenu.cpp, dragging out and dropping in in ShellTreeViewDrag.cpp. A click selects on
// release, so a press that turns into a drag never changes the selection; while a press or a drag
// is on (the press state), refreshes wait and labels cannot be edited. Editing a node's label
// renames the folder in the shell. A linked path combo box and file list (ShellTreeViewLinks.cpp)
// follow the selection, and choosing a folder in either selects it here.

#include <windows.h>
#include <oleidl.h>
#include <shlobj.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/TreeView.h"
#include "shell/ComPtr.h"
#include "shell/ShellCtrlList.h"
#include "shell/ShellDataItems.h"
#include "shell/ShellDragDrop.h"
#include "shell/ShellIDFunc.h"
#include "shell/ShellNewName.h"
#include "shell/ShellUtils.h"

class TShDirWatcher;
class TShellPopupMenu;

class TShellComboBox;
class TShellListView;

class TShellTreeView : public TCustomTreeView, public TShellDeviceSink, private TShellDragSink {
 public:
  // Idle, a left or right press on an item, or a drag from or over the tree.
  enum class TPressState { Idle, LeftPress, RightPress, Dragging };

  using TShellBeginDragEvent = std::function<void(TShellTreeView& sender, TTreeNode& node,
                                                  POINT pressPoint, int x, int y, bool& canDrag)>;
  using TShellTreeDragEnterEvent =
      std::function<void(TShellTreeView& sender, TShellDragObject& dragObject, TShiftState shift,
                         POINT screenPoint, bool& accept)>;
  using TShellTreeDragEvent =
      std::function<void(TShellTreeView& sender, TShellDragObject& dragObject, TTreeNode& node,
                         TShiftState shift, int x, int y)>;
  using TShellTreeDropEvent =
      std::function<void(TShellTreeView& sender, TShellDragObject& dragObject, TTreeNode& node,
                         TShiftState shift, int x, int y, bool& defaultAction)>;

  // When the tree is first filled: at once, or when FillFirstTime is called (a window that shows
  // itself before its tree's shell work).
  enum class TFirstFill { Now, Later };

  // At once, or on FillFirstTime: builds the root (the desktop, expanded, its first child
  // expanded, selected), registers with the control registry, starts watching the fixed drives
  // and takes drops.
  TShellTreeView(TContainer& parent, const TBounds& bounds, TFirstFill fill = TFirstFill::Now);
  ~TShellTreeView() override;

  // The first fill of a tree made to fill later; nothing when it is filled already.
  void FillFirstTime();
  // Its first step alone, for a window that shows the nodes before anything else: watching
  // started and the root built. FillFirstTime must follow; until then the tree neither hears of
  // volume changes nor takes drops.
  void ShowFirstNodes();

  // The file-system path of the selected folder, in the ANSI code page: the desktop directory for
  // the root, "C:\" for a drive, a folder's full path without a trailing backslash; empty when
  // nothing valid is selected or the folder is virtual (the computer, the network, ...).
  std::string SelectedPath() const;
  // The absolute list of the selected node's item, else of the first node's, else null. Stays
  // the item's.
  LPCITEMIDLIST SelectedIDList() const;
  // Selects the node of an absolute list (found as FindNodeByIDList finds it); null does nothing.
  void SelectIDList(LPCITEMIDLIST list);
  // The node of an absolute list, expanding and synchronising the nodes on the way; the root
  // when the list is not in the tree.
  TTreeNode* FindNodeByIDList(LPCITEMIDLIST list);
  // Re-reads every visible part of the tree from the shell: expanded or filled nodes merge with
  // the folder's children, other nodes re-read their expand button and overlay.
  void RefreshTree();
  // Merges `node`'s child nodes with the folder's children as the shell lists them now: nodes of
  // children still there stay (with their expansion and selection), new ones are inserted in
  // order, gone ones are deleted.
  void SyncChildren(TTreeNode& node);
  // Renames the folder of `node` in the shell. On success the node moves to its place among its
  // siblings and its children are read again (expanded as before). The node shows its item's
  // name afterwards either way. False, changing nothing, when the folder cannot be renamed.
  bool RenameNode(TTreeNode& node, const std::string& newName);
  // The shell's menu for the selected folder, below its label, as the keyboard asks for it
  // (Shift+F10, the Apps key). False when there is none to show.
  bool PopupMenuForSelected() { return ContextPopup(POINT{-1, -1}); }
  // The keys of a file manager's folder tree, for a form to bind to OnKeyDown (the tree has no
  // keys of its own): F2 renames the selected folder; Shift+F10 and the Apps key show the shell's
  // menu for it. True when `key` was one of them.
  bool FileManagerKey(UINT key);

  // Hidden folders are listed (default true).
  bool IncludeHidden() const noexcept { return includeHidden_; }
  void SetIncludeHidden(bool value);
  // Which virtual desktop items show (default the recycle bin and the network).
  TShVirtuaItems ShVirtuaItems() const noexcept { return shVirtuaItems_; }
  void SetShVirtuaItems(TShVirtuaItems items);

  // The roots of the fixed drives, sorted: the folders the watcher observes.
  const std::vector<std::string>& FixedDrives() const noexcept { return drives_; }
  // The drop target registered for the window (not owned).
  IDropTarget* OleDropTarget() const noexcept;
  // The tree as a drag source (not owned).
  IDropSource* OleDropSource() const noexcept;
  TPressState PressState() const noexcept { return pressState_; }
  // True while a drag is over the tree or from it.
  bool Dragging() const noexcept { return pressState_ == TPressState::Dragging; }
  // Shell drop targets that may still be at work after a drop; released on the next directory
  // report once only this list holds them.
  int PendingDropTargets() const noexcept { return static_cast<int>(pendingDropTargets_.size()); }

  // The shell context menu shown for a right-clicked folder; not owned, null for none. Linking
  // switches its own automatic popup off; a menu that goes is unlinked.
  TShellPopupMenu* ShellPopupMenu() const noexcept { return shellPopupMenu_; }
  void SetShellPopupMenu(TShellPopupMenu* menu);

  // Linked controls; not owned, null for none. Linking copies IncludeHidden and ShVirtuaItems
  // to the control and shows it the selected folder; a control that goes away unlinks itself.
  TShellComboBox* ShellComboBox() const noexcept { return comboBox_; }
  void SetShellComboBox(TShellComboBox* box);
  TShellListView* ShellListView() const noexcept { return listView_; }
  void SetShellListView(TShellListView* list);

  std::function<void(TShellTreeView& sender)> OnShDragLeave;
  TShellBeginDragEvent OnShBeginDrag;
  TShellTreeDragEnterEvent OnShDragEnter;
  TShellTreeDragEvent OnShDragOver;
  TShellTreeDropEvent OnShDragDrop;

  // A volume event from the control registry: handed to the watcher, which gives it back one
  // second later.
  void ShellDeviceChange(const std::string& displayText, DWORD eventCode, LPCITEMIDLIST list,
                         TShDeviceChangeKind changeKind) override;

 protected:
  // The steps of dragging, each firing its event: whether a drag may start from `node` with the
  // pointer at x, y; whether foreign data may come in; data over a node; dropped on one (false
  // leaves the shell's drop undone); gone again.
  virtual bool CanBeginDrag(TTreeNode& node, int x, int y);
  virtual bool DragEnterStep(TShellDragObject& dragObject, TShiftState shift, POINT screenPoint);
  virtual void DragOverStep(TShellDragObject& dragObject, TTreeNode& node, TShiftState shift, int x,
                            int y);
  virtual bool DragDropStep(TShellDragObject& dragObject, TTreeNode& node, TShiftState shift, int x,
                            int y);
  virtual void DragLeaveStep();
  // The shell's drop target of a folder that may take drops (one with SFGAO_DROPTARGET, or the
  // desktop); false for none.
  virtual bool ItemDropTarget(TShellFolderItem& item, TComPtr<IDropTarget>& target);

  void CreateWnd() override;
  void DestroyWnd() override;
  void ChangeDpi(TDpi dpi) override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT Notify(const NMHDR& header) override;
  bool CanExpand(TTreeNode& node) override;
  bool CanChange(TTreeNode* node) override;
  // Shows the selected folder in the linked controls.
  void Change(TTreeNode* node) override;
  bool CanEdit(TTreeNode& node) override;
  void Edited(TTreeNode& node, std::string& text) override;
  void EditRefused(TTreeNode& node, const std::wstring& typed,
                   const std::vector<char32_t>& refused) override;
  void GetImageIndex(TTreeNode& node) override;
  void GetSelectedIndex(TTreeNode& node) override;

 private:
  // Holds back the watcher's reports while the tree changes folders itself (a rename, the shell's
  // menu); a report that came meanwhile refreshes when the last hold ends.
  class TReportHold {
   public:
    explicit TReportHold(TShellTreeView& tree);
    ~TReportHold();
    TReportHold(const TReportHold&) = delete;
    TReportHold& operator=(const TReportHold&) = delete;

   private:
    TShellTreeView& tree_;
  };
  // A child as the folder lists it. Its item is made when it is needed: to filter the desktop's
  // and the computer's children, or for a new node; a refresh of a large folder whose children
  // all have their nodes makes none.
  struct TChild {
    TShIDListPtr relative;  // until the item takes it over
    std::unique_ptr<TShellFolderItem> item;
    LPCITEMIDLIST RelativeIDList() const { return item ? item->RelativeIDList() : relative.Get(); }
  };
  using TChildren = std::vector<TChild>;

  void WindowCreated();
  // The watch, then the image list, the root's nodes and the kept selection in a new window.
  void WatchAndShowRoot();
  // Volume events from the control registry, and drops on the window.
  void JoinRegistryAndTakeDrops();
  // Leaves the registry, stops the watcher and frees the nodes while this object is whole.
  void ReleaseShellParts() noexcept;
  void BuildRoot();
  TTreeNode* AddItemNode(TTreeNode* parent, TTreeNode* before,
                         std::unique_ptr<TShellFolderItem> item);
  TChildren EnumerateChildren(IShellFolder& folder, TShellFolderItem& parent);
  // Deletes the node of a folder the shell no longer lists.
  void DeleteVanishedNode(TTreeNode& gone);
  // The child's item, made now unless it was made for the filter; the child gives it up.
  static std::unique_ptr<TShellFolderItem> TakeItem(TChild& child, IShellFolder& folder,
                                                    TShellFolderItem& parent);
  // Lists the fixed drives and starts the watcher thread; once.
  void StartWatcher();
  void FillDriveList();
  void StartWatching();
  void StopWatching();
  void DirectoryChanged();
  // Back to no press; a report held back meanwhile is handled next.
  void EndPress();
  void HandleHeldReport();
  void DeviceChanged(const TDeviceChangeData& record);
  // The linked combo box merged with the shell again and on the selected folder.
  void RefillComboBox();
  // The linked controls show a folder renamed in the tree at once: the combo box re-filled, the
  // list on the folder under its new name, or listing it under that name.
  void ShowRenameInLinks(TTreeNode& renamed);
  // The linked combo box's entry of a drive shows a medium change.
  void ShowMediumInComboBox(const TDeviceChangeData& record);
  // Links `control` in `slot` (ending the former links of both); false when nothing changed.
  template <class Control>
  bool LinkControl(Control*& slot, Control* control);
  void UnlinkControls() noexcept;
  // New settings to the linked list and on show here.
  void ShareSettings();
  void ShowSettings();
  void SettingsChanged();

  // Mouse presses and the context menu (ShellTreeViewMenu.cpp).
  void LeftButtonDown(POINT point);
  void LeftButtonUp();
  void RightButtonDown(POINT point);
  // The node of the press going on, null for none.
  TTreeNode* PressedNode() const;
  void MouseMoved(POINT point);
  // False when the request was not the tree's to handle.
  bool ContextPopup(POINT screenPoint);
  void ActOnShellCommand(int command, TTreeNode* node);
  // The steps of a refused name back into the node's edit.
  void EditRefusedName();

  // Dragging out and dropping in (ShellTreeViewDrag.cpp).
  void AttachOleSide();
  void DetachOleSide() noexcept;
  bool DragButtonHeld() const;
  void BeginDrag(TTreeNode& node);
  HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT DragLeave() override;
  HRESULT Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
  static HRESULT NoDropEffect(DWORD* effect);
  void HoverExpand(TTreeNode* node, TTreeNode* previous);
  void ReleaseFinishedDropTargets();
  // During a drag, whether a node below the computer may be expanded: no drive without a medium,
  // no virtual folder.
  bool DragMayExpand(TShellFolderItem& item);

  bool includeHidden_ = true;
  TShVirtuaItems shVirtuaItems_{itBitBucket, itNetWork};
  TShellComboBox* comboBox_ = nullptr;  // not owned: it unlinks itself when it goes
  TShellListView* listView_ = nullptr;  // likewise
  TPressState pressState_ = TPressState::Idle;
  bool windowDestroying_ = false;
  bool firstFillPending_ = false;
  bool joinPending_ = false;  // shown by ShowFirstNodes, FillFirstTime to follow
  bool watcherStarted_ = false;
  bool registered_ = false;
  TShIDListPtr savedSelection_;  // the selection kept across a re-creation of the window
  std::vector<std::string> drives_;
  TShDirWatcher* watcher_ = nullptr;  // not owned: the watcher frees itself; forgotten when it ends
  TComPtr<IDropTarget> ole_;          // a TShellOleSide
  int reportHolds_ = 0;
  bool reportHeld_ = false;
  POINT pressPoint_{};
  // Kept here, not read back from the control's drop highlight: Wine's cannot highlight the
  // selected node. Not owned; checked against the tree before use.
  TTreeNode* pressedNode_ = nullptr;
  TTreeNode* dropNode_ = nullptr;  // under a foreign drag
  // Posted while a typed name that was refused goes back into its edit.
  static constexpr UINT kRefusedNameMessageId = WM_APP + 3;
  TRefusedName refusedName_{kRefusedNameMessageId};
  TTreeNode* refusedNode_ = nullptr;           // its node; not owned, checked against the tree
  TShellPopupMenu* shellPopupMenu_ = nullptr;  // not owned
  TShellIDList contextList_;  // the one item handed to the menu; its lists stay the node's
  std::unique_ptr<TShellDragObject> dragObject_;  // while foreign data is over the tree
  int hoverCount_ = 0;
  bool rightButtonDrag_ = false;
  std::vector<TComPtr<IDropTarget>> pendingDropTargets_;
};
