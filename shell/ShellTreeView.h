#pragma once
// The folder tree: the shell namespace from the desktop down, folders only. It fills itself from
// the shell as nodes are expanded, shows the system's icons (asked for only when drawn), and keeps
// in step with the file system through a directory watcher over the fixed drives and through the
// volume events of the control registry. Each node owns the TShellFolderItem it shows.
//
// Editing a node's label renames the folder in the shell. A drag over the tree (press state
// Dragging) holds back refreshes, so nodes do not move under the pointer. Mouse presses, dropping
// and the context menu come with the tree's interactive side; so do the links to a path combo box
// and a file list, which would follow the selection from Change.

#include <windows.h>
#include <oleidl.h>
#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/TreeView.h"
#include "shell/ComPtr.h"
#include "shell/ShellCtrlList.h"
#include "shell/ShellDataItems.h"
#include "shell/ShellIDFunc.h"

class TShDirWatcher;

class TShellTreeView : public TCustomTreeView, public TShellDeviceSink {
public:
    // Builds the root (the desktop, expanded, its first child expanded, selected), registers with
    // the control registry and starts watching the fixed drives.
    TShellTreeView(TContainer& parent, const TBounds& bounds);
    ~TShellTreeView() override;

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
    // True while a drag is over the tree.
    bool Dragging() const noexcept { return pressState_ == TPressState::Dragging; }

    // A volume event from the control registry: handed to the watcher, which gives it back one
    // second later.
    void ShellDeviceChange(const std::string& displayText, DWORD eventCode, LPCITEMIDLIST list,
                           TShDeviceChangeKind changeKind) override;

protected:
    void CreateWnd() override;
    void DestroyWnd() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool CanExpand(TTreeNode& node) override;
    bool CanChange(TTreeNode* node) override;
    bool CanEdit(TTreeNode& node) override;
    void Edited(TTreeNode& node, std::string& text) override;
    void GetImageIndex(TTreeNode& node) override;
    void GetSelectedIndex(TTreeNode& node) override;

private:
    class TDropTarget;
    enum class TPressState { Idle, Dragging };
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
    // Leaves the registry, stops the watcher and frees the nodes while this object is whole.
    void ReleaseShellParts() noexcept;
    void BuildRoot();
    TTreeNode* AddItemNode(TTreeNode* parent, TTreeNode* before, std::unique_ptr<TShellFolderItem> item);
    TChildren EnumerateChildren(IShellFolder& folder, TShellFolderItem& parent);
    // The child's item, made now unless it was made for the filter; the child gives it up.
    static std::unique_ptr<TShellFolderItem> TakeItem(TChild& child, IShellFolder& folder, TShellFolderItem& parent);
    void FillDriveList();
    void StartWatching();
    void StopWatching();
    void DirectoryChanged();
    void DeviceChanged(const TDeviceChangeData& record);
    void SettingsChanged();
    void DragEntered() noexcept { pressState_ = TPressState::Dragging; }
    void DragEnded() noexcept { pressState_ = TPressState::Idle; }

    bool includeHidden_ = true;
    TShVirtuaItems shVirtuaItems_{itBitBucket, itNetWork};
    TPressState pressState_ = TPressState::Idle;
    bool windowDestroying_ = false;
    TShIDListPtr savedSelection_;  // the selection kept across a re-creation of the window
    std::vector<std::string> drives_;
    TShDirWatcher* watcher_ = nullptr;  // not owned: the watcher frees itself; forgotten when it ends
    TComPtr<TDropTarget> dropTarget_;
};
