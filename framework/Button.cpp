#include "framework/Button.h"

#include "framework/Container.h"

TButton::TButton(TContainer& parent, const TBounds& layout, const std::string& caption)
    : TWinControl(parent, layout) {
  CreateHandle({"BUTTON", caption, BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 0, LaidBounds()});
}

void TButton::SetDefault(bool isDefault) {
  default_ = isDefault;
  SendMessageA(Handle(), BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
  if (OnClick) OnClick();
}

void TButton::Command(WORD code) {
  if (code == BN_CLICKED) Click();
}

TButtonControl::TButtonControl(TContainer& parent, const TBounds& layout,
                               const std::string& caption, DWORD style)
    : TWinControl(parent, layout) {
  CreateHandle({"BUTTON", caption, style, 0, LaidBounds()});
}

TColor TButtonControl::Color() const { return color_ ? *color_ : Parent()->Color(); }

void TButtonControl::SetColor(TColor color) {
  color_ = color;
  InvalidateRect(Handle(), nullptr, TRUE);
}

bool TButtonControl::CheckMark() const {
  return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TButtonControl::SetCheckMark(bool checked) {
  SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

HBRUSH TButtonControl::CtlColor(HDC dc) {
  const TColor color = Color();
  if (!brush_ || brush_->Color() != color) brush_.emplace(color);
  SetBkColor(dc, color.Ref());
  return brush_->Handle();
}
