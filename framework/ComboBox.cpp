#include "framework/ComboBox.h"

#include "framework/Container.h"

namespace {
constexpr int kDroppedEntries = 8;
}  // namespace

TComboBox::TComboBox(TContainer& parent, int left, int top, int width, TComboBoxStyle style)
    : TWinControl(&parent) {
  const DWORD kind =
      style == TComboBoxStyle::DropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN | CBS_AUTOHSCROLL;
  CreateHandle({"COMBOBOX", "", kind | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 0,
                {left, top, width, 200}});
  // The window's height is the field's plus the dropped list's.
  const auto field = static_cast<int>(SendMessageA(Handle(), CB_GETITEMHEIGHT, -1, 0));
  const auto entry = static_cast<int>(SendMessageA(Handle(), CB_GETITEMHEIGHT, 0, 0));
  SetHeight(field + 6 + entry * kDroppedEntries + 2);
}

bool TComboBox::Editable() const {
  return (GetWindowLongA(Handle(), GWL_STYLE) & 0x3) == CBS_DROPDOWN;
}

void TComboBox::AddItem(const std::string& text) {
  SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TComboBox::Clear() { SendMessageA(Handle(), CB_RESETCONTENT, 0, 0); }

int TComboBox::Count() const {
  return static_cast<int>(SendMessageA(Handle(), CB_GETCOUNT, 0, 0));
}

std::string TComboBox::Item(int index) const {
  const auto length = SendMessageA(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return {};
  // The length may come in characters; leave room for two bytes each.
  std::string text(static_cast<size_t>(length) * 2 + 1, '\0');
  const auto copied = SendMessageA(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index),
                                   reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

int TComboBox::ItemIndex() const {
  const auto selected = static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
  if (!Editable()) return selected;
  const std::string shown = Text();
  if (selected >= 0 && Item(selected) == shown) return selected;
  for (int i = 0; i < Count(); ++i)
    if (Item(i) == shown) return i;
  return -1;
}

void TComboBox::SetItemIndex(int index) {
  SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TComboBox::Command(WORD code) {
  switch (code) {
    case CBN_SELCHANGE:
      if (Editable()) {
        // The field still shows the old text while this notification runs.
        const int selected = static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
        selecting_ = true;
        SetWindowTextA(Handle(), Item(selected).c_str());
        selecting_ = false;
      }
      if (OnChange) OnChange();
      break;
    case CBN_EDITCHANGE:
      if (!selecting_ && OnChange) OnChange();
      break;
    default:
      break;
  }
}
