#include "framework/Menu.h"

#include <stdexcept>

#include "framework/Graphics.h"

namespace {

// Menu command ids, apart from control ids and from IDOK and IDCANCEL.
UINT NextItemId() {
  static UINT next = 40000;
  return next++;
}

bool KeyDown(int key) { return GetKeyState(key) < 0; }

}  // namespace

std::string TShortCut::Text() const {
  if (Key == 0) return {};
  std::string text;
  if (Ctrl) text += "Ctrl+";
  if (Shift) text += "Shift+";
  if (Alt) text += "Alt+";
  if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9')) return text + static_cast<char>(Key);
  if (Key == VK_BACK) return text + "BkSp";
  char name[64] = "";
  GetKeyNameTextA(static_cast<LONG>(MapVirtualKeyA(Key, MAPVK_VK_TO_VSC) << 16), name,
                  sizeof(name));
  return text + name;
}

bool TShortCut::Matches(const MSG& message) const {
  if (Key == 0 || (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN))
    return false;
  return message.wParam == Key && KeyDown(VK_CONTROL) == Ctrl && KeyDown(VK_SHIFT) == Shift &&
         KeyDown(VK_MENU) == Alt;
}

TMenuItem::TMenuItem(HMENU owner, UINT id, std::string caption, TShortCut shortCut,
                     int imageIndex)
    : owner_(owner),
      id_(id),
      caption_(std::move(caption)),
      shortCut_(shortCut),
      imageIndex_(imageIndex) {}

TMenuItem::~TMenuItem() = default;

TMenuItem& TMenuItem::Add(const std::string& caption, TShortCut shortCut, int imageIndex) {
  if (!popup_) throw std::logic_error("menu item without a sub-menu: " + caption_);
  // The constructor is private: make_unique cannot reach it.
  std::unique_ptr<TMenuItem> item(
      new TMenuItem(popup_, NextItemId(), caption, shortCut, imageIndex));
  std::string text = caption;
  if (shortCut.Key) {
    text += '\t';
    text += shortCut.Text();
  }
  MENUITEMINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE;
  info.fType = MFT_STRING;
  info.wID = item->id_;
  info.dwTypeData = text.data();
  // The form draws the picture from the image list when the menu asks for it. Items without a
  // picture ask too (and get nothing drawn): Wine lines up the shortcut column only among items
  // of the same kind, and a plain item's shortcut would run into its caption.
  info.fMask |= MIIM_BITMAP;
  info.hbmpItem = HBMMENU_CALLBACK;
  InsertMenuItemA(popup_, static_cast<UINT>(GetMenuItemCount(popup_)), TRUE, &info);
  items_.push_back(std::move(item));
  return *items_.back();
}

void TMenuItem::AddSeparator() {
  if (!popup_) throw std::logic_error("menu item without a sub-menu: " + caption_);
  AppendMenuA(popup_, MF_SEPARATOR, 0, nullptr);
}

void TMenuItem::AddSecondaryShortCut(TShortCut shortCut) { secondary_.push_back(shortCut); }

bool TMenuItem::Enabled() const { return EnabledWhen ? EnabledWhen() : enabled_; }

void TMenuItem::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Update();
}

void TMenuItem::Update() {
  EnableMenuItem(owner_, id_, MF_BYCOMMAND | (Enabled() ? MF_ENABLED : MF_GRAYED));
}

void TMenuItem::Click() {
  if (Enabled() && OnClick) OnClick();
}

TMenuItem* TMenuItem::Find(UINT id) {
  if (id_ == id) return this;
  for (auto& item : items_)
    if (TMenuItem* found = item->Find(id)) return found;
  return nullptr;
}

TMenuItem* TMenuItem::FindShortCut(const MSG& message) {
  if (shortCut_.Matches(message)) return this;
  for (const TShortCut& shortCut : secondary_)
    if (shortCut.Matches(message)) return this;
  for (auto& item : items_)
    if (TMenuItem* found = item->FindShortCut(message)) return found;
  return nullptr;
}

TMenuItem* TMenuItem::FindPopup(HMENU popup) {
  if (popup_ && popup_ == popup) return this;
  for (auto& item : items_)
    if (TMenuItem* found = item->FindPopup(popup)) return found;
  return nullptr;
}

TMainMenu::TMainMenu() : handle_(CreateMenu()) {}

TMainMenu::~TMainMenu() {
  if (window_ && IsWindow(window_) && GetMenu(window_) == handle_) SetMenu(window_, nullptr);
  DestroyMenu(handle_);  // with its sub-menus
}

TMenuItem& TMainMenu::Add(const std::string& caption) {
  HMENU popup = CreatePopupMenu();
  // A menu on the bar is known by its sub-menu handle, as Windows names such items.
  const auto id = static_cast<UINT>(reinterpret_cast<UINT_PTR>(popup));
  std::unique_ptr<TMenuItem> item(new TMenuItem(handle_, id, caption, {}, -1));
  item->popup_ = popup;
  AppendMenuA(handle_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), caption.c_str());
  if (window_) DrawMenuBar(window_);
  items_.push_back(std::move(item));
  return *items_.back();
}

TMenuItem* TMainMenu::Find(UINT id) {
  for (auto& item : items_)
    if (TMenuItem* found = item->Find(id)) return found;
  return nullptr;
}

bool TMainMenu::IsShortCut(const MSG& message) {
  for (auto& item : items_) {
    TMenuItem* found = item->FindShortCut(message);
    if (!found) continue;
    // A disabled command leaves the key to the focused control.
    if (!found->Enabled()) return false;
    found->Click();
    return true;
  }
  return false;
}

void TMainMenu::Command(UINT id) {
  if (TMenuItem* item = Find(id)) item->Click();
}

void TMainMenu::PopupOpening(HMENU popup) {
  for (auto& item : items_) {
    if (TMenuItem* opened = item->FindPopup(popup)) {
      for (auto& child : opened->items_) child->Update();
      return;
    }
  }
}

bool TMainMenu::MeasureItem(MEASUREITEMSTRUCT& measure) const {
  if (measure.CtlType != ODT_MENU || !images_) return false;
  measure.itemWidth = static_cast<UINT>(images_->Width());
  measure.itemHeight = static_cast<UINT>(images_->Height());
  return true;
}

bool TMainMenu::DrawItem(const DRAWITEMSTRUCT& draw) const {
  if (draw.CtlType != ODT_MENU || !images_) return false;
  auto* self = const_cast<TMainMenu*>(this);
  const TMenuItem* item = self->Find(draw.itemID);
  if (!item) return false;
  if (item->imageIndex_ < 0) return true;
  const int top = draw.rcItem.top + (draw.rcItem.bottom - draw.rcItem.top - images_->Height()) / 2;
  images_->Draw(draw.hDC, item->imageIndex_, draw.rcItem.left, top,
                !(draw.itemState & (ODS_GRAYED | ODS_DISABLED)));
  return true;
}
