#pragma once
// Stand-ins for the other side of a drag: a shell drop target that records what it is told, and
// data in no format a shell control takes.

#include <windows.h>
#include <oleidl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "shell/ComObject.h"

// A drop target standing in for the shell's (Wine's Drop copies nothing): it records the key states
// it is told and frees itself with its last reference.
class TRecordingDropTarget : public TComObject<IDropTarget> {
 public:
  explicit TRecordingDropTarget(bool& gone) : gone_(gone) {}
  std::vector<DWORD> keys;         // DragEnter, DragOver and Drop, in order
  std::vector<std::string> files;  // the paths the dropped data names
  DWORD overEffect = 0;            // when set, DragOver's answer: the effect at the point
  STDMETHODIMP DragEnter(IDataObject*, DWORD keyState, POINTL, DWORD*) override {
    return Record(keyState);
  }
  STDMETHODIMP DragOver(DWORD keyState, POINTL, DWORD* effect) override {
    if (overEffect) *effect = overEffect;
    return Record(keyState);
  }
  STDMETHODIMP DragLeave() override { return S_OK; }
  STDMETHODIMP Drop(IDataObject* data, DWORD keyState, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_MOVE;
    RecordFiles(data);
    return Record(keyState);
  }

 private:
  ~TRecordingDropTarget() override { gone_ = true; }
  void RecordFiles(IDataObject* data) {
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (!data || FAILED(data->GetData(&format, &medium))) return;
    const auto drop = static_cast<HDROP>(medium.hGlobal);
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      char path[MAX_PATH] = {};
      DragQueryFileA(drop, i, path, MAX_PATH);
      files.push_back(path);
    }
    ReleaseStgMedium(&medium);
  }
  HRESULT Record(DWORD keyState) {
    keys.push_back(keyState);
    return S_OK;
  }
  bool& gone_;
};

// Data in no format a shell control takes.
class TFakeDataObjectNeither : public TScopedComObject<IDataObject> {
 public:
  STDMETHODIMP GetData(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
  STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
  STDMETHODIMP QueryGetData(FORMATETC*) override { return DV_E_FORMATETC; }
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }
};
