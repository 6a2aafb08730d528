#include "framework/ComboBox.h"

#include "framework/Container.h"
#include "framework/TextIntake.h"

// The field of an editable list, a window the control makes inside itself.
class TComboField final : public TWinControl {
 public:
  explicit TComboField(HWND field) : TWinControl(nullptr) { AdoptWindow(field); }
  bool TakeTypedChar(WPARAM& character) override {
    return intake_.TakeTypedChar(Handle(), character);
  }

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_PASTE: intake_.Paste(Handle()); return 0;
      case WM_KILLFOCUS: intake_.HideBalloon(); break;
      default: break;
    }
    return TWinControl::WndProc(message, wParam, lParam);
  }

 private:
  TTextIntake intake_;
};

namespace {

DWORD KindStyle(TComboBoxStyle style) {
  switch (style) {
    case TComboBoxStyle::DropDown: return CBS_DROPDOWN | CBS_AUTOHSCROLL;
    case TComboBoxStyle::OwnerDrawVariable: return CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE;
    default: return CBS_DROPDOWNLIST;
  }
}

}  // namespace

TComboBox::TComboBox(TContainer& parent, const TBounds& layout, TComboBoxStyle style)
    : TWinControl(parent, layout), style_(style), bounds_(LaidBounds()) {
  bounds_.Height = 200;  // until the font gives the field's height
  CreateWnd();
}

TComboBox::~TComboBox() = default;

void TComboBox::CreateWnd() {
  CreateHandle(
      {"COMBOBOX", "", KindStyle(style_) | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 0, bounds_});
  COMBOBOXINFO parts{};
  parts.cbSize = sizeof parts;
  if (Editable() && GetComboBoxInfo(Handle(), &parts))
    field_ = std::make_unique<TComboField>(parts.hwndItem);
  FitHeight();
}

void TComboBox::DestroyWnd() {
  if (Handle()) DestroyWindow(Handle());
}

void TComboBox::RecreateWnd() {
  if (!Handle()) return;
  bounds_ = Bounds();
  RemakeWindow([this] {
    DestroyWnd();
    CreateWnd();
  });
}

void TComboBox::FitHeight() {
  // Version 6 controls size the open list by its count of visible rows (30 unless told), older
  // ones by the window's height: both are set.
  SendMessageA(Handle(), CB_SETMINVISIBLE, static_cast<WPARAM>(dropDownCount_), 0);
  // The window's height is the field's plus the dropped list's.
  const int field = ItemHeight(-1);
  // An empty owner-drawn list has no row to ask: rows are taken as high as the face.
  const int entry = Count() > 0 ? ItemHeight(0) : field;
  SetHeight(field + 6 + entry * dropDownCount_ + 2);
}

void TComboBox::ChangeDpi(TDpi dpi) {
  TWinControl::ChangeDpi(dpi);
  FitHeight();  // the field's height follows the new font
}

void TComboBox::SetDropDownCount(int count) {
  dropDownCount_ = count > 0 ? count : 1;
  FitHeight();
}

bool TComboBox::DroppedDown() const {
  return SendMessageA(Handle(), CB_GETDROPPEDSTATE, 0, 0) != FALSE;
}

int TComboBox::ItemHeight(int index) const {
  return static_cast<int>(SendMessageA(Handle(), CB_GETITEMHEIGHT, static_cast<WPARAM>(index), 0));
}

bool TComboBox::Editable() const { return style_ == TComboBoxStyle::DropDown; }

void TComboBox::AddItem(const std::string& text) { InsertItem(-1, text); }

void TComboBox::InsertItem(int index, const std::string& text) {
  // Without CBS_HASSTRINGS the parameter is the row's data, not a text.
  const LPARAM data = OwnerDrawn() ? 0 : reinterpret_cast<LPARAM>(text.c_str());
  SendMessageA(Handle(), CB_INSERTSTRING, static_cast<WPARAM>(index), data);
}

void TComboBox::DeleteItem(int index) {
  SendMessageA(Handle(), CB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void TComboBox::Clear() { SendMessageA(Handle(), CB_RESETCONTENT, 0, 0); }

int TComboBox::Count() const { return static_cast<int>(SendMessageA(Handle(), CB_GETCOUNT, 0, 0)); }

std::string TComboBox::Item(int index) const {
  if (OwnerDrawn()) return {};
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

void TComboBox::BeginUpdate() {
  if (updateCount_++ == 0) SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
}

void TComboBox::EndUpdate() {
  if (updateCount_ == 0 || --updateCount_ > 0) return;
  SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TComboBox::MeasureRows() {
  for (int index = -1; index < Count(); ++index) {
    int height = ItemHeight(index);
    MeasureRow(index, height);
    SendMessageA(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(index), height);
  }
  FitHeight();
}

LRESULT TComboBox::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = TWinControl::WndProc(message, wParam, lParam);
  // Rows were measured with the old font; the face even before this object heard the window's
  // messages (CreateHandle sets the font right after making the window).
  if (message == WM_SETFONT && OwnerDrawn()) MeasureRows();
  return result;
}

void TComboBox::MeasureItem(MEASUREITEMSTRUCT& measure) {
  int height = static_cast<int>(measure.itemHeight);
  MeasureRow(static_cast<int>(measure.itemID), height);
  measure.itemHeight = static_cast<UINT>(height);
}

void TComboBox::DrawItem(const DRAWITEMSTRUCT& draw) {
  TComboDrawItem item;
  item.Dc = draw.hDC;
  item.Rect = draw.rcItem;
  item.Index = static_cast<int>(draw.itemID);
  item.Selected = (draw.itemState & ODS_SELECTED) != 0;
  item.Focused = (draw.itemState & ODS_FOCUS) != 0;
  item.Face = (draw.itemState & ODS_COMBOBOXEDIT) != 0;
  DrawRow(item);
}

void TComboBox::MeasureRow(int index, int& height) {
  if (OnMeasureItem) OnMeasureItem(index, height);
}

void TComboBox::DrawRow(const TComboDrawItem& item) {
  if (OnDrawItem) OnDrawItem(item);
}

void TComboBox::Change() {
  if (OnChange) OnChange();
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
      Change();
      break;
    case CBN_EDITCHANGE:
      if (!selecting_) Change();
      break;
    default: break;
  }
}
