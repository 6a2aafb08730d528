#include "framework/CheckBox.h"

TCheckBox::TCheckBox(TContainer& parent, const TBounds& layout, const std::string& caption)
    : TButtonControl(parent, layout, caption, BS_CHECKBOX | WS_TABSTOP | WS_GROUP) {}

void TCheckBox::SetChecked(bool checked) {
  if (checked == Checked()) return;
  SetCheckMark(checked);
  if (OnClick) OnClick();
}

void TCheckBox::Command(WORD code) {
  if (code == BN_CLICKED) SetChecked(!Checked());
}
