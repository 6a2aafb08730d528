#pragma once
// The tree view over the native common-controls tree, and its nodes.
//
// A node lives exactly as long as its native item: the item's lParam holds the node, and the node
// (with the data it owns) is freed when the item is deleted, by the program or with the window.
// Image indexes and the expand button are asked for on demand (I_IMAGECALLBACK,
// I_CHILDRENCALLBACK), only for items the control draws.
//
// The nodes keep their own links (parent, children, siblings) and their expanded state, so that
// walking the tree sends no messages: the native control finds an item by searching all of them,
// which makes every message about one item cost time in proportion to the size of the tree.
//
// Expanding, selecting and editing run overridable steps (CanExpand, CanChange, Change, CanEdit,
// Edited, GetImageIndex, ...) whose base versions fire the matching events.

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Window.h"

class TCustomTreeView;

class TTreeNode {
 public:
  ~TTreeNode();
  TTreeNode(const TTreeNode&) = delete;
  TTreeNode& operator=(const TTreeNode&) = delete;

  TCustomTreeView& TreeView() const { return tree_; }
  HTREEITEM ItemId() const { return item_; }

  std::string Text() const;
  void SetText(const std::string& text);

  // Data the node owns and frees with itself; replacing it frees the old data.
  template <typename T>
  void SetData(std::unique_ptr<T> data) {
    data_ = TData(data.release(), [](void* p) { delete static_cast<T*>(p); });
  }
  void* Data() const { return data_.get(); }

  TTreeNode* Parent() const;
  TTreeNode* GetFirstChild() const { return firstChild_; }
  TTreeNode* GetNextSibling() const { return next_; }
  TTreeNode* GetPrevSibling() const { return previous_; }
  // The next node in display order among the nodes whose ancestors are all expanded.
  TTreeNode* GetNextVisible() const;
  // The next node in depth-first order over all nodes, expanded or not.
  TTreeNode* GetNext() const;
  // Counts the child nodes.
  int Count() const;
  // 0 for a top-level node.
  int Level() const;
  // Position in depth-first order over all nodes, counting from 0 at the first top-level node.
  int AbsoluteIndex() const;

  bool Expanded() const { return expanded_; }
  // Expands through the tree's CanExpand step; false when that refused or nothing opened.
  bool Expand();
  void Collapse();

  // Whether the control shows an expand button before any child node exists.
  bool HasChildren() const { return hasChildren_; }
  void SetHasChildren(bool value);
  // Index of an overlay image of the image list, -1 for none.
  int OverlayIndex() const { return overlayIndex_; }
  void SetOverlayIndex(int index);
  // What the tree draws for the node; set by the GetImageIndex step, and by the
  // GetSelectedIndex step while the node is selected.
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index) { imageIndex_ = index; }
  int SelectedIndex() const { return selectedIndex_; }
  void SetSelectedIndex(int index) { selectedIndex_ = index; }

  bool Selected() const;
  // Opens the label's edit field through the tree's CanEdit step; false when it did not open.
  bool EditText();
  // Shown dimmed, as an item cut to the clipboard.
  void SetCut(bool cut);
  // The node's row, or with `textOnly` its label, in client coordinates; empty when not shown.
  RECT DisplayRect(bool textOnly) const;
  // Deletes the node's children and the node (the node object is gone afterwards).
  void Delete();
  void DeleteChildren();
  // Sorts the child nodes; `compare` answers negative, 0 or positive.
  void CustomSort(const std::function<int(TTreeNode&, TTreeNode&)>& compare);

 private:
  friend class TCustomTreeView;
  using TData = std::unique_ptr<void, void (*)(void*)>;

  TTreeNode(TCustomTreeView& tree, HTREEITEM item)
      : tree_(tree), item_(item), data_(nullptr, [](void*) {}) {}

  // Takes the place after `previous` among the children of `parent` (first for null).
  void Link(TTreeNode& parent, TTreeNode* previous);
  void Unlink();
  // Reads the expanded state from the control, after it may have changed.
  void ReadExpanded();

  TCustomTreeView& tree_;
  HTREEITEM item_;
  TData data_;
  TTreeNode* parent_ = nullptr;  // the tree's top for a top-level node
  TTreeNode* firstChild_ = nullptr;
  TTreeNode* lastChild_ = nullptr;
  TTreeNode* previous_ = nullptr;
  TTreeNode* next_ = nullptr;
  bool expanded_ = false;
  bool hasChildren_ = false;
  int overlayIndex_ = -1;
  int imageIndex_ = -1;
  int selectedIndex_ = -1;
  int sortPosition_ = 0;  // during CustomSort
};

