#pragma once
// The one IUnknown of the library's own COM objects (drop targets and sources, menu handlers, the
// tests' fakes): a reference count and a QueryInterface that answers IUnknown and each interface
// listed, by the interface's identifier (InterfaceId).
//
//   class TDropTarget final : public TComObject<IDropTarget> { ... };   // made with new
//   class TFakeFolder : public TScopedComObject<IShellFolder> { ... };  // lives in a scope

#include <windows.h>
#include <shlobj.h>
#include <unknwn.h>

// The identifier of an interface. The SDK headers declare one for __uuidof on most interfaces; the
// few they leave out are named here.
template <typename Interface>
inline const IID& InterfaceId() {
  return __uuidof(Interface);
}
template <>
inline const IID& InterfaceId<IShellIconOverlay>() {
  return IID_IShellIconOverlay;
}
template <>
inline const IID& InterfaceId<IExtractIconA>() {
  return IID_IExtractIconA;
}

template <typename... Interfaces>
class TComObject : public Interfaces... {
 public:
  TComObject(const TComObject&) = delete;
  TComObject& operator=(const TComObject&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown))
      *object = static_cast<IUnknown*>(static_cast<First*>(this));
    else
      ((IsEqualIID(iid, InterfaceId<Interfaces>()) && (*object = static_cast<Interfaces*>(this))) ||
       ...);
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
  }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) LastReferenceGone();
    return static_cast<ULONG>(left);
  }

  // The references held now, for tests that check every one was given back.
  LONG References() const noexcept { return references_; }

 protected:
  // The maker holds the first reference.
  TComObject() noexcept = default;
  virtual ~TComObject() = default;

  // Made with new: the last reference deletes the object.
  virtual void LastReferenceGone() noexcept { delete this; }

 private:
  template <typename Head, typename...>
  struct TFirst {
    using Type = Head;
  };
  using First = typename TFirst<Interfaces...>::Type;

  LONG references_ = 1;
};

// A COM object whose lifetime is its scope or its owner's, not its references: the count still
// runs, and a test checks it, but nothing is deleted when it reaches zero.
template <typename... Interfaces>
class TScopedComObject : public TComObject<Interfaces...> {
 protected:
  void LastReferenceGone() noexcept override {}
};
