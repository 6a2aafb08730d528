#pragma once
// A check box. A click (or Space) turns it over and runs OnClick; SetChecked runs nothing.

#include "framework/Button.h"

class TCheckBox : public TButtonControl {
 public:
  TCheckBox(TContainer& parent, const TBounds& layout, const std::string& caption);

  bool Checked() const { return CheckMark(); }
  void SetChecked(bool checked);

 protected:
  void Command(WORD code) override;
};
