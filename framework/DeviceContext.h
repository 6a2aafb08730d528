#pragma once
// Scope owners for device contexts, their saved states and the objects selected into them, so a
// paint handler that throws leaks nothing and still ends its paint.

#include <windows.h>

#include <memory>
#include <type_traits>

// BeginPaint to EndPaint.
class TPaintScope {
 public:
  explicit TPaintScope(HWND window) : window_(window), dc_(BeginPaint(window, &info_)) {}
  ~TPaintScope() { EndPaint(window_, &info_); }
  TPaintScope(const TPaintScope&) = delete;
  TPaintScope& operator=(const TPaintScope&) = delete;

  HDC Dc() const { return dc_; }
  // The part of the window to paint.
  const RECT& Area() const { return info_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT info_{};
  HDC dc_;
};

// A memory device context compatible with `compatible`; null when it cannot be made.
class TMemoryDC {
 public:
  explicit TMemoryDC(HDC compatible) : dc_(CreateCompatibleDC(compatible)) {}
  ~TMemoryDC() {
    if (dc_) DeleteDC(dc_);
  }
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;

  HDC Get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HDC dc_;
};

// A window's device context from GetDC to ReleaseDC.
class TWindowDC {
 public:
  explicit TWindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~TWindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;

  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// The screen's device context, for measuring and for making compatible objects.
class TScreenDC : public TWindowDC {
 public:
  TScreenDC() : TWindowDC(nullptr) {}
};

// A memory device context compatible with the screen, for measuring text: made on first use and
// kept, since asking for the screen's own costs a round trip to the window system each time.
// User-interface thread only; whatever is selected into it must be put back.
inline HDC MeasuringDC() {
  static const TMemoryDC measuring(nullptr);
  return measuring.Get();
}

// SaveDC to RestoreDC: fonts, pens, brushes, clipping and modes set in between are undone.
class TSavedDCState {
 public:
  explicit TSavedDCState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ~TSavedDCState() {
    if (saved_) RestoreDC(dc_, saved_);
  }
  TSavedDCState(const TSavedDCState&) = delete;
  TSavedDCState& operator=(const TSavedDCState&) = delete;

 private:
  HDC dc_;
  int saved_;
};

// Selects `object` into `dc` and puts back the object it replaced.
class TSelection {
 public:
  TSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~TSelection() {
    if (previous_) SelectObject(dc_, previous_);
  }
  TSelection(const TSelection&) = delete;
  TSelection& operator=(const TSelection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A GDI object (pen, brush, bitmap) made for one drawing and deleted after it.
struct TGdiObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
template <typename Handle>
using TGdiObjectPtr = std::unique_ptr<std::remove_pointer_t<Handle>, TGdiObjectDeleter>;
