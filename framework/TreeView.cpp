#include "framework/TreeView.h"

#include <algorithm>
#include <vector>

#include "framework/CodePage.h"
#include "framework/Container.h"

namespace {

// Our own timer for ChangeDelay; the native control uses small ids of its own.
constexpr UINT_PTR kChangeTimer = 0x7E51;

// Display names are at most 255 characters, which take up to two bytes each in code page 932.
constexpr int kTextBuffer = 1024;

// Styles a new tree view has: buttons, lines, lines at the root, label editing.
constexpr DWORD kDefaultStyles = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS;

LPARAM ItemParam(HTREEITEM item) { return reinterpret_cast<LPARAM>(item); }

}  // namespace

// --- TTreeNode ----------------------------------------------------------------------------------

TTreeNode::~TTreeNode() {
  if (tree_.editing_ == this) tree_.editing_ = nullptr;
  // Children go before their parent; any left over no longer have one.
  for (TTreeNode* child = firstChild_; child; child = child->next_) child->parent_ = nullptr;
  Unlink();
}

void TTreeNode::Link(TTreeNode& parent, TTreeNode* previous) {
  parent_ = &parent;
  previous_ = previous;
  next_ = previous ? previous->next_ : parent.firstChild_;
  if (previous_)
    previous_->next_ = this;
  else
    parent.firstChild_ = this;
  if (next_)
    next_->previous_ = this;
  else
    parent.lastChild_ = this;
}

void TTreeNode::Unlink() {
  if (previous_)
    previous_->next_ = next_;
  else if (parent_)
    parent_->firstChild_ = next_;
  if (next_)
    next_->previous_ = previous_;
  else if (parent_)
    parent_->lastChild_ = previous_;
  parent_ = previous_ = next_ = nullptr;
}

void TTreeNode::ReadExpanded() {
  expanded_ = (tree_.Perform(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item_), TVIS_EXPANDED) &
               TVIS_EXPANDED) != 0;
}

