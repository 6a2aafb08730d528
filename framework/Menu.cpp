#include "framework/Menu.h"

#include <algorithm>

#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/UtilityWindow.h"

namespace {

// Command ids of the main menus' items, apart from control ids and from IDOK and IDCANCEL: the
// menu bar sends them in WM_COMMAND.
UINT mainMenuIds = 40000;

bool KeyDown(int key) { return GetKeyState(key) < 0; }

// Owner-drawn items: room around the picture and the text, and between caption and shortcut.
constexpr int kItemMargin = 2;
constexpr int kShortCutGap = 24;
constexpr int kSeparatorHeight = 8;

// A single-byte character in upper case.
char UpperCase(char c) {
  const auto upper = reinterpret_cast<UINT_PTR>(
      CharUpperA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(static_cast<BYTE>(c)))));
  return static_cast<char>(upper);
}

// The mnemonic of a caption ("&F" gives 'F'), upper case; 0 for none.
char Mnemonic(const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(caption[i]))) {
      ++i;
      continue;
    }
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') return UpperCase(caption[i + 1]);
    ++i;
  }
  return 0;
}

// The screen's menu font, for drawing owner-drawn items as the system draws the others.
TFont MenuFont() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  const LOGFONTA& font = metrics.lfMenuFont;
  return TFont(font.lfFaceName, font.lfHeight < 0 ? -font.lfHeight : font.lfHeight,
               font.lfWeight >= FW_BOLD, font.lfCharSet);
}

// The picture column's width: the image list's, else the check mark's.
int PictureWidth(const TImageList* images) {
  return images ? images->Width() : GetSystemMetrics(SM_CXMENUCHECK);
}

}  // namespace

std::string TShortCut::Text() const {
  if (Key == 0) return {};
  std::string text;
  if (Ctrl) text += "Ctrl+";
  if (Shift) text += "Shift+";
  if (Alt) text += "Alt+";
  if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9'))
    return text + static_cast<char>(Key);
  if (Key == VK_BACK) return text + "BkSp";
  char name[64] = "";
  GetKeyNameTextA(static_cast<LONG>(MapVirtualKeyA(Key, MAPVK_VK_TO_VSC) << 16), name,
                  sizeof(name));
  return text + name;
}

bool TShortCut::Matches(const MSG& message) const {
  if (Key == 0 || (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN)) return false;
  return message.wParam == Key && KeyDown(VK_CONTROL) == Ctrl && KeyDown(VK_SHIFT) == Shift &&
         KeyDown(VK_MENU) == Alt;
}

TMenuItem::TMenuItem(HMENU owner, UINT* idCounter, std::string caption, TShortCut shortCut,
                     int imageIndex)
    : owner_(owner),
      idCounter_(idCounter),
      id_((*idCounter)++),
      caption_(std::move(caption)),
      shortCut_(shortCut),
      imageIndex_(imageIndex) {}

TMenuItem::~TMenuItem() {
  // A popup menu's top-level item owns its sub-menu; the others go with the menu they stand in.
  if (!owner_ && popup_) DestroyMenu(popup_);
}

std::string TMenuItem::MenuText() const {
  if (!shortCut_.Key || !items_.empty()) return caption_;
  return caption_ + '\t' + shortCut_.Text();
}

TMenuItem& TMenuItem::Add(const std::string& caption, TShortCut shortCut, int imageIndex) {
  if (!popup_) {
    popup_ = CreatePopupMenu();
    if (owner_) {
      MENUITEMINFOA info{};
      info.cbSize = sizeof(info);
      info.fMask = MIIM_SUBMENU;
      info.hSubMenu = popup_;
      SetMenuItemInfoA(owner_, id_, FALSE, &info);
    }
  }
  // The constructor is private: make_unique cannot reach it.
  std::unique_ptr<TMenuItem> item(new TMenuItem(popup_, idCounter_, caption, shortCut, imageIndex));
  std::string text = item->MenuText();
  MENUITEMINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE;
  info.fType = item->IsSeparator() ? MFT_SEPARATOR : MFT_STRING;
  info.wID = item->id_;
  info.dwTypeData = text.data();
  // The form draws the picture from the image list when the menu asks for it. Items without a
  // picture ask too (and get nothing drawn): Wine lines up the shortcut column only among items
  // of the same kind, and a plain item's shortcut would run into its caption.
  if (!item->IsSeparator()) {
    info.fMask |= MIIM_BITMAP;
    info.hbmpItem = HBMMENU_CALLBACK;
  }
  InsertMenuItemA(popup_, static_cast<UINT>(GetMenuItemCount(popup_)), TRUE, &info);
  items_.push_back(std::move(item));
  return *items_.back();
}

void TMenuItem::AddSeparator() { Add("-"); }

void TMenuItem::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  if (!owner_) return;
  std::string text = MenuText();
  MENUITEMINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STRING;
  info.dwTypeData = text.data();
  SetMenuItemInfoA(owner_, id_, FALSE, &info);
}

void TMenuItem::AddSecondaryShortCut(TShortCut shortCut) { secondary_.push_back(shortCut); }

bool TMenuItem::Enabled() const { return EnabledWhen ? EnabledWhen() : enabled_; }

void TMenuItem::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Update();
}

void TMenuItem::SetChecked(bool checked) {
  checked_ = checked;
  Update();
}

void TMenuItem::SetDefault(bool value) {
  default_ = value;
  Update();
}

UINT TMenuItem::StateBits() const {
  return (checked_ ? MFS_CHECKED : 0u) | (Enabled() ? 0u : MFS_GRAYED) |
         (default_ ? MFS_DEFAULT : 0u);
}

