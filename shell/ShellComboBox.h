#pragma once
// The path combo box: an owner-drawn drop-down list of the shell namespace in the manner of an
// address box. It lists the desktop, its children and the children of its first child (the
// permanent entries, merged with the shell on every FillList), and while a deeper folder is
// current the chain of folders down to it (temporary path entries, removed again when the user
// moves elsewhere). Each row is indented by its level and drawn with its small system icon. The
// box is a drop target that hands dropped items to the current entry's folder.

#include <windows.h>
#include <oleidl.h>
#include <shlobj.h>

#include <functional>
#include <memory>
#include <vector>

#include "framework/ComboBox.h"
#include "shell/ComPtr.h"
#include "shell/ShellDataItems.h"
#include "shell/ShellDragDrop.h"
#include "shell/ShellIDFunc.h"
#include "shell/ShellLink.h"
#include "shell/ShellUtils.h"

class TShellComboList;

// One entry of the box.
class TShellComboItem : public TShellDataItem {
 public:
  // `parentItem` null for the desktop entry. `parentFolder`, when given, is the parent's folder
  // interface, which then need not be bound again.
  TShellComboItem(TShellComboList& list, TShellComboItem* parentItem, TShIDListPtr relative,
                  TShIDListPtr absolute, bool temporary,
                  IShellFolder* parentFolder = nullptr) noexcept;

  // Position in the list, which is the entry's row.
  int GetItemIndex() const override;
  int GetLevel() const override;
  // The parent's absolute list, made once; the desktop's list for the first level.
  LPCITEMIDLIST GetParentIDList() override;
  LPCITEMIDLIST GetAbsoluteIDList() const override { return absoluteIDList_.Get(); }
  bool IsValid() const override { return absoluteIDList_ && relativeIDList_; }

  TShellComboList& List() const noexcept { return *list_; }
  // Not owned: the list owns every entry.
  TShellComboItem* ParentItem() const noexcept { return parentItem_; }
  bool Temporary() const noexcept { return temporary_; }

 private:
  static constexpr int kLevelUnknown = -2;

  TShellComboList* list_;        // not owned: it owns this entry
  TShellComboItem* parentItem_;  // not owned
  bool temporary_;
  mutable int level_ = kLevelUnknown;  // read once: finding it asks the shell
};

// The entries in depth-first order (every entry followed by its children, in the parent folder's
// order, before its next sibling). Entry i is row i of the box; rows carry no text. The relations
// are found by position and level.
class TShellComboList {
 public:
  // `rows` is the box whose rows follow the entries; null for a list without one. Not owned.
  explicit TShellComboList(TComboBox* rows) noexcept : rows_(rows) {}
  TShellComboList(const TShellComboList&) = delete;
  TShellComboList& operator=(const TShellComboList&) = delete;

  int Count() const noexcept { return static_cast<int>(entries_.size()); }
  TShellComboItem* Entry(int index) const noexcept;
  int IndexOf(const TShellComboItem* entry) const noexcept;

  TShellComboItem* FirstChild(const TShellComboItem& entry) const noexcept;
  TShellComboItem* NextSibling(const TShellComboItem& entry) const noexcept;
  TShellComboItem* LastChild(const TShellComboItem& entry) const noexcept;

  // Each takes the entry over and returns it (not owned).
  // After `previous`, or at the top for null.
  TShellComboItem& InsertAfter(const TShellComboItem* previous,
                               std::unique_ptr<TShellComboItem> entry);
  // After the last child of `parent` (or right after `parent` when it has none).
  TShellComboItem& AddChild(const TShellComboItem& parent, std::unique_ptr<TShellComboItem> entry);
  TShellComboItem& InsertBefore(const TShellComboItem& existing,
                                std::unique_ptr<TShellComboItem> entry);

  // Deletes an entry and its row; its children are the caller's business.
  void Delete(const TShellComboItem& entry);
  // Deletes every temporary entry, from the end.
  void RemoveTemporary();
  // Deletes every descendant of `entry`, deepest first.
  void RemoveDescendants(const TShellComboItem& entry);
  // Deletes every entry (and row).
  void Clear();

 private:
  TShellComboItem& InsertAt(int index, std::unique_ptr<TShellComboItem> entry);
  void DeleteAt(int index);

  TComboBox* rows_;  // not owned
  std::vector<std::unique_ptr<TShellComboItem>> entries_;
};

class TShellComboBox : public TComboBox, private TShellDragSink {
 public:
  // Fills the list and becomes a drop target.
  TShellComboBox(TContainer& parent, const TBounds& bounds);
  ~TShellComboBox() override;

