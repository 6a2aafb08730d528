#pragma once
// The arrow pair of a spin edit, placed at the right end of its buddy field.

#include <functional>

#include "framework/Window.h"

class TUpDown : public TWinControl {
 public:
  // `buddy` is not owned; it stays the arrows' field for their lifetime.
  TUpDown(TContainer& parent, TWinControl& buddy);

  // An arrow was pressed (or the Up and Down keys in the buddy): +1 up, -1 down.
  std::function<void(int step)> OnStep;

 protected:
  LRESULT Notify(const NMHDR& header) override;
};
