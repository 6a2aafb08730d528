// The folder tree as a drag source and as a drop target. Drops go to the shell's own drop target
// of the folder under the pointer, which does the copying or moving (and may go on after Drop
// returns: the tree keeps it until the next directory report finds it done).

#include <cstdlib>

#include "shell/ComObject.h"
#include "shell/ShellTreeView.h"

namespace {

// More drag-over calls than this on one node expand it.
constexpr int kHoverExpandCalls = 30;
// A drag starts when the pointer has moved further than this from the press, in either direction.
constexpr int kDragThreshold = 5;

// An error inside an OLE call of ours becomes E_UNEXPECTED, with no effect.
template <typename Call>
HRESULT Guarded(DWORD* effect, Call call) noexcept {
  try {
    return call();
  } catch (...) {
    if (effect) *effect = DROPEFFECT_NONE;
    return E_UNEXPECTED;
  }
}

}  // namespace

// What OLE calls: the tree as drop target and as drop source. It outlives the tree as long as OLE
// holds it; once the tree is gone it answers "no drop".
class TShellTreeView::TOleSide final : public TComObject<IDropTarget, IDropSource> {
 public:
  explicit TOleSide(TShellTreeView& tree) : tree_(&tree) {}

  // The tree is going: later calls do nothing.
  void Detach() noexcept { tree_ = nullptr; }

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                      DWORD* effect) override {
    if (!effect) return E_INVALIDARG;
    return Guarded(effect, [&] {
      return tree_ ? tree_->DragEnter(data, keyState, point, effect) : NoDrop(effect);
    });
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override {
    if (!effect) return E_INVALIDARG;
    return Guarded(
        effect, [&] { return tree_ ? tree_->DragOver(keyState, point, effect) : NoDrop(effect); });
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override {
    return Guarded(nullptr, [&] { return tree_ ? tree_->DragLeave() : S_OK; });
  }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point,
                                 DWORD* effect) override {
    if (!effect) return E_INVALIDARG;
    return Guarded(effect, [&] {
      return tree_ ? tree_->Drop(data, keyState, point, effect) : NoDrop(effect);
    });
  }

  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override {
    const bool left = (keyState & MK_LBUTTON) != 0;
    const bool right = (keyState & MK_RBUTTON) != 0;
    if (escapePressed || (left && right)) return DRAGDROP_S_CANCEL;
    if (!left && !right) return DRAGDROP_S_DROP;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

 private:
  ~TOleSide() override = default;
  static HRESULT NoDrop(DWORD* effect) {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }

  TShellTreeView* tree_;  // not owned: the tree owns this object
};

void TShellTreeView::AttachOleSide() { ole_.Attach(new TOleSide(*this)); }

void TShellTreeView::DetachOleSide() noexcept { static_cast<TOleSide*>(ole_.Get())->Detach(); }

IDropTarget* TShellTreeView::OleDropTarget() const noexcept { return ole_.Get(); }

IDropSource* TShellTreeView::OleDropSource() const noexcept {
  return static_cast<TOleSide*>(ole_.Get());
}

// --- Dragging out -------------------------------------------------------------------------------

bool TShellTreeView::DragButtonHeld() const {
  // The logical button of the press; with swapped buttons it is the other physical one.
  const bool right =
      (pressState_ == TPressState::RightPress) != (GetSystemMetrics(SM_SWAPBUTTON) != 0);
  return GetAsyncKeyState(right ? VK_RBUTTON : VK_LBUTTON) < 0;
}

bool TShellTreeView::CanBeginDrag(TTreeNode& node, int x, int y) {
  TShellFolderItem* item = FolderItemOf(&node);
  if (!item || !item->IsValid() || !DragButtonHeld()) return false;
  if (!item->HasAttribute(saCanLink) && !item->HasAttribute(saCanCopy) &&
      !item->HasAttribute(saCanMove))
    return false;
  bool canDrag =
      std::abs(x - pressPoint_.x) > kDragThreshold || std::abs(y - pressPoint_.y) > kDragThreshold;
  if (canDrag && OnShBeginDrag) OnShBeginDrag(*this, node, pressPoint_, x, y, canDrag);
  return canDrag;
}

void TShellTreeView::BeginDrag(TTreeNode& node) {
  TShellFolderItem* item = FolderItemOf(&node);
  TComPtr<IShellFolder> parent;
  if (!item || !item->GetParentFolder(parent)) return;
  LPCITEMIDLIST relative = item->RelativeIDList();
  SFGAOF capabilities = SFGAO_CAPABILITYMASK;
  TComPtr<IDataObject> data;
  if (FAILED(parent->GetAttributesOf(1, &relative, &capabilities)) ||
      FAILED(parent->GetUIObjectOf(Handle(), 1, &relative, IID_IDataObject, nullptr,
                                   data.OutVoid())) ||
      !data)
    return;
  pressState_ = TPressState::Dragging;
  DWORD effect = DROPEFFECT_NONE;
  // The copy, move and link capabilities are the drop effects' bits; shells answer more bits.
  DoDragDrop(data.Get(), OleDropSource(),
             capabilities & (DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK), &effect);
  EndPress();
  SetDropTarget(nullptr);
}

// --- Dropping in --------------------------------------------------------------------------------

bool TShellTreeView::DragEnterStep(TShellDragObject& dragObject, TShiftState shift,
                                   POINT screenPoint) {
  bool accept = true;
  if (OnShDragEnter) OnShDragEnter(*this, dragObject, shift, screenPoint, accept);
  return accept;
}

void TShellTreeView::DragOverStep(TShellDragObject& dragObject, TTreeNode& node, TShiftState shift,
                                  int x, int y) {
  if (OnShDragOver) OnShDragOver(*this, dragObject, node, shift, x, y);
}

bool TShellTreeView::DragDropStep(TShellDragObject& dragObject, TTreeNode& node, TShiftState shift,
                                  int x, int y) {
  bool defaultAction = true;
  if (OnShDragDrop) OnShDragDrop(*this, dragObject, node, shift, x, y, defaultAction);
  return defaultAction;
}

void TShellTreeView::DragLeaveStep() {
  if (OnShDragLeave) OnShDragLeave(*this);
}

HRESULT TShellTreeView::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  hoverCount_ = 0;
  dragObject_.reset();
  if (!data) return E_INVALIDARG;
  rightButtonDrag_ = (keyState & MK_RBUTTON) != 0;
  if (!OffersShellItems(data)) {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  auto dragObject = std::make_unique<TShellDragObject>(data);
  if (!DragEnterStep(*dragObject, KeyStateToShift(keyState), POINT{point.x, point.y})) {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  dragObject_ = std::move(dragObject);
  pressState_ = TPressState::Dragging;
  return S_OK;
}

HRESULT TShellTreeView::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
  if (!dragObject_) {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  POINT client{point.x, point.y};
  ScreenToClient(Handle(), &client);
  HRESULT answer = S_OK;
  TTreeNode* node = GetNodeAt(client);
  if (!node) {
    *effect = DROPEFFECT_NONE;
    SetDropTarget(nullptr);
  } else {
    TTreeNode* previous = DropTarget();
    SetDropTarget(node);
    TShellFolderItem* item = FolderItemOf(node);
    TComPtr<IDropTarget> target;
    if (item && item->IsValid()) {
      if (!ItemDropTarget(*item, target)) {
        *effect = DROPEFFECT_NONE;
      } else {
        // Asked afresh each time: the shell's target answers for the keys and the point now.
        DWORD entered = *effect;
        target->DragEnter(dragObject_->DataObject(), keyState, point, &entered);
        answer = target->DragOver(keyState, point, effect);
        target->DragLeave();
        DragOverStep(*dragObject_, *node, KeyStateToShift(keyState), client.x, client.y);
      }
    }
    HoverExpand(node, previous);
  }
  AutoScroll(client);
  return answer;
}

void TShellTreeView::HoverExpand(TTreeNode* node, TTreeNode* previous) {
  if (node != previous) {
    hoverCount_ = 0;
    return;
  }
  if (++hoverCount_ > kHoverExpandCalls && (node->HasChildren() || node->GetFirstChild())) {
    node->Expand();
    hoverCount_ = 0;
  }
}

void TShellTreeView::AutoScroll(POINT client) {
  RECT area{};
  GetClientRect(Handle(), &area);
  // The client area has no scroll bars in it: the bands lie at its own edges.
  const int band = std::abs(Font().Height());
  if (client.y < band)
    Perform(WM_VSCROLL, SB_LINEUP, 0);
  else if (client.y > area.bottom - band)
    Perform(WM_VSCROLL, SB_LINEDOWN, 0);
  if (client.x < band)
    Perform(WM_HSCROLL, SB_LINELEFT, 0);
  else if (client.x > area.right - band)
    Perform(WM_HSCROLL, SB_LINERIGHT, 0);
}

bool TShellTreeView::ItemDropTarget(TShellFolderItem& item, TComPtr<IDropTarget>& target) {
  if (!item.HasAttribute(saDropTarget) && item.GetLevel() != 0) return false;
  return item.GetDropTarget(Handle(), target);
}

HRESULT TShellTreeView::DragLeave() {
  SetDropTarget(nullptr);
  EndPress();
  if (dragObject_) {
    dragObject_.reset();
    DragLeaveStep();
  }
  return S_OK;
}

HRESULT TShellTreeView::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  if (!dragObject_) return E_INVALIDARG;
  struct TDropEnd {
    TShellTreeView& tree;
    ~TDropEnd() {
      tree.dragObject_.reset();
      tree.SetDropTarget(nullptr);
      tree.EndPress();
    }
  } end{*this};
  TTreeNode* node = DropTarget();
  TShellFolderItem* item = FolderItemOf(node);
  POINT client{point.x, point.y};
  ScreenToClient(Handle(), &client);
  if (!data || !item || !item->IsValid() ||
      !DragDropStep(*dragObject_, *node, KeyStateToShift(keyState), client.x, client.y))
    return NoDropEffect(effect);
  TComPtr<IDropTarget> target;
  if (!ItemDropTarget(*item, target)) return NoDropEffect(effect);
  // The button has been let go by now; the shell's target learns which one the drag was made with
  // (the right one makes it ask what to do).
  const DWORD withButton = keyState | (rightButtonDrag_ ? MK_RBUTTON : MK_LBUTTON);
  DWORD probe = *effect;
  if (FAILED(target->DragEnter(data, withButton, point, &probe))) return NoDropEffect(effect);
  probe = *effect;
  if (FAILED(target->DragOver(withButton, point, &probe))) {
    target->DragLeave();
    return NoDropEffect(effect);
  }
  const HRESULT answer = target->Drop(data, keyState, point, effect);
  pendingDropTargets_.push_back(target);
  return answer;
}

HRESULT TShellTreeView::NoDropEffect(DWORD* effect) {
  *effect = DROPEFFECT_NONE;
  return S_OK;
}

void TShellTreeView::ReleaseFinishedDropTargets() {
  ::ReleaseFinishedDropTargets(pendingDropTargets_);
}

bool TShellTreeView::DragMayExpand(TShellFolderItem& item) {
  if (item.GetLevel() < 2) return true;
  switch (item.GetItemType()) {
    case itRootDrive: {
      // A drive without a medium must not make the system ask for one.
      const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
      const bool ready = GetVolumeInformationA(item.GetPath().c_str(), nullptr, 0, nullptr, nullptr,
                                               nullptr, nullptr, 0) != 0;
      SetErrorMode(previous);
      return ready;
    }
    case itVirtual: return false;
    default: return true;
  }
}
