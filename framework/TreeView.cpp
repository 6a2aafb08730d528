#include "framework/TreeView.h"

#include "framework/Container.h"

namespace {

// Our own timer for ChangeDelay; the native control uses small ids of its own.
constexpr UINT_PTR kChangeTimer = 0x7E51;

// Display names are at most 255 characters, which take up to two bytes each in code page 932.
constexpr int kTextBuffer = 1024;

// Styles a new tree view has: buttons, lines, lines at the root, label editing.
constexpr DWORD kDefaultStyles = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS;

HTREEITEM NextItem(HWND window, HTREEITEM item, UINT relation) {
  return reinterpret_cast<HTREEITEM>(
      SendMessageA(window, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

int CALLBACK CompareNodes(LPARAM first, LPARAM second, LPARAM compare) {
  const auto& function = *reinterpret_cast<const std::function<int(TTreeNode&, TTreeNode&)>*>(compare);
  return function(*reinterpret_cast<TTreeNode*>(first), *reinterpret_cast<TTreeNode*>(second));
}

}  // namespace

// --- TTreeNode ----------------------------------------------------------------------------------

TTreeNode::~TTreeNode() = default;

std::string TTreeNode::Text() const {
  char buffer[kTextBuffer] = {};
  TVITEMA item{};
  item.mask = TVIF_TEXT | TVIF_HANDLE;
  item.hItem = item_;
  item.pszText = buffer;
  item.cchTextMax = kTextBuffer;
  if (!SendMessageA(tree_.Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return {};
  return item.pszText ? item.pszText : "";
}

void TTreeNode::SetText(const std::string& text) {
  TVITEMA item{};
  item.mask = TVIF_TEXT | TVIF_HANDLE;
  item.hItem = item_;
  item.pszText = const_cast<char*>(text.c_str());
  SendMessageA(tree_.Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

TTreeNode* TTreeNode::Parent() const {
  return tree_.NodeOf(NextItem(tree_.Handle(), item_, TVGN_PARENT));
}

TTreeNode* TTreeNode::GetFirstChild() const {
  return tree_.NodeOf(NextItem(tree_.Handle(), item_, TVGN_CHILD));
}

TTreeNode* TTreeNode::GetNextSibling() const {
  return tree_.NodeOf(NextItem(tree_.Handle(), item_, TVGN_NEXT));
}

TTreeNode* TTreeNode::GetPrevSibling() const {
  return tree_.NodeOf(NextItem(tree_.Handle(), item_, TVGN_PREVIOUS));
}

TTreeNode* TTreeNode::GetNextVisible() const {
  return tree_.NodeOf(NextItem(tree_.Handle(), item_, TVGN_NEXTVISIBLE));
}

TTreeNode* TTreeNode::GetNext() const {
  if (TTreeNode* child = GetFirstChild()) return child;
  for (const TTreeNode* node = this; node; node = node->Parent())
    if (TTreeNode* sibling = node->GetNextSibling()) return sibling;
  return nullptr;
}

int TTreeNode::Count() const {
  int count = 0;
  for (HTREEITEM child = NextItem(tree_.Handle(), item_, TVGN_CHILD); child;
       child = NextItem(tree_.Handle(), child, TVGN_NEXT))
    ++count;
  return count;
}

int TTreeNode::Level() const {
  int level = 0;
  for (HTREEITEM item = NextItem(tree_.Handle(), item_, TVGN_PARENT); item;
       item = NextItem(tree_.Handle(), item, TVGN_PARENT))
    ++level;
  return level;
}

int TTreeNode::AbsoluteIndex() const {
  int index = 0;
  for (const TTreeNode* node = tree_.GetFirstNode(); node && node != this; node = node->GetNext())
    ++index;
  return index;
}

bool TTreeNode::Expanded() const {
  return (SendMessageA(tree_.Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item_),
                       TVIS_EXPANDED) &
          TVIS_EXPANDED) != 0;
}

bool TTreeNode::Expand() { return tree_.ExpandNode(*this); }

void TTreeNode::Collapse() {
  SendMessageA(tree_.Handle(), TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(item_));
}

bool TTreeNode::HasChildren() const {
  TVITEMA item{};
  item.mask = TVIF_CHILDREN | TVIF_HANDLE;
  item.hItem = item_;
  SendMessageA(tree_.Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  return item.cChildren != 0;
}

void TTreeNode::SetHasChildren(bool value) {
  TVITEMA item{};
  item.mask = TVIF_CHILDREN | TVIF_HANDLE;
  item.hItem = item_;
  item.cChildren = value ? 1 : 0;
  SendMessageA(tree_.Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

int TTreeNode::OverlayIndex() const {
  const auto state = static_cast<UINT>(SendMessageA(
      tree_.Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item_), TVIS_OVERLAYMASK));
  return static_cast<int>((state & TVIS_OVERLAYMASK) >> 8) - 1;
}

void TTreeNode::SetOverlayIndex(int index) {
  TVITEMA item{};
  item.mask = TVIF_STATE | TVIF_HANDLE;
  item.hItem = item_;
  item.stateMask = TVIS_OVERLAYMASK;
  // Overlay images count from 1 in the state; 0 is none.
  item.state = index >= 0 ? INDEXTOOVERLAYMASK(index + 1) : 0;
  SendMessageA(tree_.Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

bool TTreeNode::Selected() const { return tree_.Selected() == this; }

void TTreeNode::Delete() {
  SendMessageA(tree_.Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item_));
}

void TTreeNode::DeleteChildren() {
  const HWND window = tree_.Handle();
  while (HTREEITEM child = NextItem(window, item_, TVGN_CHILD))
    SendMessageA(window, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(child));
}

void TTreeNode::CustomSort(const std::function<int(TTreeNode&, TTreeNode&)>& compare) {
  tree_.SortChildren(item_, compare);
}

// --- TCustomTreeView ----------------------------------------------------------------------------

TCustomTreeView::TCustomTreeView(TContainer& parent, const TBounds& bounds)
    : TWinControl(&parent), style_(kDefaultStyles), bounds_(bounds) {
  CreateWnd();
}

TCustomTreeView::~TCustomTreeView() {
  // The nodes go while this object can still take the notifications that free them.
  destroying_ = true;
  if (Handle()) Clear();
}

void TCustomTreeView::CreateWnd() {
  TCreateParams params;
  params.ClassName = WC_TREEVIEWA;
  // Dragging is the control's owner's business, not the native control's.
  params.Style = (style_ & ~TVS_CHECKBOXES) | WS_TABSTOP | TVS_DISABLEDRAGDROP;
  params.ExStyle = borderStyle_ == TTreeBorderStyle::Single ? WS_EX_CLIENTEDGE : 0;
  params.Bounds = bounds_;
  CreateHandle(params);
  // Check boxes are set after creation, before any item exists, as the control asks.
  if (style_ & TVS_CHECKBOXES) SetStyle(TVS_CHECKBOXES, true);
  if (indent_ >= 0) SendMessageA(Handle(), TVM_SETINDENT, static_cast<WPARAM>(indent_), 0);
  if (images_)
    SendMessageA(Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_));
}

void TCustomTreeView::DestroyWnd() {
  if (!Handle()) return;
  Clear();
  DestroyWindow(Handle());
}

void TCustomTreeView::RecreateWnd() {
  if (!Handle()) return;
  bounds_ = Bounds();
  const bool focused = Focused();
  // The new window takes the old one's place among its siblings, which is its Tab order.
  HWND previous = GetWindow(Handle(), GW_HWNDPREV);
  DestroyWnd();
  CreateWnd();
  SetWindowPos(Handle(), previous ? previous : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (focused) SetFocus();
}

TTreeNode* TCustomTreeView::NodeOf(HTREEITEM item) const {
  const HWND window = Handle();
  if (!item || !window) return nullptr;
  TVITEMA info{};
  info.mask = TVIF_PARAM | TVIF_HANDLE;
  info.hItem = item;
  if (!SendMessageA(window, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info))) return nullptr;
  return reinterpret_cast<TTreeNode*>(info.lParam);
}

TTreeNode* TCustomTreeView::GetFirstNode() const { return NodeOf(NextItem(Handle(), nullptr, TVGN_ROOT)); }

int TCustomTreeView::Count() const {
  return static_cast<int>(SendMessageA(Handle(), TVM_GETCOUNT, 0, 0));
}

TTreeNode* TCustomTreeView::InsertNode(HTREEITEM parent, HTREEITEM after, const std::string& text) {
  std::unique_ptr<TTreeNode> node(new TTreeNode(*this));
  TVINSERTSTRUCTA insert{};
  insert.hParent = parent ? parent : TVI_ROOT;
  insert.hInsertAfter = after;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = const_cast<char*>(text.c_str());
  insert.item.iImage = I_IMAGECALLBACK;
  insert.item.iSelectedImage = I_IMAGECALLBACK;
  insert.item.lParam = reinterpret_cast<LPARAM>(node.get());
  node->item_ = reinterpret_cast<HTREEITEM>(
      SendMessageA(Handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
  if (!node->item_) return nullptr;
  // From here the native item owns the node; TVN_DELETEITEM frees it.
  return node.release();
}

TTreeNode* TCustomTreeView::AddChild(TTreeNode* parent, const std::string& text) {
  return InsertNode(parent ? parent->ItemId() : nullptr, TVI_LAST, text);
}

TTreeNode* TCustomTreeView::Insert(TTreeNode& sibling, const std::string& text) {
  HTREEITEM previous = NextItem(Handle(), sibling.ItemId(), TVGN_PREVIOUS);
  return InsertNode(NextItem(Handle(), sibling.ItemId(), TVGN_PARENT), previous ? previous : TVI_FIRST,
                    text);
}

void TCustomTreeView::Clear() {
  SendMessageA(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}

void TCustomTreeView::CustomSort(const std::function<int(TTreeNode&, TTreeNode&)>& compare) {
  SortChildren(TVI_ROOT, compare);
}

void TCustomTreeView::SortChildren(HTREEITEM parent,
                                   const std::function<int(TTreeNode&, TTreeNode&)>& compare) {
  TVSORTCB sort{parent, CompareNodes, reinterpret_cast<LPARAM>(&compare)};
  SendMessageA(Handle(), TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
}

void TCustomTreeView::BeginUpdate() {
  if (updateCount_++ == 0) SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
}

void TCustomTreeView::EndUpdate() {
  if (updateCount_ == 0 || --updateCount_ > 0) return;
  SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(Handle(), nullptr, TRUE);
}

TTreeNode* TCustomTreeView::Selected() const { return NodeOf(NextItem(Handle(), nullptr, TVGN_CARET)); }

void TCustomTreeView::SetSelected(TTreeNode* node) {
  SendMessageA(Handle(), TVM_SELECTITEM, TVGN_CARET,
               reinterpret_cast<LPARAM>(node ? node->ItemId() : nullptr));
}

TTreeNode* TCustomTreeView::DropTarget() const {
  return NodeOf(NextItem(Handle(), nullptr, TVGN_DROPHILITE));
}

void TCustomTreeView::SetDropTarget(TTreeNode* node) {
  SendMessageA(Handle(), TVM_SELECTITEM, TVGN_DROPHILITE,
               reinterpret_cast<LPARAM>(node ? node->ItemId() : nullptr));
}

HIMAGELIST TCustomTreeView::Images() const { return images_; }

void TCustomTreeView::SetImages(HIMAGELIST images) {
  images_ = images;
  SendMessageA(Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
}

bool TCustomTreeView::HasStyle(DWORD style) const { return (style_ & style) == style; }

void TCustomTreeView::SetStyle(DWORD style, bool on) {
  style_ = on ? style_ | style : style_ & ~style;
  if (!Handle()) return;
  const auto current = static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE));
  SetWindowLongA(Handle(), GWL_STYLE, static_cast<LONG>(on ? current | style : current & ~style));
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TCustomTreeView::SetCheckboxes(bool value) {
  if (value == Checkboxes()) return;
  SetStyle(TVS_CHECKBOXES, value);
  if (!value) RecreateWnd();
}

TTreeBorderStyle TCustomTreeView::BorderStyle() const { return borderStyle_; }

void TCustomTreeView::SetBorderStyle(TTreeBorderStyle style) {
  borderStyle_ = style;
  if (!Handle()) return;
  SetWindowLongA(Handle(), GWL_EXSTYLE, style == TTreeBorderStyle::Single ? WS_EX_CLIENTEDGE : 0);
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

int TCustomTreeView::Indent() const {
  return static_cast<int>(SendMessageA(Handle(), TVM_GETINDENT, 0, 0));
}

void TCustomTreeView::SetIndent(int pixels) {
  indent_ = pixels;
  SendMessageA(Handle(), TVM_SETINDENT, static_cast<WPARAM>(pixels), 0);
}

bool TCustomTreeView::ExpandNode(TTreeNode& node) {
  if (node.Expanded()) return true;
  // TVM_EXPAND notifies only the first time; CanExpand runs here every time instead.
  HTREEITEM previous = manualExpand_;
  manualExpand_ = node.ItemId();
  const HTREEITEM item = node.ItemId();
  bool expanded = false;
  if (CanExpand(node))
    expanded = SendMessageA(Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item)) != 0;
  manualExpand_ = previous;
  return expanded;
}

LRESULT TCustomTreeView::ItemExpanding(const NMTREEVIEWA& info) {
  TTreeNode* node = NodeOf(info.itemNew.hItem);
  if (!node || destroying_) return FALSE;
  if (info.action & TVE_EXPAND) {
    if (info.itemNew.hItem == manualExpand_) return FALSE;
    return CanExpand(*node) ? FALSE : TRUE;
  }
  if (info.action & TVE_COLLAPSE) return CanCollapse(*node) ? FALSE : TRUE;
  return FALSE;
}

void TCustomTreeView::DisplayInfo(NMTVDISPINFOA& info) {
  auto* node = reinterpret_cast<TTreeNode*>(info.item.lParam);
  if (!node || destroying_) return;
  if (info.item.mask & TVIF_IMAGE) {
    GetImageIndex(*node);
    info.item.iImage = node->ImageIndex();
  }
  if (info.item.mask & TVIF_SELECTEDIMAGE) {
    GetSelectedIndex(*node);
    info.item.iSelectedImage = node->SelectedIndex();
  }
}

void TCustomTreeView::SelectionChanged(TTreeNode* node) {
  if (changeDelay_ == 0) {
    Change(node);
    return;
  }
  SetTimer(Handle(), kChangeTimer, changeDelay_, nullptr);
}

LRESULT TCustomTreeView::Notify(const NMHDR& header) {
  switch (header.code) {
    case TVN_DELETEITEMA: {
      const auto& info = reinterpret_cast<const NMTREEVIEWA&>(header);
      // Adopted back from the native item, which is going.
      std::unique_ptr<TTreeNode> node(reinterpret_cast<TTreeNode*>(info.itemOld.lParam));
      return 0;
    }
    case TVN_ITEMEXPANDINGA:
      return ItemExpanding(reinterpret_cast<const NMTREEVIEWA&>(header));
    case TVN_SELCHANGINGA: {
      if (destroying_) return FALSE;
      const auto& info = reinterpret_cast<const NMTREEVIEWA&>(header);
      return CanChange(NodeOf(info.itemNew.hItem)) ? FALSE : TRUE;
    }
    case TVN_SELCHANGEDA: {
      if (destroying_) return 0;
      const auto& info = reinterpret_cast<const NMTREEVIEWA&>(header);
      SelectionChanged(NodeOf(info.itemNew.hItem));
      return 0;
    }
    case TVN_GETDISPINFOA:
      DisplayInfo(const_cast<NMTVDISPINFOA&>(reinterpret_cast<const NMTVDISPINFOA&>(header)));
      return 0;
    case TVN_BEGINLABELEDITA: {
      const auto& info = reinterpret_cast<const NMTVDISPINFOA&>(header);
      TTreeNode* node = NodeOf(info.item.hItem);
      return node && !destroying_ && CanEdit(*node) ? FALSE : TRUE;
    }
    case TVN_ENDLABELEDITA: {
      const auto& info = reinterpret_cast<const NMTVDISPINFOA&>(header);
      TTreeNode* node = NodeOf(info.item.hItem);
      // No text: the edit was cancelled.
      if (!node || !info.item.pszText || destroying_) return FALSE;
      std::string text = info.item.pszText;
      Edited(*node, text);
      return FALSE;  // Edited has shown the text it keeps
    }
    default:
      return 0;
  }
}

LRESULT TCustomTreeView::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kChangeTimer) {
    KillTimer(Handle(), kChangeTimer);
    Change(Selected());
    return 0;
  }
  return TWinControl::WndProc(message, wParam, lParam);
}

bool TCustomTreeView::CanExpand(TTreeNode& node) {
  bool allow = true;
  if (OnExpanding) OnExpanding(node, allow);
  return allow;
}

bool TCustomTreeView::CanCollapse(TTreeNode& node) {
  bool allow = true;
  if (OnCollapsing) OnCollapsing(node, allow);
  return allow;
}

bool TCustomTreeView::CanChange(TTreeNode* node) {
  bool allow = true;
  if (OnChanging) OnChanging(node, allow);
  return allow;
}

void TCustomTreeView::Change(TTreeNode* node) {
  if (OnChange) OnChange(node);
}

bool TCustomTreeView::CanEdit(TTreeNode& node) {
  bool allow = true;
  if (OnEditing) OnEditing(node, allow);
  return allow;
}

void TCustomTreeView::Edited(TTreeNode& node, std::string& text) {
  if (OnEdited) OnEdited(node, text);
  node.SetText(text);
}

void TCustomTreeView::GetImageIndex(TTreeNode& node) {
  if (OnGetImageIndex) OnGetImageIndex(node);
}

void TCustomTreeView::GetSelectedIndex(TTreeNode& node) {
  if (OnGetSelectedIndex) OnGetSelectedIndex(node);
}
