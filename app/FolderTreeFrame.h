#pragma once
// The place of the folder tree in the main window. Until the shell folder tree stands there it is
// an empty frame in which no folder can be selected, so a creation run has no base path.

#include <string>

#include "framework/Shape.h"

class TFolderTreeFrame : public TShape {
 public:
  TFolderTreeFrame(TContainer& parent, const TBounds& bounds) : TShape(parent, bounds) {
    SetPen(TColor::System(COLOR_BTNSHADOW));
    SetFill(TColor::System(COLOR_WINDOW));
  }

  // The file-system path of the selected folder: none can be selected here.
  std::string SelectedPath() const { return {}; }
};
