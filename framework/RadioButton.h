#pragma once
// A radio button. The radio buttons with the same parent (one group box) exclude each other:
// turning one on, by a click or by the program, turns the others off. A click that turns it on runs
// its OnClick; SetChecked runs nothing.

#include "framework/Button.h"

class TRadioButton : public TButtonControl {
 public:
  TRadioButton(TContainer& parent, const TBounds& layout, const std::string& caption);

  bool Checked() const { return CheckMark(); }
  void SetChecked(bool checked);

 protected:
  void Command(WORD code) override;
};
