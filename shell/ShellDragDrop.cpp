#include "shell/ShellDragDrop.h"

namespace {

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

HRESULT NoDrop(DWORD* effect) {
  *effect = DROPEFFECT_NONE;
  return S_OK;
}

}  // namespace

HRESULT TShellOleSide::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  return Guarded(effect, [&] {
    return sink_ ? sink_->DragEnter(data, keyState, point, effect) : NoDrop(effect);
  });
}

HRESULT TShellOleSide::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  return Guarded(effect,
                 [&] { return sink_ ? sink_->DragOver(keyState, point, effect) : NoDrop(effect); });
}

HRESULT TShellOleSide::DragLeave() {
  return Guarded(nullptr, [&] { return sink_ ? sink_->DragLeave() : S_OK; });
}

HRESULT TShellOleSide::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  return Guarded(
      effect, [&] { return sink_ ? sink_->Drop(data, keyState, point, effect) : NoDrop(effect); });
}

HRESULT TShellOleSide::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
  const bool left = (keyState & MK_LBUTTON) != 0;
  const bool right = (keyState & MK_RBUTTON) != 0;
  if (escapePressed || (left && right)) return DRAGDROP_S_CANCEL;
  if (!left && !right) return DRAGDROP_S_DROP;
  return S_OK;
}

HRESULT ProbeDropTarget(IDropTarget& target, IDataObject* data, DWORD keyState, POINTL point,
                        DWORD* effect) {
  DWORD entered = *effect;
  target.DragEnter(data, keyState, point, &entered);
  const HRESULT answer = target.DragOver(keyState, point, effect);
  target.DragLeave();
  return answer;
}

bool DropOnTarget(IDropTarget& target, IDataObject* data, DWORD keyState, bool rightButtonDrag,
                  POINTL point, DWORD* effect, HRESULT& answer) {
  const DWORD withButton = keyState | (rightButtonDrag ? MK_RBUTTON : MK_LBUTTON);
  DWORD probe = *effect;
  if (FAILED(target.DragEnter(data, withButton, point, &probe))) {
    *effect = DROPEFFECT_NONE;
    return false;
  }
  probe = *effect;
  if (FAILED(target.DragOver(withButton, point, &probe))) {
    target.DragLeave();
    *effect = DROPEFFECT_NONE;
    return false;
  }
  answer = target.Drop(data, keyState, point, effect);
  return true;
}

bool ShellDragData(HWND owner, IShellFolder& folder, std::vector<LPCITEMIDLIST> items,
                   TComPtr<IDataObject>& data, DWORD& allowedEffects) {
  if (items.empty()) return false;
  const UINT count = static_cast<UINT>(items.size());
  SFGAOF capabilities = SFGAO_CAPABILITYMASK;
  if (FAILED(folder.GetAttributesOf(count, items.data(), &capabilities)) ||
      FAILED(folder.GetUIObjectOf(owner, count, items.data(), IID_IDataObject, nullptr,
                                  data.OutVoid())) ||
      !data)
    return false;
  // The copy, move and link capabilities are the drop effects' bits; shells answer more bits.
  allowedEffects = capabilities & (DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
  return true;
}

void DragAutoScroll(HWND window, int band, POINT client) {
  RECT area{};
  GetClientRect(window, &area);
  // The client area has no scroll bars in it: the bands lie at its own edges.
  if (client.y < band)
    SendMessageA(window, WM_VSCROLL, SB_LINEUP, 0);
  else if (client.y > area.bottom - band)
    SendMessageA(window, WM_VSCROLL, SB_LINEDOWN, 0);
  if (client.x < band)
    SendMessageA(window, WM_HSCROLL, SB_LINELEFT, 0);
  else if (client.x > area.right - band)
    SendMessageA(window, WM_HSCROLL, SB_LINERIGHT, 0);
}
