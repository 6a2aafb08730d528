#include "framework/Dpi.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int kScreenDpis[] = {120, 144, 168, 192};

int Right(const TBounds& b) { return b.Left + b.Width; }

// Controls that touch at 96 DPI (a frame and the strip beside it, a spin edit and its arrow)
// touch at every DPI, and each size stays within a pixel of the exact scale.
TEST(DpiTests, NeighboursStillTouchAndSizesStayTrue) {
  for (int dpi : kScreenDpis) {
    const TDpi scale(dpi);
    for (int left = -40; left < 300; ++left) {
      for (int width = 1; width < 40; ++width) {
        const TBounds first = scale.Scale({left, left, width, width});
        const TBounds second = scale.Scale({left + width, left + width, 17, 17});
        ASSERT_EQ(Right(first), second.Left) << dpi << " dpi, left " << left << " width " << width;
        ASSERT_EQ(first.Top + first.Height, second.Top);
        ASSERT_LE(std::abs(first.Width * 96.0 - width * dpi), 96.0);
      }
    }
  }
}

// At 96 DPI nothing moves, and a place left of or above the primary screen scales as its mirror.
TEST(DpiTests, LayoutDpiKeepsEveryPlaceAndNegativesMirror) {
  const TDpi layout;
  for (int value = -600; value <= 600; ++value) ASSERT_EQ(layout.Scale(value), value);
  for (int dpi : kScreenDpis) {
    const TDpi scale(dpi);
    for (int value = 1; value <= 600; ++value) ASSERT_EQ(scale.Scale(-value), -scale.Scale(value));
  }
  EXPECT_EQ(TDpi(144).Scale(12), 18);  // the 12-pixel font at 150 %
  EXPECT_EQ(TDpi(120).Scale(2), 3);    // a half rounds up
}

// A length at a screen's DPI taken back to the layout's is the length it was (a column width at
// 150 % and back at 100 %), and a length converts between any two DPIs as through the layout.
TEST(DpiTests, LengthsComeBackFromAnotherDpi) {
  const TDpi layout;
  for (int dpi : kScreenDpis) {
    const TDpi scale(dpi);
    for (int value = 0; value <= 600; ++value)
      ASSERT_EQ(layout.Scale(scale.Scale(value), scale), value) << dpi << " dpi, " << value;
  }
  EXPECT_EQ(TDpi(192).Scale(18, TDpi(144)), 24);
  EXPECT_EQ(TDpi(120).Scale(-18, TDpi(144)), -15);
}

}  // namespace
