#pragma once
// The window layout is given in pixels at 96 dots per inch, as it was drawn; a window shows it at
// its own DPI, the DPI of the monitor it stands on. Lengths round to the nearest pixel, halves away
// from zero, and a place is scaled by its edges, so that controls that touch or line up at 96 DPI
// still do at any other.

#include <windows.h>

#include "framework/Bounds.h"

class TDpi {
 public:
  static constexpr int kLayout = 96;

  constexpr explicit TDpi(int dotsPerInch = kLayout) : value_(dotsPerInch) {}
  // The system's, as it tells this process at its start (under Wine: the LogPixels setting).
  static const TDpi& System();
  // The DPI of the monitor `window` stands on, as the system tells it; the system's where it
  // cannot tell (before Windows 10).
  static TDpi OfWindow(HWND window);

  int Value() const { return value_; }
  // A length or coordinate of the layout, in pixels at this DPI.
  int Scale(int layout) const { return Scale(layout, TDpi()); }
  // A length in pixels at `from`, in pixels at this DPI.
  int Scale(int length, TDpi from) const;
  // A place of the layout: left and top edge scaled, and the right and bottom edge.
  TBounds Scale(const TBounds& layout) const;

  bool operator==(const TDpi&) const = default;

 private:
  int value_;
};
