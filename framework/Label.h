#pragma once
// A text painted by its parent. Sized to its text; transparent unless given a background colour.
// "&" is shown as it is: labels also show what the user typed.

#include <optional>
#include <string>

#include "framework/Color.h"
#include "framework/GraphicControl.h"
#include "framework/Graphics.h"

class TLabel : public TGraphicControl {
 public:
  // Starts with the parent's font, in the window-text colour; `left`, `top` in the layout (96 DPI).
  TLabel(TContainer& parent, int left, int top, const std::string& caption);

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  // The font, made at the parent's DPI.
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& font);
  TColor FontColor() const { return fontColor_; }
  void SetFontColor(TColor color);
  // An opaque background of this colour.
  void SetColor(TColor color);
  void SetTransparent();

  // The font at the new DPI too, and the size that gives.
  void ChangeDpi() override;

 protected:
  void Paint(HDC dc, const RECT& area) const override;

 private:
  void AutoSize();

  std::string caption_;
  TFont font_;
  TColor fontColor_;
  std::optional<TColor> color_;
};
