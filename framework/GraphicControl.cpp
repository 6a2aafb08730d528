#include "framework/GraphicControl.h"

#include "framework/Container.h"

TGraphicControl::TGraphicControl(TContainer& parent, const TBounds& layout)
    : parent_(parent), layout_(layout), bounds_(parent.Dpi().Scale(layout)) {
  parent_.Add(this);
  Invalidate();
}

TGraphicControl::~TGraphicControl() {
  Invalidate();
  parent_.Remove(this);
}

void TGraphicControl::SetBounds(const TBounds& bounds) {
  Invalidate();
  bounds_ = bounds;
  Invalidate();
}

void TGraphicControl::ChangeDpi() { SetBounds(parent_.Dpi().Scale(layout_)); }

void TGraphicControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Invalidate();
}

void TGraphicControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Invalidate();
}

void TGraphicControl::Invalidate() const {
  if (!parent_.Handle()) return;
  RECT area{bounds_.Left, bounds_.Top, bounds_.Left + bounds_.Width, bounds_.Top + bounds_.Height};
  InvalidateRect(parent_.Handle(), &area, FALSE);
}

void TGraphicControl::BringToFront() {
  parent_.Remove(this);
  parent_.Add(this);
  Invalidate();
}
