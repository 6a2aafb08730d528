#include "framework/PopupMenu.h"

#include <algorithm>
#include <utility>

#include "framework/DeviceContext.h"
#include "framework/UtilityWindow.h"
#include "framework/Window.h"

TPopupMenu::TPopupMenu(TPopupOwner owner) : owner_(std::move(owner)) {}

TPopupMenu::~TPopupMenu() {
  if (OnDestroying) OnDestroying();
  // The window goes first: nothing may reach the items through it while they go.
  window_.reset();
}

TMenuItem& TPopupMenu::Add(const std::string& caption, TShortCut shortCut, int imageIndex) {
  std::unique_ptr<TMenuItem> item(new TMenuItem(nullptr, &nextId_, caption, shortCut, imageIndex));
  items_.push_back(std::move(item));
  return *items_.back();
}

TMenuItem* TPopupMenu::FindItem(UINT id) const {
  for (auto& item : items_)
    if (TMenuItem* found = item->Find(id)) return found;
  return nullptr;
}

TMenuItem* TPopupMenu::FindPopupItem(HMENU popup) const {
  if (!popup) return nullptr;
  for (auto& item : items_)
    if (TMenuItem* found = item->FindPopup(popup)) return found;
  return nullptr;
}

HWND TPopupMenu::WindowHandle() {
  if (!window_) {
    // Its creation messages go to the default handling: they ask whether window_ is set yet.
    window_ = std::make_unique<TUtilityWindow>(
        [this](TUtilityWindow& window, UINT message, WPARAM wParam, LPARAM lParam) {
          return window_ ? MessageProc(message, wParam, lParam)
                         : window.Default(message, wParam, lParam);
        });
  }
  return window_->Handle();
}

TDpi TPopupMenu::Dpi() const {
  HWND owner = OwnerWindow();
  const TWinControl* control = TWinControl::FromHandle(owner);
  return control ? control->Dpi() : TDpi::OfWindow(owner);
}

UINT TPopupMenu::TrackFlags() const {
  UINT flags = TPM_RETURNCMD;
  switch (Alignment) {
    case TPopupAlignment::Left: flags |= RightToLeft ? TPM_RIGHTALIGN : TPM_LEFTALIGN; break;
    case TPopupAlignment::Right: flags |= RightToLeft ? TPM_LEFTALIGN : TPM_RIGHTALIGN; break;
    case TPopupAlignment::Center: flags |= TPM_CENTERALIGN; break;
  }
  if (TrackButton == TTrackButton::Right) flags |= TPM_RIGHTBUTTON;
  return flags;
}

void TPopupMenu::AppendItem(HMENU menu, const TMenuItem& item) const {
  std::string text = item.MenuText();
  MENUITEMINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_TYPE | MIIM_DATA;
  info.fType = item.IsSeparator() ? MFT_SEPARATOR : MFT_STRING;
  if (item.RadioItem) info.fType |= MFT_RADIOCHECK;
  if (item.Break == TMenuBreak::Break) info.fType |= MFT_MENUBREAK;
  if (item.Break == TMenuBreak::BarBreak) info.fType |= MFT_MENUBARBREAK;
  if (images_ || !item.Bitmap.Empty()) info.fType |= MFT_OWNERDRAW;
  info.fState = item.StateBits();
  info.wID = item.Command();
  info.hSubMenu = item.SubMenu();
  // An owner-drawn item keeps no text: it is drawn from the item itself.
  if (!(info.fType & (MFT_OWNERDRAW | MFT_SEPARATOR))) info.dwTypeData = text.data();
  InsertMenuItemA(menu, 0xFFFFFFFF, TRUE, &info);
}

TPopupMenu::TShownMenu::TShownMenu(TPopupMenu& menu) : menu_(menu), handle_(CreatePopupMenu()) {
  if (!handle_) return;
  for (auto& item : menu_.items_) {
    if (!item->Visible) continue;
    menu_.AppendItem(handle_, *item);
    // Sub-items count too: commands merged in after the items must not take their ids.
    highest_ = std::max(highest_, item->HighestCommand());
  }
  menu_.shown_ = handle_;
}

