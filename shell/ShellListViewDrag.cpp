// The file list as a drag source and as a drop target. Drops go to the shell's own drop target of
// the folder row under the pointer, or of the list's folder when no row is there; the shell does
// the copying or moving and may go on after Drop returns.

#include "shell/ShellListView.h"

#include <cstdlib>

// --- Dragging out -------------------------------------------------------------------------------

void TShellListView::BeginDrag(int index, bool /*rightButton*/) {
  TShellFileItem* pressed = files_.Item(index);
  IShellFolder* folder = files_.Folder();
  if (!pressed || !pressed->IsValid() || !folder) return;
  if (!pressed->HasAttribute(saCanLink) && !pressed->HasAttribute(saCanCopy) &&
      !pressed->HasAttribute(saCanMove))
    return;
  bool canDrag = true;
  if (OnShBeginDrag) OnShBeginDrag(*pressed, canDrag);
  if (!canDrag) return;
  std::vector<LPCITEMIDLIST> dragged;
  for (int selected : SelectedIndexes()) dragged.push_back(files_.Item(selected)->RelativeIDList());
  if (dragged.empty()) dragged.push_back(pressed->RelativeIDList());
  TComPtr<IDataObject> data;
  DWORD allowed = DROPEFFECT_NONE;
  if (!ShellDragData(Handle(), *folder, dragged, data, allowed)) return;
  draggingOut_ = true;
  DWORD effect = DROPEFFECT_NONE;
  DoDragDrop(data.Get(), static_cast<TShellOleSide*>(ole_.Get()), allowed, &effect);
  draggingOut_ = false;
  SetDropHighlighted(-1);
}

// --- Dropping in --------------------------------------------------------------------------------

TShellFileItem* TShellListView::ItemAtScreen(POINTL point, POINT& client) {
  client = POINT{point.x, point.y};
  ScreenToClient(Handle(), &client);
  return files_.Item(ItemAt(client));
}

bool TShellListView::ItemDropTarget(TShellFileItem* item, TComPtr<IDropTarget>& target) {
  target.Reset();
  if (item) return item->HasAttribute(saDropTarget) && item->GetDropTarget(Handle(), target);
  // The folder shown takes what is dropped beside the rows.
  IShellFolder* folder = files_.Folder();
  return folder &&
         SUCCEEDED(folder->CreateViewObject(Handle(), IID_IDropTarget, target.OutVoid())) && target;
}

HRESULT TShellListView::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  dragObject_.reset();
  ReleaseFinishedDropTargets(pendingDropTargets_);
  if (!data) return E_INVALIDARG;
  rightButtonDrag_ = (keyState & MK_RBUTTON) != 0;
  if (!OffersShellItems(data)) {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  auto dragObject = std::make_unique<TShellDragObject>(data);
  bool accept = true;
  if (OnShDragEnter)
    OnShDragEnter(*dragObject, KeyStateToShift(keyState), POINT{point.x, point.y}, accept);
  if (!accept) {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  dragObject_ = std::move(dragObject);
  return S_OK;
}

HRESULT TShellListView::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
  if (!dragObject_) {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  POINT client{};
  TShellFileItem* item = ItemAtScreen(point, client);
  SetDropHighlighted(item ? ItemAt(client) : -1);
  DragAutoScroll(Handle(), std::abs(Font().Height()), client);
  TComPtr<IDropTarget> target;
  if (!ItemDropTarget(item, target)) {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  // Asked afresh each time: the shell's target answers for the keys and the point now.
  const HRESULT answer =
      ProbeDropTarget(*target.Get(), dragObject_->DataObject(), keyState, point, effect);
  if (OnShDragOver) OnShDragOver(*dragObject_, item, KeyStateToShift(keyState), client.x, client.y);
  return answer;
}

void TShellListView::EndDrag() {
  dragObject_.reset();
  SetDropHighlighted(-1);
}

HRESULT TShellListView::DragLeave() {
  const bool entered = dragObject_ != nullptr;
  EndDrag();
  if (entered && OnShDragLeave) OnShDragLeave();
  return S_OK;
}

HRESULT TShellListView::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  if (!dragObject_) return E_INVALIDARG;
  const std::unique_ptr<TShellDragObject> dragObject = std::move(dragObject_);
  struct TDropEnd {
    TShellListView& list;
    ~TDropEnd() { list.EndDrag(); }
  } end{*this};
  POINT client{};
  TShellFileItem* item = ItemAtScreen(point, client);
  bool defaultAction = true;
  if (OnShDragDrop)
    OnShDragDrop(*dragObject, item, KeyStateToShift(keyState), client.x, client.y, defaultAction);
  TComPtr<IDropTarget> target;
  if (!data || !defaultAction || !ItemDropTarget(item, target)) {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  HRESULT answer = S_OK;
  if (DropOnTarget(*target.Get(), data, keyState, rightButtonDrag_, point, effect, answer))
    pendingDropTargets_.push_back(target);
  return answer;
}
