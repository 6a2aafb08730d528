#pragma once
// The window layout is given in pixels at 96 dots per inch, as it was drawn; a window shows it at
// the screen's DPI. Lengths round to the nearest pixel, halves away from zero, and a place is
// scaled by its edges, so that controls that touch or line up at 96 DPI still do at any other.

#include "framework/Window.h"

class TDpi {
 public:
  static constexpr int kLayout = 96;

  constexpr explicit TDpi(int dotsPerInch = kLayout) : value_(dotsPerInch) {}
  // The screen's, as the system tells this process at its start (under Wine: the LogPixels
  // setting). The program is aware of the system's DPI, not of each monitor's: it lays its windows
  // out for this one, and the system stretches them on a monitor of another.
  static const TDpi& System();

  int Value() const { return value_; }
  // A length or coordinate of the layout, in pixels at this DPI.
  int Scale(int layout) const;
  // A place of the layout: left and top edge scaled, and the right and bottom edge.
  TBounds Scale(const TBounds& layout) const;

 private:
  int value_;
};

// A place or a length of the layout at the screen's DPI: how windows are laid out.
inline TBounds Laid(int left, int top, int width, int height) {
  return TDpi::System().Scale(TBounds{left, top, width, height});
}
inline int Laid(int layout) { return TDpi::System().Scale(layout); }
