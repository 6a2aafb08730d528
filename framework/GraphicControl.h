#pragma once
// A control without a window of its own (label, shape, picture): its parent paints it, in creation
// order and under the windowed controls, and tells it about clicks and the mouse pointer. This is
// what lets labels lie transparently over shapes and pictures.

#include <windows.h>

#include <functional>

#include "framework/Window.h"

class TContainer;

enum class TCursor { Default, HandPoint };

class TGraphicControl {
 public:
  virtual ~TGraphicControl();
  TGraphicControl(const TGraphicControl&) = delete;
  TGraphicControl& operator=(const TGraphicControl&) = delete;

  // Not owned: the parent outlives its controls.
  TContainer& Parent() const { return parent_; }

  // In the parent's client pixels.
  const TBounds& Bounds() const { return bounds_; }
  void SetBounds(const TBounds& bounds);
  int Left() const { return bounds_.Left; }
  int Top() const { return bounds_.Top; }
  int Width() const { return bounds_.Width; }
  int Height() const { return bounds_.Height; }

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  // The mouse pointer's shape while it is over the control.
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor) { cursor_ = cursor; }

  std::function<void()> OnClick;
  // The pointer came over the control, and left it again.
  std::function<void()> OnMouseEnter;
  std::function<void()> OnMouseLeave;

  // Asks the parent to paint the control again.
  void Invalidate() const;
  // Painted after (over) every other graphic control of the parent.
  void BringToFront();

  // The parent's DPI changed: the place of the layout scaled to it, and what depends on it.
  virtual void ChangeDpi();

 protected:
  // `layout`: the place in the parent at 96 DPI.
  TGraphicControl(TContainer& parent, const TBounds& layout);

  // Draws the control; `area` is its place in the parent's client coordinates.
  virtual void Paint(HDC dc, const RECT& area) const = 0;

 private:
  friend class TContainer;

  TContainer& parent_;
  TBounds layout_;
  TBounds bounds_;
  bool visible_ = true;
  bool enabled_ = true;
  TCursor cursor_ = TCursor::Default;
};
