#pragma once
// A check box. Each change of its state, by a click or by the program, runs OnClick.

#include "framework/Button.h"

class TCheckBox : public TButtonControl {
 public:
  TCheckBox(TContainer& parent, const TBounds& layout, const std::string& caption);

  bool Checked() const { return CheckMark(); }
  void SetChecked(bool checked);

 protected:
  void Command(WORD code) override;
};
