#pragma once
// A picture painted by its parent: a bitmap or an icon, at its natural size from the top-left
// corner or stretched over the control.

#include "framework/GraphicControl.h"
#include "framework/Graphics.h"

class TImage : public TGraphicControl {
 public:
  TImage(TContainer& parent, const TBounds& bounds);

  void SetBitmap(const TBitmap& bitmap);
  void SetIcon(const TIcon& icon);
  void SetStretch(bool stretch);
  // A transparent bitmap leaves the pixels of its bottom-left pixel's colour unpainted. Icons
  // always keep their own transparency.
  void SetTransparent(bool transparent);

 protected:
  void Paint(HDC dc, const RECT& area) const override;

 private:
  TBitmap bitmap_;
  TIcon icon_;
  bool stretch_ = false;
  bool transparent_ = false;
};
