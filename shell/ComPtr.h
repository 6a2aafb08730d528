#pragma once
// The one COM smart pointer of the library. Assigning or copying a pointer adds a reference,
// Attach adopts one the caller already holds, destruction releases.

#include <windows.h>
#include <unknwn.h>

#include <utility>

template <typename T>
class TComPtr {
 public:
  TComPtr() noexcept = default;
  TComPtr(T* p) noexcept : p_(p) { AddRef(); }
  TComPtr(const TComPtr& other) noexcept : p_(other.p_) { AddRef(); }
  TComPtr(TComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ~TComPtr() { Reset(); }

  TComPtr& operator=(T* p) noexcept {
    if (p != p_) {
      if (p) p->AddRef();
      Reset();
      p_ = p;
    }
    return *this;
  }
  TComPtr& operator=(const TComPtr& other) noexcept { return *this = other.p_; }
  TComPtr& operator=(TComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }

  // Takes over a reference the caller already holds.
  void Attach(T* p) noexcept {
    Reset();
    p_ = p;
  }
  // Hands the reference to the caller, who releases it.
  T* Detach() noexcept { return std::exchange(p_, nullptr); }
  void Reset() noexcept {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }

  // Out-parameter access: the old reference is released first.
  T** Out() noexcept {
    Reset();
    return &p_;
  }
  void** OutVoid() noexcept { return reinterpret_cast<void**>(Out()); }

  // Asks `source` for interface `iid` and holds the answer; false when it is not offered.
  bool QueryFrom(IUnknown* source, REFIID iid) noexcept {
    Reset();
    void* raw = nullptr;
    if (!source || FAILED(source->QueryInterface(iid, &raw)) || !raw) return false;
    p_ = static_cast<T*>(raw);
    return true;
  }

  T* Get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

 private:
  void AddRef() noexcept {
    if (p_) p_->AddRef();
  }

  T* p_ = nullptr;
};
