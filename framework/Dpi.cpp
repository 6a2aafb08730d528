#include "framework/Dpi.h"

#include <cstdint>

namespace {

TDpi ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dotsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return TDpi(dotsPerInch > 0 ? dotsPerInch : TDpi::kLayout);
}

}  // namespace

const TDpi& TDpi::System() {
  static const TDpi system = ScreenDpi();
  return system;
}

TDpi TDpi::OfWindow(HWND window) {
  // Looked up at run time: older systems lack it, and lay every window out at the system's DPI.
  using TGetDpiForWindow = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<TGetDpiForWindow>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  const UINT dotsPerInch = getDpiForWindow && window ? getDpiForWindow(window) : 0;
  return dotsPerInch > 0 ? TDpi(static_cast<int>(dotsPerInch)) : System();
}

int TDpi::Scale(int length, TDpi from) const {
  const std::int64_t twice = 2 * static_cast<std::int64_t>(length) * value_;
  const std::int64_t half = length < 0 ? -from.value_ : from.value_;
  return static_cast<int>((twice + half) / (2 * from.value_));
}

TBounds TDpi::Scale(const TBounds& layout) const {
  const int left = Scale(layout.Left);
  const int top = Scale(layout.Top);
  return {left, top, Scale(layout.Left + layout.Width) - left,
          Scale(layout.Top + layout.Height) - top};
}