enum class TTreeBorderStyle { None, Single };

class TCustomTreeView : public TWinControl {
 public:
  ~TCustomTreeView() override;

  // --- Nodes ---
  TTreeNode* GetFirstNode() const;
  // Counts every node.
  int Count() const;
  // Whether `node` is one of this tree's nodes now (not deleted meanwhile); walks every node.
  bool HasNode(const TTreeNode* node) const;
  // Adds a node after the last child of `parent`, or after the last top-level node for null.
  // Null when the control refuses the item.
  TTreeNode* AddChild(TTreeNode* parent, const std::string& text);
  // Adds a node just before `sibling`, under the same parent.
  TTreeNode* Insert(TTreeNode& sibling, const std::string& text);
  void Clear();
  // Sorts the top-level nodes.
  void CustomSort(const std::function<int(TTreeNode&, TTreeNode&)>& compare);

  // Drawing is held back between the outermost BeginUpdate and its EndUpdate.
  void BeginUpdate();
  void EndUpdate();

  TTreeNode* Selected() const;
  // The node at a client point, and the TVHT_ flags of the hit; null for none.
  TTreeNode* GetNodeAt(POINT client, UINT* hitFlags = nullptr) const;
  // Selects through the CanChange step; null clears the selection.
  void SetSelected(TTreeNode* node);
  // The node whose label is being edited; null for none.
  TTreeNode* Editing() const { return editing_; }
  // The node drawn as a drop target, or null.
  TTreeNode* DropTarget() const;
  void SetDropTarget(TTreeNode* node);

  // The normal image list; not owned (the system image list, for example, is shared).
  HIMAGELIST Images() const;
  void SetImages(HIMAGELIST images);

  // --- Appearance and behaviour (window styles; the defaults are those of a new control) ---
  bool AutoExpand() const { return HasStyle(TVS_SINGLEEXPAND); }  // default false
  void SetAutoExpand(bool value) { SetStyle(TVS_SINGLEEXPAND, value); }
  TTreeBorderStyle BorderStyle() const;  // default Single
  void SetBorderStyle(TTreeBorderStyle style);
  bool Checkboxes() const { return HasStyle(TVS_CHECKBOXES); }  // default false
  // Switching item check boxes off re-creates the window: the style cannot be taken back.
  void SetCheckboxes(bool value);
  bool HideSelection() const { return !HasStyle(TVS_SHOWSELALWAYS); }  // default true
  void SetHideSelection(bool value) { SetStyle(TVS_SHOWSELALWAYS, !value); }
  bool HotTrack() const { return HasStyle(TVS_TRACKSELECT); }  // default false
  void SetHotTrack(bool value) { SetStyle(TVS_TRACKSELECT, value); }
  // In pixels; set in pixels of the layout (96 DPI), and kept at that scale when the DPI changes.
  void ChangeDpi(TDpi dpi) override;
  int Indent() const;
  void SetIndent(int layout);
  bool ReadOnly() const { return !HasStyle(TVS_EDITLABELS); }  // default false
  void SetReadOnly(bool value) { SetStyle(TVS_EDITLABELS, !value); }
  bool RowSelect() const { return HasStyle(TVS_FULLROWSELECT); }  // default false
  void SetRowSelect(bool value) { SetStyle(TVS_FULLROWSELECT, value); }
  bool ShowButtons() const { return HasStyle(TVS_HASBUTTONS); }  // default true
  void SetShowButtons(bool value) { SetStyle(TVS_HASBUTTONS, value); }
  bool ShowLines() const { return HasStyle(TVS_HASLINES); }  // default true
  void SetShowLines(bool value) { SetStyle(TVS_HASLINES, value); }
  bool ShowRoot() const { return HasStyle(TVS_LINESATROOT); }  // default true
  void SetShowRoot(bool value) { SetStyle(TVS_LINESATROOT, value); }
  bool ToolTips() const { return !HasStyle(TVS_NOTOOLTIPS); }  // default true
  void SetToolTips(bool value) { SetStyle(TVS_NOTOOLTIPS, !value); }
  // Milliseconds between a selection change and OnChange; 0 (the default) fires at once.
  UINT ChangeDelay() const { return changeDelay_; }
  void SetChangeDelay(UINT milliseconds) { changeDelay_ = milliseconds; }