std::string TTreeNode::Text() const {
  char buffer[kTextBuffer] = {};
  TVITEMA item{};
  item.mask = TVIF_TEXT | TVIF_HANDLE;
  item.hItem = item_;
  item.pszText = buffer;
  item.cchTextMax = kTextBuffer;
  if (!tree_.Perform(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return {};
  return item.pszText ? item.pszText : "";
}

void TTreeNode::SetText(const std::string& text) {
  TVITEMA item{};
  item.mask = TVIF_TEXT | TVIF_HANDLE;
  item.hItem = item_;
  item.pszText = const_cast<char*>(text.c_str());
  tree_.Perform(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

TTreeNode* TTreeNode::Parent() const { return parent_ == &tree_.top_ ? nullptr : parent_; }

TTreeNode* TTreeNode::GetNextVisible() const {
  if (expanded_ && firstChild_) return firstChild_;
  for (const TTreeNode* node = this; node && node != &tree_.top_; node = node->parent_)
    if (node->next_) return node->next_;
  return nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
  if (firstChild_) return firstChild_;
  for (const TTreeNode* node = this; node && node != &tree_.top_; node = node->parent_)
    if (node->next_) return node->next_;
  return nullptr;
}

int TTreeNode::Count() const {
  int count = 0;
  for (const TTreeNode* child = firstChild_; child; child = child->next_) ++count;
  return count;
}

int TTreeNode::Level() const {
  int level = 0;
  for (const TTreeNode* node = Parent(); node; node = node->Parent()) ++level;
  return level;
}

int TTreeNode::AbsoluteIndex() const {
  int index = 0;
  for (const TTreeNode* node = tree_.GetFirstNode(); node && node != this; node = node->GetNext())
    ++index;
  return index;
}

bool TTreeNode::Expand() { return tree_.ExpandNode(*this); }

void TTreeNode::Collapse() {
  tree_.Perform(TVM_EXPAND, TVE_COLLAPSE, ItemParam(item_));
  ReadExpanded();
}

void TTreeNode::SetHasChildren(bool value) {
  if (value == hasChildren_) return;
  // The control asks for the flag whenever it needs it; it only has to draw the button again.
  hasChildren_ = value;
  if (tree_.updateCount_ == 0) InvalidateRect(tree_.Handle(), nullptr, TRUE);
}

void TTreeNode::SetOverlayIndex(int index) {
  if (index < 0) index = -1;
  if (index == overlayIndex_) return;
  overlayIndex_ = index;
  TVITEMA item{};
  item.mask = TVIF_STATE | TVIF_HANDLE;
  item.hItem = item_;
  item.stateMask = TVIS_OVERLAYMASK;
  // Overlay images count from 1 in the state; 0 is none.
  item.state = index >= 0 ? INDEXTOOVERLAYMASK(index + 1) : 0;
  tree_.Perform(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

bool TTreeNode::Selected() const { return tree_.Selected() == this; }

bool TTreeNode::EditText() { return tree_.Perform(TVM_EDITLABELA, 0, ItemParam(item_)) != 0; }

void TTreeNode::SetCut(bool cut) {
  TVITEMA item{};
  item.mask = TVIF_STATE | TVIF_HANDLE;
  item.hItem = item_;
  item.stateMask = TVIS_CUT;
  item.state = cut ? TVIS_CUT : 0;
  tree_.Perform(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

RECT TTreeNode::DisplayRect(bool textOnly) const {
  RECT rect{};
  // The item goes in where the rectangle comes out.
  *reinterpret_cast<HTREEITEM*>(&rect) = item_;
  if (!tree_.Perform(TVM_GETITEMRECT, textOnly, reinterpret_cast<LPARAM>(&rect))) return RECT{};
  return rect;
}

void TTreeNode::Delete() {
  TTreeNode& parent = *parent_;
  TCustomTreeView& tree = tree_;
  tree.EndEditWithin(*this);
  tree.Perform(TVM_DELETEITEM, 0, ItemParam(item_));  // frees this node
  tree.ItemsDeleted(parent);
}

void TTreeNode::DeleteChildren() {
  for (TTreeNode* child = firstChild_; child; child = child->next_) tree_.EndEditWithin(*child);
  while (firstChild_) tree_.Perform(TVM_DELETEITEM, 0, ItemParam(firstChild_->item_));
  tree_.ItemsDeleted(*this);
}

void TTreeNode::CustomSort(const std::function<int(TTreeNode&, TTreeNode&)>& compare) {
  tree_.SortChildren(*this, compare);
}

// --- TCustomTreeView ----------------------------------------------------------------------------

TCustomTreeView::TCustomTreeView(TContainer& parent, const TBounds& layout)
    : TWinControl(parent, layout),
      top_(*this, TVI_ROOT),
      style_(kDefaultStyles),
      bounds_(LaidBounds()) {
  CreateWnd();
}

TCustomTreeView::~TCustomTreeView() {
  // The nodes go while this object can still take the notifications that free them.
  destroying_ = true;
  if (Handle()) Clear();
}

LRESULT TCustomTreeView::Perform(UINT message, WPARAM wParam, LPARAM lParam) const {
  // Straight to the native control: the window's own procedure has nothing to add to its
  // messages, and reaching it costs a property look-up per message.
  return const_cast<TCustomTreeView*>(this)->DefaultProc(message, wParam, lParam);
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
  if (indent_ >= 0) SetIndent(indent_);
  if (images_) Perform(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_));
}

void TCustomTreeView::DestroyWnd() {
  if (!Handle()) return;
  Clear();
  DestroyWindow(Handle());
}

void TCustomTreeView::RecreateWnd() {
  if (!Handle()) return;
  bounds_ = Bounds();
  RemakeWindow([this] {
    DestroyWnd();
    CreateWnd();
  });
}

TTreeNode* TCustomTreeView::NodeOf(HTREEITEM item) const {
  if (!item || !Handle()) return nullptr;
  TVITEMA info{};
  info.mask = TVIF_PARAM | TVIF_HANDLE;
  info.hItem = item;
  if (!Perform(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info))) return nullptr;
  return reinterpret_cast<TTreeNode*>(info.lParam);
}

TTreeNode* TCustomTreeView::GetFirstNode() const { return top_.firstChild_; }

bool TCustomTreeView::HasNode(const TTreeNode* node) const {
  for (const TTreeNode* each = GetFirstNode(); each; each = each->GetNext())
    if (each == node) return true;
  return false;
}

int TCustomTreeView::Count() const { return static_cast<int>(Perform(TVM_GETCOUNT, 0, 0)); }

TTreeNode* TCustomTreeView::InsertNode(TTreeNode& parent, TTreeNode* previous,
                                       const std::string& text) {
  TVINSERTSTRUCTA insert{};
  insert.hParent = parent.item_;
  // TVI_FIRST and TVI_LAST spare the control a search for the previous item.
  insert.hInsertAfter = !previous                       ? TVI_FIRST
                        : previous == parent.lastChild_ ? TVI_LAST
                                                        : previous->item_;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
  insert.item.pszText = const_cast<char*>(text.c_str());
  insert.item.iImage = I_IMAGECALLBACK;
  insert.item.iSelectedImage = I_IMAGECALLBACK;
  insert.item.cChildren = I_CHILDRENCALLBACK;
  std::unique_ptr<TTreeNode> node(new TTreeNode(*this, nullptr));
  insert.item.lParam = reinterpret_cast<LPARAM>(node.get());
  node->item_ =
      reinterpret_cast<HTREEITEM>(Perform(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
  if (!node->item_) return nullptr;
  node->Link(parent, previous);
  // From here the native item owns the node; TVN_DELETEITEM frees it.
  return node.release();
}

TTreeNode* TCustomTreeView::AddChild(TTreeNode* parent, const std::string& text) {
  TTreeNode& under = parent ? *parent : top_;
  return InsertNode(under, under.lastChild_, text);
}

TTreeNode* TCustomTreeView::Insert(TTreeNode& sibling, const std::string& text) {
  return InsertNode(*sibling.parent_, sibling.previous_, text);
}

void TCustomTreeView::ItemsDeleted(TTreeNode& parent) {
  // A parent left without children may have been collapsed by the control.
  if (&parent != &top_ && !parent.firstChild_) parent.ReadExpanded();
}

void TCustomTreeView::Clear() {
  EndEditWithin(top_);
  Perform(TVM_DELETEITEM, 0, ItemParam(TVI_ROOT));
}

void TCustomTreeView::EndEditWithin(const TTreeNode& node) {
  for (const TTreeNode* edited = editing_; edited; edited = edited->parent_) {
    if (edited != &node) continue;
    // The control keeps an open field of a deleted item and reports its end later (Wine does):
    // the edit is cancelled while its node still exists.
    Perform(TVM_ENDEDITLABELNOW, TRUE, 0);
    editing_ = nullptr;
    return;
  }
}

void TCustomTreeView::CustomSort(const std::function<int(TTreeNode&, TTreeNode&)>& compare) {
  SortChildren(top_, compare);
}

int CALLBACK TCustomTreeView::CompareSortPositions(LPARAM first, LPARAM second, LPARAM) {
  return reinterpret_cast<TTreeNode*>(first)->sortPosition_ -
         reinterpret_cast<TTreeNode*>(second)->sortPosition_;
}

void TCustomTreeView::SortChildren(TTreeNode& parent,
                                   const std::function<int(TTreeNode&, TTreeNode&)>& compare) {
  std::vector<TTreeNode*> children;
  for (TTreeNode* child = parent.firstChild_; child; child = child->next_)
    children.push_back(child);
  // Stable, and safe with a comparison that is not consistent; the control then takes the
  // same order.
  std::stable_sort(children.begin(), children.end(),
                   [&compare](TTreeNode* a, TTreeNode* b) { return compare(*a, *b) < 0; });
  TTreeNode* previous = nullptr;
  for (std::size_t i = 0; i < children.size(); ++i) {
    children[i]->Unlink();
    children[i]->Link(parent, previous);
    children[i]->sortPosition_ = static_cast<int>(i);
    previous = children[i];
  }
  TVSORTCB sort{parent.item_, CompareSortPositions, 0};
  Perform(TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
}

void TCustomTreeView::BeginUpdate() {
  if (updateCount_++ == 0) Perform(WM_SETREDRAW, FALSE, 0);
}

void TCustomTreeView::EndUpdate() {
  if (updateCount_ == 0 || --updateCount_ > 0) return;
  Perform(WM_SETREDRAW, TRUE, 0);
  InvalidateRect(Handle(), nullptr, TRUE);
}

TTreeNode* TCustomTreeView::Selected() const {
  return NodeOf(reinterpret_cast<HTREEITEM>(Perform(TVM_GETNEXTITEM, TVGN_CARET, 0)));
}

void TCustomTreeView::SetSelected(TTreeNode* node) {
  Perform(TVM_SELECTITEM, TVGN_CARET, ItemParam(node ? node->ItemId() : nullptr));
}

TTreeNode* TCustomTreeView::GetNodeAt(POINT client, UINT* hitFlags) const {
  TVHITTESTINFO hit{};
  hit.pt = client;
  const auto item =
      reinterpret_cast<HTREEITEM>(Perform(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (hitFlags) *hitFlags = hit.flags;
  return NodeOf(item);
}

TTreeNode* TCustomTreeView::DropTarget() const {
  return NodeOf(reinterpret_cast<HTREEITEM>(Perform(TVM_GETNEXTITEM, TVGN_DROPHILITE, 0)));
}

void TCustomTreeView::SetDropTarget(TTreeNode* node) {
  Perform(TVM_SELECTITEM, TVGN_DROPHILITE, ItemParam(node ? node->ItemId() : nullptr));
}

HIMAGELIST TCustomTreeView::Images() const { return images_; }

void TCustomTreeView::SetImages(HIMAGELIST images) {
  images_ = images;
  Perform(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
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

int TCustomTreeView::Indent() const { return static_cast<int>(Perform(TVM_GETINDENT, 0, 0)); }

void TCustomTreeView::SetIndent(int layout) {
  indent_ = layout;
  Perform(TVM_SETINDENT, static_cast<WPARAM>(Dpi().Scale(layout)), 0);
}

void TCustomTreeView::ChangeDpi(TDpi dpi) {
  TWinControl::ChangeDpi(dpi);
  if (indent_ >= 0) SetIndent(indent_);
}

bool TCustomTreeView::ExpandNode(TTreeNode& node) {
  if (node.expanded_) return true;
  // TVM_EXPAND notifies only the first time; CanExpand runs here every time instead.
  HTREEITEM previous = manualExpand_;
  manualExpand_ = node.item_;
  if (CanExpand(node)) {
    Perform(TVM_EXPAND, TVE_EXPAND, ItemParam(node.item_));
    node.ReadExpanded();
  }
  manualExpand_ = previous;
  return node.expanded_;
}

LRESULT TCustomTreeView::ItemExpanding(const NMTREEVIEWA& info) {
  auto* node = reinterpret_cast<TTreeNode*>(info.itemNew.lParam);
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
  if (info.item.mask & TVIF_CHILDREN) info.item.cChildren = node->hasChildren_ ? 1 : 0;
  if (info.item.mask & TVIF_IMAGE) {
    GetImageIndex(*node);
    info.item.iImage = node->ImageIndex();
  }
  if (info.item.mask & TVIF_SELECTEDIMAGE) {
    // The control draws the selected image only for the selected node, so only that one is
    // asked for it (finding an image can be slow); the others answer their normal image.
    if (info.item.state & TVIS_SELECTED) {
      GetSelectedIndex(*node);
      info.item.iSelectedImage = node->SelectedIndex();
    } else {
      info.item.iSelectedImage = node->ImageIndex();
    }
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
    case TVN_ITEMEXPANDINGA: return ItemExpanding(reinterpret_cast<const NMTREEVIEWA&>(header));
    case TVN_ITEMEXPANDEDA: {
      // The user, or the control making a selection visible, opened or closed a node.
      const auto& info = reinterpret_cast<const NMTREEVIEWA&>(header);
      if (auto* node = reinterpret_cast<TTreeNode*>(info.itemNew.lParam)) node->ReadExpanded();
      return 0;
    }
    case TVN_SELCHANGINGA: {
      if (destroying_) return FALSE;
      const auto& info = reinterpret_cast<const NMTREEVIEWA&>(header);
      return CanChange(reinterpret_cast<TTreeNode*>(info.itemNew.lParam)) ? FALSE : TRUE;
    }
    case TVN_SELCHANGEDA: {
      if (destroying_) return 0;
      const auto& info = reinterpret_cast<const NMTREEVIEWA&>(header);
      SelectionChanged(reinterpret_cast<TTreeNode*>(info.itemNew.lParam));
      return 0;
    }
    case TVN_GETDISPINFOA:
      DisplayInfo(const_cast<NMTVDISPINFOA&>(reinterpret_cast<const NMTVDISPINFOA&>(header)));
      return 0;
    case TVN_BEGINLABELEDITA: {
      const auto& info = reinterpret_cast<const NMTVDISPINFOA&>(header);
      auto* node = reinterpret_cast<TTreeNode*>(info.item.lParam);
      if (!node || destroying_ || !CanEdit(*node)) return TRUE;
      editing_ = node;
      return FALSE;
    }
    case TVN_ENDLABELEDITA: {
      const auto& info = reinterpret_cast<const NMTVDISPINFOA&>(header);
      // Only the node whose edit began, if it still exists: the notification's own pointer may
      // name a node deleted meanwhile.
      TTreeNode* node = editing_ && editing_->item_ == info.item.hItem ? editing_ : nullptr;
      editing_ = nullptr;
      // No text: the edit was cancelled.
      if (!node || !info.item.pszText || destroying_) return FALSE;
      // The field is still there, and holds the text as typed; the notification's own text is
      // the system's look-alike of it in the code page.
      const HWND field = reinterpret_cast<HWND>(Perform(TVM_GETEDITCONTROL, 0, 0));
      const std::wstring typed = field ? WideTextOf(field) : AnsiToWide(info.item.pszText);
      const TCodePageText text = ToCodePage(typed);
      if (!text.Exact()) {
        EditRefused(*node, typed, text.Refused);
        return FALSE;
      }
      std::string exact = text.Text;
      Edited(*node, exact);
      return FALSE;  // Edited has shown the text it keeps
    }
    default: return 0;
  }
}

LRESULT TCustomTreeView::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kChangeTimer) {
    KillTimer(Handle(), kChangeTimer);
    Change(Selected());
    return 0;
  }
  if ((message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && OnKeyDown) {
    bool handled = false;
    OnKeyDown(static_cast<UINT>(wParam), handled);
    if (handled) return 0;
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
