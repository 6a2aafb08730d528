#pragma once

// A place in pixels: in the parent's client area, or on the screen for a top-level window.
struct TBounds {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;

  bool operator==(const TBounds&) const = default;
};