  // --- Events ---
  std::function<void(TTreeNode* node)> OnChange;
  std::function<void(TTreeNode* node, bool& allowChange)> OnChanging;
  std::function<void(TTreeNode& node, bool& allowExpansion)> OnExpanding;
  std::function<void(TTreeNode& node, bool& allowCollapse)> OnCollapsing;
  std::function<void(TTreeNode& node, bool& allowEdit)> OnEditing;
  std::function<void(TTreeNode& node, std::string& text)> OnEdited;
  std::function<void(TTreeNode& node)> OnGetImageIndex;
  std::function<void(TTreeNode& node)> OnGetSelectedIndex;
  // A key pressed while the tree has the focus, before the control sees it; `handled` keeps it
  // from the control.
  std::function<void(UINT key, bool& handled)> OnKeyDown;

 protected:
  TCustomTreeView(TContainer& parent, const TBounds& layout);

  // The native window with the current styles, bounds and place in the Tab order. The
  // constructor runs the base version; a re-creation runs the derived one.
  virtual void CreateWnd();
  // Deletes every node, then the window.
  virtual void DestroyWnd();
  void RecreateWnd();

  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT Notify(const NMHDR& header) override;

  // Steps run by the control; each base version fires its event.
  virtual bool CanExpand(TTreeNode& node);
  virtual bool CanCollapse(TTreeNode& node);
  virtual bool CanChange(TTreeNode* node);
  virtual void Change(TTreeNode* node);
  virtual bool CanEdit(TTreeNode& node);
  // Label editing ended with `text` (not when cancelled); the base fires OnEdited and shows the
  // text it leaves.
  virtual void Edited(TTreeNode& node, std::string& text);
  // Label editing ended with `typed`, which holds characters the code page lacks (`refused`); the
  // base leaves the label as it was.
  virtual void EditRefused(TTreeNode& node, const std::wstring& typed,
                           const std::vector<char32_t>& refused) {
    (void)node, (void)typed, (void)refused;
  }
  virtual void GetImageIndex(TTreeNode& node);
  virtual void GetSelectedIndex(TTreeNode& node);

  // The node of a native item; null for none.
  TTreeNode* NodeOf(HTREEITEM item) const;
  // Sends a message to the native control directly.
  LRESULT Perform(UINT message, WPARAM wParam, LPARAM lParam) const;

 private:
  friend class TTreeNode;

  TTreeNode* InsertNode(TTreeNode& parent, TTreeNode* previous, const std::string& text);
  bool HasStyle(DWORD style) const;
  void SetStyle(DWORD style, bool on);
  bool ExpandNode(TTreeNode& node);
  void SortChildren(TTreeNode& parent, const std::function<int(TTreeNode&, TTreeNode&)>& compare);
  static int CALLBACK CompareSortPositions(LPARAM first, LPARAM second, LPARAM);
  LRESULT ItemExpanding(const NMTREEVIEWA& info);
  void ItemsDeleted(TTreeNode& parent);
  void DisplayInfo(NMTVDISPINFOA& info);
  void SelectionChanged(TTreeNode* node);
  // Cancels a label edit of `node` or of a node below it, before they are deleted.
  void EndEditWithin(const TTreeNode& node);

  TTreeNode top_;    // stands for TVI_ROOT: the top-level nodes are its children
  DWORD style_ = 0;  // TVS_ styles; kept for re-creation
  TTreeBorderStyle borderStyle_ = TTreeBorderStyle::Single;
  int indent_ = -1;              // -1: the control's own
  HIMAGELIST images_ = nullptr;  // not owned
  UINT changeDelay_ = 0;
  TBounds bounds_;  // the window's place, kept for re-creation
  int updateCount_ = 0;
  TTreeNode* editing_ = nullptr;      // the node of an open label edit; cleared when it goes
  HTREEITEM manualExpand_ = nullptr;  // Expand ran CanExpand for it: the notification skips it
  bool destroying_ = false;
};