  // Merges the permanent entries with the shell's folders and removes the temporary ones; the
  // entries still there stay (with the current row). Nothing without a window.
  void FillList();
  // Makes the entry of an absolute list current, adding path entries down to it. Nothing for
  // null, before the box is filled, or when that folder is current already.
  void SelectIDList(LPCITEMIDLIST list);
  // The current entry's absolute list (the entry's), or null.
  LPCITEMIDLIST SelectedIDList() const;
  // The current entry, or null.
  TShellComboItem* SelectedItem() const;

  const TShellComboList& Items() const noexcept { return items_; }
  // The system's small icons, shared: never freed here.
  HIMAGELIST Images() const noexcept { return images_; }

  // The box's link to a folder tree: it raises OnFolderChosen when the user picks an entry.
  TShellLink& Link() noexcept { return link_; }
  // The folder tree that follows the box, null for none.
  const TWinControl* LinkedTree() const noexcept { return link_.Follower(); }

  // Hidden folders are listed (default true).
  bool IncludeHidden() const noexcept { return includeHidden_; }
  void SetIncludeHidden(bool value) { includeHidden_ = value; }
  // Which virtual desktop items are listed (default the recycle bin and the network).
  TShVirtuaItems ShVirtuaItems() const noexcept { return shVirtuaItems_; }
  void SetShVirtuaItems(TShVirtuaItems items) { shVirtuaItems_ = items; }

  // The drop target registered for the window (not owned).
  IDropTarget* OleDropTarget() const noexcept { return ole_.Get(); }

  // Drag events; `item` is the current entry, into whose folder a drop goes.
  std::function<void(TShellDragObject& drag, TShiftState shift, POINT point, bool& accept)>
      OnShDragEnter;
  std::function<void(TShellDragObject& drag, TShellComboItem& item, TShiftState shift, int x,
                     int y)>
      OnShDragOver;
  std::function<void(TShellDragObject& drag, TShellComboItem& item, TShiftState shift, int x, int y,
                     bool& defaultAction)>
      OnShDragDrop;
  std::function<void()> OnShDragLeave;

 protected:
  void CreateWnd() override;
  void DestroyWnd() override;
  void ChangeDpi(TDpi dpi) override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Change() override;
  void MeasureRow(int index, int& height) override;
  void DrawRow(const TComboDrawItem& item) override;
  // The shell's drop target of an entry's folder that may take drops (one with SFGAO_DROPTARGET,
  // or the desktop); false for none.
  virtual bool ItemDropTarget(TShellComboItem& entry, TComPtr<IDropTarget>& target);

 private:
  void WindowCreated();
  void ReleaseShellParts() noexcept;
  POINT ClientPoint(POINTL screen) const;
  // A new entry under `parent`, temporary once the box is filled.
  std::unique_ptr<TShellComboItem> MakeEntry(TShellComboItem& parent, TShIDListPtr relative,
                                             IShellFolder* folder);
  // The folder an entry stands for (the desktop's own for the desktop entry).
  static bool EntryFolder(TShellComboItem& entry, TComPtr<IShellFolder>& folder);
  // Brings the children of `entry` in step with its folder, keeping those still there.
  void MergeChildren(TShellComboItem& entry);
  std::vector<std::unique_ptr<TShellComboItem>> EnumerateChildren(IShellFolder& folder,
                                                                  TShellComboItem& entry);
  // The row of the entry for `list`, adding path entries on the way; 0 when the walk fails.
  int InsertPath(LPCITEMIDLIST list);
  // The current entry when a drop may go into its folder, with its drop target.
  TShellComboItem* DropEntry(TComPtr<IDropTarget>& target);
  HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT DragLeave() override;
  HRESULT Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
  void DrawEntry(TShellComboItem& entry, const TComboDrawItem& item);

  TShellComboList items_;
  HIMAGELIST images_;  // not owned: the shared system image list
  bool includeHidden_ = true;
  TShVirtuaItems shVirtuaItems_{itBitBucket, itNetWork};
  bool filled_ = false;          // entries made while false are permanent; nothing is drawn
  TShIDListPtr savedSelection_;  // the current entry kept across a re-creation of the window
  TComPtr<IDropTarget> ole_;     // a TShellOleSide
  std::unique_ptr<TShellDragObject> drag_;
  TShellLink link_;
  bool rightButtonDrag_ = false;
  std::vector<TComPtr<IDropTarget>>
      pendingDropTargets_;  // shell targets still at work after a drop
};
