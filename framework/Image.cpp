#include "framework/Image.h"

#include "framework/Container.h"
#include "framework/DeviceContext.h"

TImage::TImage(TContainer& parent, const TBounds& layout) : TGraphicControl(parent, layout) {}

void TImage::SetBitmap(const TBitmap& bitmap) {
  bitmap_ = bitmap;
  icon_ = {};
  iconId_ = 0;
  Invalidate();
}

void TImage::SetIcon(const TIcon& icon) {
  icon_ = icon;
  bitmap_ = {};
  iconId_ = 0;
  Invalidate();
}

void TImage::SetIcon(int id, int layoutSize) {
  SetIcon(TIcon::FromResource(id, Parent().Dpi().Scale(layoutSize)));
  iconId_ = id;
  iconLayoutSize_ = layoutSize;
}

void TImage::ChangeDpi() {
  TGraphicControl::ChangeDpi();
  if (iconId_) SetIcon(iconId_, iconLayoutSize_);
}

void TImage::SetStretch(bool stretch) {
  stretch_ = stretch;
  Invalidate();
}

void TImage::SetTransparent(bool transparent) {
  transparent_ = transparent;
  Invalidate();
}

void TImage::Paint(HDC dc, const RECT& area) const {
  const int areaWidth = area.right - area.left;
  const int areaHeight = area.bottom - area.top;
  if (!icon_.Empty()) {
    const int size = icon_.Size();
    DrawIconEx(dc, area.left, area.top, icon_.Handle(), stretch_ ? areaWidth : size,
               stretch_ ? areaHeight : size, 0, nullptr, DI_NORMAL);
    return;
  }
  if (bitmap_.Empty()) return;
  const TMemoryDC memory(dc);
  if (!memory) return;
  HDC source = memory.Get();
  const TSelection selected(source, bitmap_.Handle());
  const int width = stretch_ ? areaWidth : bitmap_.Width();
  const int height = stretch_ ? areaHeight : bitmap_.Height();
  if (transparent_) {
    const COLORREF key = GetPixel(source, 0, bitmap_.Height() - 1);
    GdiTransparentBlt(dc, area.left, area.top, width, height, source, 0, 0, bitmap_.Width(),
                      bitmap_.Height(), key);
  } else {
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, area.left, area.top, width, height, source, 0, 0, bitmap_.Width(),
               bitmap_.Height(), SRCCOPY);
  }
}
