#include "framework/CheckBox.h"

TCheckBox::TCheckBox(TContainer& parent, const TBounds& layout, const std::string& caption)
    : TButtonControl(parent, layout, caption, BS_CHECKBOX | WS_TABSTOP | WS_GROUP) {}

void TCheckBox::SetChecked(bool checked) { SetCheckMark(checked); }

void TCheckBox::Command(WORD code) {
  if (code != BN_CLICKED) return;
  SetCheckMark(!Checked());
  if (OnClick) OnClick();
}
