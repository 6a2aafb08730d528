#pragma once
// A picture painted by its parent: a bitmap or an icon, at its natural size from the top-left
// corner or stretched over the control.

#include "framework/GraphicControl.h"
#include "framework/Graphics.h"

class TImage : public TGraphicControl {
 public:
  TImage(TContainer& parent, const TBounds& layout);

  void SetBitmap(const TBitmap& bitmap);
  void SetIcon(const TIcon& icon);
  // The program's icon resource `id`, at `layoutSize` pixels of the layout (96 DPI) scaled to the
  // parent's DPI, and loaded again at each new DPI.
  void SetIcon(int id, int layoutSize);
  void SetStretch(bool stretch);
  // A transparent bitmap leaves the pixels of its bottom-left pixel's colour unpainted. Icons
  // always keep their own transparency.
  void SetTransparent(bool transparent);

  void ChangeDpi() override;

 protected:
  void Paint(HDC dc, const RECT& area) const override;

 private:
  TBitmap bitmap_;
  TIcon icon_;
  int iconId_ = 0;  // of an icon resource taken at each DPI
  int iconLayoutSize_ = 0;
  bool stretch_ = false;
  bool transparent_ = false;
};