TPopupMenu::TShownMenu::~TShownMenu() {
  if (!handle_) return;
  menu_.shown_ = nullptr;
  // The items' sub-menus are theirs: taken out, they survive the menu's destruction.
  for (auto& item : menu_.items_)
    if (GetMenuState(handle_, item->Command(), MF_BYCOMMAND) != static_cast<UINT>(-1))
      RemoveMenu(handle_, item->Command(), MF_BYCOMMAND);
  DestroyMenu(handle_);
}

void TPopupMenu::Popup(int x, int y) {
  if (!OwnerWindow()) return;
  TShownMenu menu(*this);
  if (!menu.Handle()) return;
  const UINT command = static_cast<UINT>(
      TrackPopupMenuEx(menu.Handle(), TrackFlags(), x, y, WindowHandle(), nullptr));
  if (TMenuItem* item = command ? FindItem(command) : nullptr) item->Click();
}

LRESULT TPopupMenu::MessageProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (OwnMenuMessage(message, wParam, lParam, result)) return result;
  return DefaultMessage(message, wParam, lParam);
}

LRESULT TPopupMenu::DefaultMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return window_->Default(message, wParam, lParam);
}

bool TPopupMenu::OwnMenuMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_DRAWITEM: {
      const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      const TMenuItem* item = draw.CtlType == ODT_MENU ? FindItem(draw.itemID) : nullptr;
      if (!item) return false;
      const TSavedDCState saved(draw.hDC);
      const TDpi dpi = Dpi();
      const TFont font = MenuFont(dpi);
      SelectObject(draw.hDC, font.Handle());
      item->Draw(draw, images_, dpi);
      result = TRUE;
      return true;
    }
    case WM_MEASUREITEM: {
      auto& measure = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      const TMenuItem* item = measure.CtlType == ODT_MENU ? FindItem(measure.itemID) : nullptr;
      if (!item) return false;
      const TWindowDC dc(WindowHandle());
      const TDpi dpi = Dpi();
      const TFont font = MenuFont(dpi);
      const TSelection selection(dc.Get(), font.Handle());
      item->Measure(dc.Get(), images_, dpi, measure.itemWidth, measure.itemHeight);
      result = TRUE;
      return true;
    }
    case WM_INITMENUPOPUP: {
      TMenuItem* opened = FindPopupItem(reinterpret_cast<HMENU>(wParam));
      if (!opened) return false;
      opened->UpdateItems();
      return true;
    }
    case WM_MENUSELECT: {
      const auto menu = reinterpret_cast<HMENU>(lParam);
      TMenuItem* item = nullptr;
      if (HIWORD(wParam) & MF_POPUP) {
        item = menu ? FindPopupItem(GetSubMenu(menu, LOWORD(wParam))) : nullptr;
      } else {
        item = FindItem(LOWORD(wParam));
      }
      if (!item) return false;
      ShowHint(item->Hint);
      return true;
    }
    case WM_MENUCHAR: {
      const auto menu = reinterpret_cast<HMENU>(lParam);
      if (!menu || (menu != shown_ && !FindPopupItem(menu))) return false;
      result = MenuChar(menu, static_cast<char>(LOWORD(wParam)));
      return true;
    }
    default: return false;
  }
}

LRESULT TPopupMenu::MenuChar(HMENU menu, char key) {
  const int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    TMenuItem* item = nullptr;
    if (HMENU popup = GetSubMenu(menu, position))
      item = FindPopupItem(popup);
    else
      item = FindItem(GetMenuItemID(menu, position));
    if (item && item->AnswersMnemonic(key)) return MAKELRESULT(position, MNC_EXECUTE);
  }
  return MAKELRESULT(0, MNC_IGNORE);
}