void TMenuItem::Update() {
  if (!owner_) return;
  MENUITEMINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STATE;
  info.fState = StateBits();
  SetMenuItemInfoA(owner_, id_, FALSE, &info);
}

UINT TMenuItem::HighestCommand() const {
  UINT highest = id_;
  for (auto& item : items_) highest = std::max(highest, item->HighestCommand());
  return highest;
}

void TMenuItem::UpdateItems() {
  for (auto& item : items_) item->Update();
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
  std::unique_ptr<TMenuItem> item(new TMenuItem(handle_, &mainMenuIds, caption, {}, -1));
  item->id_ = id;
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
      opened->UpdateItems();
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

// --- Owner drawing ------------------------------------------------------------------------------

void TMenuItem::Measure(HDC dc, const TImageList* images, UINT& width, UINT& height) const {
  if (IsSeparator()) {
    width = 0;
    height = kSeparatorHeight;
    return;
  }
  RECT caption{};
  DrawTextA(dc, caption_.c_str(), -1, &caption, DT_SINGLELINE | DT_CALCRECT);
  RECT shortCut{};
  if (const std::string keys = MenuText().substr(caption_.size()); !keys.empty())
    DrawTextA(dc, keys.c_str() + 1, -1, &shortCut, DT_SINGLELINE | DT_CALCRECT);
  const int picture = Bitmap.Empty() ? PictureWidth(images) : Bitmap.Width();
  const int pictureHeight = Bitmap.Empty() ? (images ? images->Height() : 0) : Bitmap.Height();
  width = static_cast<UINT>(kItemMargin * 3 + picture + caption.right +
                            (shortCut.right > 0 ? kShortCutGap + shortCut.right : 0));
  height = static_cast<UINT>(std::max<int>(caption.bottom, pictureHeight) + kItemMargin * 2);
}

void TMenuItem::Draw(const DRAWITEMSTRUCT& draw, const TImageList* images) const {
  HDC dc = draw.hDC;
  RECT area = draw.rcItem;
  const bool selected = (draw.itemState & ODS_SELECTED) != 0;
  const bool grayed = (draw.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
  FillRect(dc, &area, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
  if (IsSeparator()) {
    RECT line{area.left, (area.top + area.bottom) / 2 - 1, area.right, area.bottom};
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    return;
  }
  const int picture = Bitmap.Empty() ? PictureWidth(images) : Bitmap.Width();
  RECT mark{area.left + kItemMargin, area.top, area.left + kItemMargin + picture, area.bottom};
  if (!Bitmap.Empty()) {
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(Bitmap.Handle()), 0, mark.left,
               (area.top + area.bottom - Bitmap.Height()) / 2, 0, 0,
               DST_BITMAP | (grayed ? DSS_DISABLED : 0));
  } else if (images && imageIndex_ >= 0) {
    images->Draw(dc, imageIndex_, mark.left, (area.top + area.bottom - images->Height()) / 2,
                 !grayed);
  } else if (checked_) {
    const int size = GetSystemMetrics(SM_CXMENUCHECK);
    RECT box{mark.left, (area.top + area.bottom - size) / 2, mark.left + size,
             (area.top + area.bottom + size) / 2};
    DrawFrameControl(dc, &box, DFC_MENU, RadioItem ? DFCS_MENUBULLET : DFCS_MENUCHECK);
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(grayed     ? COLOR_GRAYTEXT
                               : selected ? COLOR_HIGHLIGHTTEXT
                                          : COLOR_MENUTEXT));
  RECT text{mark.right + kItemMargin, area.top, area.right - kItemMargin, area.bottom};
  DrawTextA(dc, caption_.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  if (const std::string keys = MenuText().substr(caption_.size()); !keys.empty())
    DrawTextA(dc, keys.c_str() + 1, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
}

// --- TPopupMenu ---------------------------------------------------------------------------------

TPopupMenu::TPopupMenu(TForm* owner) : owner_(owner) {}

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

TForm* TPopupMenu::OwnerForm() const { return owner_ ? owner_ : Application().MainForm(); }

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
  TForm* owner = OwnerForm();
  if (!owner) return;
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
      const int saved = SaveDC(draw.hDC);
      const TFont font = MenuFont();
      SelectObject(draw.hDC, font.Handle());
      item->Draw(draw, images_);
      RestoreDC(draw.hDC, saved);
      result = TRUE;
      return true;
    }
    case WM_MEASUREITEM: {
      auto& measure = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      const TMenuItem* item = measure.CtlType == ODT_MENU ? FindItem(measure.itemID) : nullptr;
      if (!item) return false;
      HDC dc = GetDC(WindowHandle());
      const TFont font = MenuFont();
      HGDIOBJ previous = SelectObject(dc, font.Handle());
      item->Measure(dc, images_, measure.itemWidth, measure.itemHeight);
      SelectObject(dc, previous);
      ReleaseDC(WindowHandle(), dc);
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
      Application().SetHint(item->Hint);
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
  const char wanted = UpperCase(key);
  const int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    TMenuItem* item = nullptr;
    if (HMENU popup = GetSubMenu(menu, position))
      item = FindPopupItem(popup);
    else
      item = FindItem(GetMenuItemID(menu, position));
    if (item && item->Enabled() && Mnemonic(item->Caption()) == wanted)
      return MAKELRESULT(position, MNC_EXECUTE);
  }
  return MAKELRESULT(0, MNC_IGNORE);
}
