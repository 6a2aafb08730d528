#pragma once
// A shell folder whose answers a test sets, for the paths Wine's shell never takes: other STRRET
// kinds, IShellIcon, IShellIconOverlay and icon extractors. Lives on the test's stack; its
// reference count (References) lets a test check that the code under test gave back every
// reference.

#include <windows.h>
#include <shlobj.h>
#include <shlguid.h>

#include <cstring>
#include <functional>
#include <string>

#include "shell/ComObject.h"

class TFakeExtractIcon : public TScopedComObject<IExtractIconA> {
 public:
  std::string file;
  int index = 0;
  UINT flags = 0;

  STDMETHODIMP GetIconLocation(UINT, PSTR buffer, UINT size, int* outIndex,
                               UINT* outFlags) override {
    if (buffer && size > file.size()) std::memcpy(buffer, file.c_str(), file.size() + 1);
    *outIndex = index;
    *outFlags = flags;
    return S_OK;
  }
  STDMETHODIMP Extract(PCSTR, UINT, HICON*, HICON*, UINT) override { return E_NOTIMPL; }
};

class TFakeShellFolder : public TScopedComObject<IShellFolder, IShellIcon, IShellIconOverlay> {
 public:
  // Answers of GetDisplayNameOf; E_FAIL while unset.
  std::function<HRESULT(LPCITEMIDLIST item, STRRET* answer)> displayName;
  // Bits GetAttributesOf adds to the asked mask's answer (the answer is mask & attributes).
  SFGAOF attributes = 0;
  bool offersShellIcon = false;
  HRESULT iconOfResult = S_FALSE;
  TFakeExtractIcon* extractor = nullptr;  // not owned; none: GetUIObjectOf fails
  bool offersOverlay = false;
  HRESULT overlayResult = S_OK;
  int overlayIndex = 0;

  // The icon interfaces are offered only when a test asks for them.
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if ((!offersShellIcon && IsEqualIID(iid, IID_IShellIcon)) ||
        (!offersOverlay && IsEqualIID(iid, IID_IShellIconOverlay))) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    return TScopedComObject::QueryInterface(iid, out);
  }

  STDMETHODIMP ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*, PIDLIST_RELATIVE*,
                                ULONG*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP EnumObjects(HWND, SHCONTF, IEnumIDList**) override { return E_NOTIMPL; }
  STDMETHODIMP BindToObject(PCUIDLIST_RELATIVE, IBindCtx*, REFIID, void**) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP BindToStorage(PCUIDLIST_RELATIVE, IBindCtx*, REFIID, void**) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP CompareIDs(LPARAM, PCUIDLIST_RELATIVE, PCUIDLIST_RELATIVE) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP CreateViewObject(HWND, REFIID, void**) override { return E_NOTIMPL; }
  STDMETHODIMP GetAttributesOf(UINT, PCUITEMID_CHILD_ARRAY, SFGAOF* inOut) override {
    *inOut &= attributes;
    return S_OK;
  }
  STDMETHODIMP GetUIObjectOf(HWND, UINT, PCUITEMID_CHILD_ARRAY, REFIID iid, UINT*,
                             void** out) override {
    *out = nullptr;
    if (!extractor) return E_NOINTERFACE;
    return extractor->QueryInterface(iid, out);
  }
  STDMETHODIMP GetDisplayNameOf(PCUITEMID_CHILD item, SHGDNF, STRRET* answer) override {
    return displayName ? displayName(item, answer) : E_FAIL;
  }
  STDMETHODIMP SetNameOf(HWND, PCUITEMID_CHILD, LPCWSTR, SHGDNF, PITEMID_CHILD*) override {
    return E_NOTIMPL;
  }

  STDMETHODIMP GetIconOf(PCUITEMID_CHILD, UINT, int* index) override {
    *index = 0;
    return iconOfResult;
  }

  STDMETHODIMP GetOverlayIndex(PCUITEMID_CHILD, int* index) override {
    *index = overlayIndex;
    return overlayResult;
  }
  STDMETHODIMP GetOverlayIconIndex(PCUITEMID_CHILD, int*) override { return E_NOTIMPL; }
};
