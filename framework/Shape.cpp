#include "framework/Shape.h"

#include <optional>

#include "framework/DeviceContext.h"
#include "framework/Graphics.h"

TShape::TShape(TContainer& parent, const TBounds& layout)
    : TGraphicControl(parent, layout), penColor_(0, 0, 0), fill_(TColor(255, 255, 255)) {}

void TShape::SetPen(TColor color, TPenStyle style) {
  penColor_ = color;
  penStyle_ = style;
  Invalidate();
}

void TShape::SetFill(TColor color) {
  fill_ = color;
  Invalidate();
}

void TShape::SetHollow() {
  fill_.reset();
  Invalidate();
}

void TShape::Paint(HDC dc, const RECT& area) const {
  const TGdiObjectPtr<HPEN> pen(
      CreatePen(penStyle_ == TPenStyle::Dot ? PS_DOT : PS_SOLID, 1, penColor_.Ref()));
  std::optional<TBrush> brush;
  if (fill_) brush.emplace(*fill_);
  const TSavedDCState state(dc);
  SelectObject(dc, pen.get());
  SelectObject(dc, brush ? static_cast<HGDIOBJ>(brush->Handle()) : GetStockObject(NULL_BRUSH));
  SetBkMode(dc, TRANSPARENT);  // the gaps of a dotted line show what lies beneath
  Rectangle(dc, area.left, area.top, area.right, area.bottom);
}
