#pragma once
// A group box: an etched frame with an optional caption, filled with its colour, holding controls
// placed in its own client coordinates. Radio buttons inside it form one group.

#include <string>

#include "framework/Container.h"

class TGroupBox : public TContainer {
 public:
  TGroupBox(TContainer& parent, const TBounds& layout, const std::string& caption = "");

 protected:
  void PaintBackground(HDC dc, const RECT& client) const override;
};
