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

int TDpi::Scale(int layout) const {
  const std::int64_t twice = 2 * static_cast<std::int64_t>(layout) * value_;
  const std::int64_t half = layout < 0 ? -kLayout : kLayout;
  return static_cast<int>((twice + half) / (2 * kLayout));
}

TBounds TDpi::Scale(const TBounds& layout) const {
  const int left = Scale(layout.Left);
  const int top = Scale(layout.Top);
  return {left, top, Scale(layout.Left + layout.Width) - left,
          Scale(layout.Top + layout.Height) - top};
}
