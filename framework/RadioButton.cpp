#include "framework/RadioButton.h"

#include "framework/Container.h"

namespace {

template <typename Visit>
void ForEachSiblingRadio(HWND parent, Visit visit) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (auto* radio = dynamic_cast<TRadioButton*>(TWinControl::FromHandle(child))) visit(*radio);
}

// Tab reaches a group of radio buttons at its checked one.
void SetTabStop(HWND window, bool stop) {
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  SetWindowLongA(window, GWL_STYLE, stop ? style | WS_TABSTOP : style & ~WS_TABSTOP);
}

// The first radio button of a parent starts the group that the arrow keys move in.
DWORD GroupStyle(const TContainer& parent) {
  bool first = true;
  ForEachSiblingRadio(parent.Handle(), [&](TRadioButton&) { first = false; });
  return first ? WS_GROUP : 0;
}

}  // namespace

TRadioButton::TRadioButton(TContainer& parent, const TBounds& layout, const std::string& caption)
    : TButtonControl(parent, layout, caption, BS_RADIOBUTTON | GroupStyle(parent)) {}

void TRadioButton::SetChecked(bool checked) {
  if (checked == Checked()) return;
  SetCheckMark(checked);
  SetTabStop(Handle(), checked);
  if (!checked) return;
  ForEachSiblingRadio(Parent()->Handle(), [this](TRadioButton& other) {
    if (&other == this || !other.Checked()) return;
    other.SetCheckMark(false);
    SetTabStop(other.Handle(), false);
  });
}

void TRadioButton::Command(WORD code) {
  if (code != BN_CLICKED || Checked()) return;
  SetChecked(true);
  if (OnClick) OnClick();
}
