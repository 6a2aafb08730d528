// The folder tree as a drag source and as a drop target. Drops go to the shell's own drop target
// of the folder under the pointer, which does the copying or moving (and may go on after Drop
// returns: the tree keeps it until the next directory report finds it done).

#include <cstdlib>

#include "shell/ShellTreeView.h"

namespace {

// More drag-over calls than this on one node expand it.
constexpr int kHoverExpandCalls = 30;
// A drag starts when the pointer has moved further than this from the press, in either direction.
constexpr int kDragThreshold = 5;

}  // namespace

void TShellTreeView::AttachOleSide() {
  ole_.Attach(new TShellOleSide(static_cast<TShellDragSink&>(*this)));
}

void TShellTreeView::DetachOleSide() noexcept { static_cast<TShellOleSide*>(ole_.Get())->Detach(); }

IDropTarget* TShellTreeView::OleDropTarget() const noexcept { return ole_.Get(); }

IDropSource* TShellTreeView::OleDropSource() const noexcept {
  return static_cast<TShellOleSide*>(ole_.Get());
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
  TComPtr<IDataObject> data;
  DWORD allowed = DROPEFFECT_NONE;
  if (!item || !item->GetParentFolder(parent) ||
      !ShellDragData(Handle(), *parent.Get(), {item->RelativeIDList()}, data, allowed))
    return;
  pressState_ = TPressState::Dragging;
  DWORD effect = DROPEFFECT_NONE;
  DoDragDrop(data.Get(), OleDropSource(), allowed, &effect);
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
  TTreeNode* previous = dropNode_;
  dropNode_ = node;
  SetDropTarget(node);
  if (!node) {
    *effect = DROPEFFECT_NONE;
  } else {
    TShellFolderItem* item = FolderItemOf(node);
    TComPtr<IDropTarget> target;
    if (item && item->IsValid()) {
      if (!ItemDropTarget(*item, target)) {
        *effect = DROPEFFECT_NONE;
      } else {
        // Asked afresh each time: the shell's target answers for the keys and the point now.
        answer = ProbeDropTarget(*target.Get(), dragObject_->DataObject(), keyState, point, effect);
        DragOverStep(*dragObject_, *node, KeyStateToShift(keyState), client.x, client.y);
      }
    }
    HoverExpand(node, previous);
  }
  DragAutoScroll(Handle(), std::abs(Font().Height()), client);
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

bool TShellTreeView::ItemDropTarget(TShellFolderItem& item, TComPtr<IDropTarget>& target) {
  if (!item.HasAttribute(saDropTarget) && item.GetLevel() != 0) return false;
  return item.GetDropTarget(Handle(), target);
}

HRESULT TShellTreeView::DragLeave() {
  SetDropTarget(nullptr);
  dropNode_ = nullptr;
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
  // Wine's control cannot drop-highlight the selected node: the node is the tree's own note.
  TTreeNode* node = HasNode(dropNode_) ? dropNode_ : nullptr;
  TShellFolderItem* item = FolderItemOf(node);
  POINT client{point.x, point.y};
  ScreenToClient(Handle(), &client);
  if (!data || !item || !item->IsValid() ||
      !DragDropStep(*dragObject_, *node, KeyStateToShift(keyState), client.x, client.y))
    return NoDropEffect(effect);
  TComPtr<IDropTarget> target;
  if (!ItemDropTarget(*item, target)) return NoDropEffect(effect);
  HRESULT answer = S_OK;
  if (DropOnTarget(*target.Get(), data, keyState, rightButtonDrag_, point, effect, answer))
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
