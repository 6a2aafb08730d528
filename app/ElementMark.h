#pragma once
// The mark of one element of a name template: its sign ("A", "01", "B", "*") and its caption, both
// in white over a shadow copy, on a stretched background picture.

#include <windows.h>

#include "framework/Container.h"
#include "framework/Image.h"
#include "framework/Label.h"

class TElementMark {
 public:
  static constexpr int kWidth = 114;
  static constexpr int kHeight = 22;

  // Placed with the picture's top-left corner at left, top of the layout (96 DPI);
  // `captionShadow` is the caption shadow's offset from the caption, in the layout too.
  TElementMark(TContainer& parent, int left, int top, const char* sign, const char* caption,
               POINT captionShadow, int pictureId);

  TImage Background;
  TLabel SignShadow;
  TLabel Sign;
  TLabel CaptionShadow;
  TLabel Caption;

  // The caption after the sign, as their fonts measure them at the parent's DPI.
  void PlaceCaption();

 private:
  POINT captionShadow_;
};
