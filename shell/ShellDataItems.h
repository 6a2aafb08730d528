#pragma once
// The records behind shown shell items. An item owns its lists and answers, lazily and with
// caching, what a control asks about it: name, icons, overlay, attributes, type, path, folder.
// Cached values use -1 or empty text for "not read yet"; a failed read is retried next time.
// Lists returned by an item stay the item's.

#include <windows.h>
#include <oleidl.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "shell/ComPtr.h"
#include "shell/ShellIDFunc.h"

class TTreeNode;

class TShellDataItem {
 public:
  virtual ~TShellDataItem() = default;
  TShellDataItem(const TShellDataItem&) = delete;
  TShellDataItem& operator=(const TShellDataItem&) = delete;

  // System image list index of the normal icon; -1 while the parent folder cannot be had.
  virtual int GetIconIndex();
  // Position of the item's node among all nodes of its control, -1 without a node.
  virtual int GetItemIndex() const = 0;
  virtual int GetLevel() const = 0;
  // Absolute list of the parent folder, cached; null when it cannot be had.
  virtual LPCITEMIDLIST GetParentIDList() = 0;
  virtual LPCITEMIDLIST GetAbsoluteIDList() const = 0;
  // System image list index of the open (selected) icon.
  virtual int GetOpenIconIndex();
  virtual bool IsValid() const = 0;

  LPCITEMIDLIST RelativeIDList() const noexcept { return relativeIDList_.Get(); }

  // The parent folder's interface, cached; false when it cannot be had.
  bool GetParentFolder(TComPtr<IShellFolder>& folder);
  // Asks the shell every time.
  bool HasAttribute(TShAttribute attribute);
  const std::string& GetDisplayName();
  // Overlay index minus one (0 share, 1 link with the shell's fall-back); -1 for none.
  int GetOverlayIndex();
  TShItemIDType GetItemType();
  // File-system path; empty for virtual items. A drive root keeps its backslash.
  std::string GetPath();
  // The item's own drop target; `owner` is the window the shell's drop UI belongs to.
  bool GetDropTarget(HWND owner, TComPtr<IDropTarget>& target);
  // Asks the item's folder to give it `name` (IShellFolder::SetNameOf with `flags`); the item's
  // new relative list comes back. False when the folder refuses.
  bool SetNameInFolder(HWND owner, const std::wstring& name, SHGDNF flags, TShIDListPtr& renamed);

  // Cache resets for settings and medium changes; the next request reads again.
  void ResetIcons() noexcept;
  void SetDisplayName(const std::string& name) { displayName_ = name; }

 protected:
  TShellDataItem(TShIDListPtr relative, TShIDListPtr absolute) noexcept;

  // RelativeIDList, or for the desktop (level 0) the absolute list: the list the parent folder
  // is asked about.
  LPCITEMIDLIST OwnIDList() const;
  int SmallSystemIconIndex() const;
  bool HasGenericFolderIcon(IShellFolder& parent) const;
  // The parent's absolute list, made once and kept in ParentIDList: the desktop's list for the
  // first level, null for the desktop itself.
  LPCITEMIDLIST CachedParentIDList();

  TComPtr<IShellFolder> parentFolder_;
  TShIDListPtr relativeIDList_;
  TShIDListPtr absoluteIDList_;
  TShIDListPtr parentIDList_;
  int openIconIndex_ = -1;
  int iconIndex_ = -1;
  std::string displayName_;
};

// The record behind a folder tree node. The root of a tree (the desktop) has the empty list as its
// absolute list and the desktop directory's list as its relative list.
class TShellFolderItem : public TShellDataItem {
 public:
  // `parentFolder`, when given, is the parent's folder interface, which then need not be bound
  // again (a tree knows it for every child it lists).
  TShellFolderItem(TShIDListPtr relative, TShIDListPtr absolute,
                   IShellFolder* parentFolder = nullptr) noexcept;

  int GetItemIndex() const override;
  int GetLevel() const override;
  LPCITEMIDLIST GetParentIDList() override;
  LPCITEMIDLIST GetAbsoluteIDList() const override { return absoluteIDList_.Get(); }
  bool IsValid() const override { return absoluteIDList_ && relativeIDList_; }

  // The node that shows the item; null until attached. Not owned: the node owns the item.
  TTreeNode* Node() const noexcept { return node_; }
  // Shows the item in `node`: its expand button (from SFGAO_HASSUBFOLDER, without listing the
  // folder) and its overlay. Run again to read both again.
  void AttachNode(TTreeNode& node);
  // Renames the folder in the shell; `owner` is the window the shell's messages belong to. On
  // success the item takes the new lists and reads its level and name again; what that means
  // for the nodes is the tree's business. False, changing nothing, when the item cannot be
  // renamed or the shell refuses.
  bool Rename(const std::string& newName, HWND owner = nullptr);

 private:
  static constexpr int kLevelUnknown = -2;

  TTreeNode* node_ = nullptr;  // not owned
  // Read once: every attribute and name query needs the level, and finding it asks the shell
  // for the desktop's list. Read again after a rename.
  mutable int level_ = kLevelUnknown;
};

// The item a folder tree node shows; null for none.
TShellFolderItem* FolderItemOf(const TTreeNode* node);

// The order in which `folder` sorts two of its children (CompareIDs, column 0): negative, 0 or
// positive; 0 when it cannot tell.
int CompareChildIDs(IShellFolder& folder, LPCITEMIDLIST first, LPCITEMIDLIST second);

// The order of two sibling nodes as their parent folder sorts them; 0 when either has no item or
// the folder cannot tell.
int CompareSiblingNodes(TTreeNode& first, TTreeNode& second);

// The data dragged over a shell control, with room for what the drag handlers collect about it.
class TShellDragObject {
 public:
  // Throws std::invalid_argument with SInvalidParameter when `data` is missing.
  explicit TShellDragObject(IDataObject* data);

  IDataObject* DataObject() const noexcept { return dataObject_.Get(); }
  std::vector<std::string>& FileNames() noexcept { return fileNames_; }
  TShellIDList2& IDLists() noexcept { return idLists_; }

 private:
  TComPtr<IDataObject> dataObject_;
  std::vector<std::string> fileNames_;
  TShellIDList2 idLists_;
};
