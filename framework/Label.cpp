#include "framework/Label.h"

#include "framework/Container.h"
#include "framework/DeviceContext.h"

namespace {
constexpr UINT kFormat = DT_NOPREFIX | DT_EXPANDTABS;
}  // namespace

TLabel::TLabel(TContainer& parent, int left, int top, const std::string& caption)
    : TGraphicControl(parent, {left, top, 0, 0}),
      caption_(caption),
      font_(parent.Font()),
      fontColor_(TColor::System(COLOR_WINDOWTEXT)) {
  AutoSize();
}

void TLabel::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  AutoSize();
}

void TLabel::SetFont(const TFont& font) {
  font_ = font.At(Parent().Dpi());
  AutoSize();
}

void TLabel::ChangeDpi() {
  font_ = font_.At(Parent().Dpi());
  TGraphicControl::ChangeDpi();
  AutoSize();
}

void TLabel::SetFontColor(TColor color) {
  if (color == fontColor_) return;
  fontColor_ = color;
  Invalidate();
}

void TLabel::SetColor(TColor color) {
  color_ = color;
  Invalidate();
}

void TLabel::SetTransparent() {
  color_.reset();
  Invalidate();
}

void TLabel::AutoSize() {
  RECT extent{0, 0, 0, 0};
  {
    HDC dc = MeasuringDC();
    const TSelection font(dc, font_.Handle());
    // An empty caption keeps the height of one line.
    const std::string measured = caption_.empty() ? std::string(" ") : caption_;
    DrawTextA(dc, measured.c_str(), static_cast<int>(measured.size()), &extent,
              kFormat | DT_CALCRECT);
  }
  SetBounds({Left(), Top(), caption_.empty() ? 0 : extent.right, extent.bottom});
}

void TLabel::Paint(HDC dc, const RECT& area) const {
  if (color_) FillRect(dc, &area, TBrush(*color_).Handle());
  SelectObject(dc, font_.Handle());
  SetBkMode(dc, TRANSPARENT);
  RECT text = area;
  const auto length = static_cast<int>(caption_.size());
  if (Enabled()) {
    SetTextColor(dc, fontColor_.Ref());
    DrawTextA(dc, caption_.c_str(), length, &text, kFormat);
    return;
  }
  // Disabled: engraved, a highlight copy under the shadow-coloured text.
  OffsetRect(&text, 1, 1);
  SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
  DrawTextA(dc, caption_.c_str(), length, &text, kFormat);
  OffsetRect(&text, -1, -1);
  SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
  DrawTextA(dc, caption_.c_str(), length, &text, kFormat);
}
