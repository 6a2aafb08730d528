#include "app/ElementMark.h"

namespace {

const TFont& SignFont() {
  static const TFont font("ＭＳ Ｐゴシック", 32, true);
  return font;
}

const TFont& CaptionFont() {
  static const TFont font("ＭＳ Ｐゴシック", 13, true);
  return font;
}

constexpr TColor kWhite(255, 255, 255);
constexpr TColor kCaptionShadow(128, 128, 128);

// The sign is taller than the picture: it stands a little above it, the way a drop capital does.
constexpr int kSignRaise = 6;
constexpr int kSignIndent = 2;
constexpr int kCaptionGap = 1;

void Style(TLabel& label, const TFont& font, TColor color) {
  label.SetFont(font);
  label.SetFontColor(color);
  label.SetTransparent();
}

}  // namespace

TElementMark::TElementMark(TContainer& parent, int left, int top, const char* sign,
                           const char* caption, POINT captionShadow, int pictureId)
    : Background(parent, {left, top, kWidth, kHeight}),
      SignShadow(parent, left + kSignIndent + 2, top - kSignRaise + 1, sign),
      Sign(parent, left + kSignIndent, top - kSignRaise, sign),
      CaptionShadow(parent, 0, 0, caption),
      Caption(parent, 0, 0, caption),
      captionShadow_(captionShadow) {
  Background.SetBitmap(TBitmap::FromResource(pictureId));
  Background.SetStretch(true);
  Style(SignShadow, SignFont(), TColor::System(COLOR_WINDOWTEXT));
  Style(Sign, SignFont(), kWhite);
  Style(CaptionShadow, CaptionFont(), kCaptionShadow);
  Style(Caption, CaptionFont(), kWhite);
  PlaceCaption();
}

void TElementMark::PlaceCaption() {
  // Labels size themselves to their text: the caption follows the sign and is centred on the
  // picture's height.
  const TDpi dpi = Background.Parent().Dpi();
  const int captionLeft = Sign.Left() + Sign.Width() + dpi.Scale(kCaptionGap);
  const int captionTop = Background.Top() + (Background.Height() - Caption.Height()) / 2;
  Caption.SetBounds({captionLeft, captionTop, Caption.Width(), Caption.Height()});
  CaptionShadow.SetBounds({captionLeft + dpi.Scale(captionShadow_.x),
                           captionTop + dpi.Scale(captionShadow_.y), CaptionShadow.Width(),
                           CaptionShadow.Height()});
}
