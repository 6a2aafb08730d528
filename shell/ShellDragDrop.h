#pragma once
// What the shell controls share for OLE drag and drop: the object OLE calls on a control (as drop
// target and as drag source), the hand-over of a drag to the shell's own drop target of a folder,
// and the data of shell items dragged out of a control.

#include <windows.h>
#include <oleidl.h>
#include <shlobj.h>

#include <vector>

#include "shell/ComObject.h"
#include "shell/ComPtr.h"

// The drop-target calls a control answers. Errors it raises become E_UNEXPECTED.
class TShellDragSink {
 public:
  virtual HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) = 0;
  virtual HRESULT DragOver(DWORD keyState, POINTL point, DWORD* effect) = 0;
  virtual HRESULT DragLeave() = 0;
  virtual HRESULT Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) = 0;

 protected:
  ~TShellDragSink() = default;
};

// What OLE calls: a control as drop target (forwarded to its sink) and as drag source. It
// outlives the control as long as OLE holds it; once the control is gone it answers "no drop".
class TShellOleSide final : public TComObject<IDropTarget, IDropSource> {
 public:
  explicit TShellOleSide(TShellDragSink& sink) : sink_(&sink) {}

  // The control is going: later calls do nothing.
  void Detach() noexcept { sink_ = nullptr; }

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                      DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point,
                                 DWORD* effect) override;

  // Cancelled by Escape or both buttons, dropped when neither button is down.
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

 private:
  ~TShellOleSide() override = default;

  TShellDragSink* sink_;  // not owned: the control owns this object
};

// Asks a folder's drop target what a drag over it now would do (enter, over and leave in one go:
// the target has no drag of its own going on). The answer of its DragOver.
HRESULT ProbeDropTarget(IDropTarget& target, IDataObject* data, DWORD keyState, POINTL point,
                        DWORD* effect);

// Hands a drop to a folder's drop target: entered and dragged over with the drag's button added
// to `keyState` (OLE leaves the released button out; the right one makes the shell ask what to
// do), then dropped. False, with no effect, when the target refuses before the drop; `answer` is
// the answer of its Drop.
bool DropOnTarget(IDropTarget& target, IDataObject* data, DWORD keyState, bool rightButtonDrag,
                  POINTL point, DWORD* effect, HRESULT& answer);

// The data of `items` (relative to `folder`) to drag out, and the drop effects their
// capabilities allow; false when the folder gives either not.
bool ShellDragData(HWND owner, IShellFolder& folder, std::vector<LPCITEMIDLIST> items,
                   TComPtr<IDataObject>& data, DWORD& allowedEffects);

// Scrolls a control under a drag by at most one line each way when the pointer (client point) is
// within `band` pixels of an edge, so that rows out of sight can be reached.
void DragAutoScroll(HWND window, int band, POINT client);
