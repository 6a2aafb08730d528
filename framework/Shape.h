#pragma once
// A rectangle painted by its parent: an outline in a pen colour and style, filled or hollow. A
// rectangle one pixel wide or high is a line.

#include <optional>

#include "framework/Color.h"
#include "framework/GraphicControl.h"

enum class TPenStyle { Solid, Dot };

class TShape : public TGraphicControl {
 public:
  // Starts with a black solid outline and a white fill.
  TShape(TContainer& parent, const TBounds& layout);

  void SetPen(TColor color, TPenStyle style = TPenStyle::Solid);
  void SetFill(TColor color);
  void SetHollow();

 protected:
  void Paint(HDC dc, const RECT& area) const override;

 private:
  TColor penColor_;
  TPenStyle penStyle_ = TPenStyle::Solid;
  std::optional<TColor> fill_;
};
