#include "framework/MenuItem.h"

#include <algorithm>

namespace {

bool KeyDown(int key) { return GetKeyState(key) < 0; }

// Owner-drawn items: room around the picture and the text, and between caption and shortcut, in
// pixels of the layout (96 DPI).
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

// The check mark's size at `dpi`.
int CheckMarkSize(TDpi dpi) { return dpi.Scale(GetSystemMetrics(SM_CXMENUCHECK), TDpi::System()); }

// The picture column's width: the image list's, else the check mark's.
int PictureWidth(const TImageList* images, TDpi dpi) {
  return images ? images->Width() : CheckMarkSize(dpi);
}

}  // namespace

TFont MenuFont(TDpi dpi) {
  // The system describes its menu font at its own DPI; scaled to the window's, it stays the size
  // the user chose.
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  const LOGFONTA& font = metrics.lfMenuFont;
  return TFont(font.lfFaceName, font.lfHeight < 0 ? -font.lfHeight : font.lfHeight,
               font.lfWeight >= FW_BOLD, font.lfCharSet, TDpi::System())
      .At(dpi);
}

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
  item->InsertInto(popup_, static_cast<UINT>(GetMenuItemCount(popup_)));
  items_.push_back(std::move(item));
  return *items_.back();
}

void TMenuItem::InsertInto(HMENU menu, UINT position) {
  std::string text = MenuText();
  MENUITEMINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE;
  info.fType = IsSeparator() ? MFT_SEPARATOR : MFT_STRING;
  info.wID = id_;
  info.dwTypeData = text.data();
  // The form draws the picture from the image list when the menu asks for it. Items without a
  // picture ask too (and get nothing drawn): Wine lines up the shortcut column only among items
  // of the same kind, and a plain item's shortcut would run into its caption.
  if (!IsSeparator()) {
    info.fMask |= MIIM_BITMAP;
    info.hbmpItem = HBMMENU_CALLBACK;
  }
  InsertMenuItemA(menu, position, TRUE, &info);
  inMenu_ = true;
}

void TMenuItem::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (!owner_ || !inMenu_) return;
  std::string text = MenuText();
  MENUITEMINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STRING;
  info.dwTypeData = text.data();
  SetMenuItemInfoA(owner_, id_, FALSE, &info);
}

void TMenuItem::AddSeparator() { Add("-"); }

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
  // Hidden items stand outside the native menu; each shown one goes back to its place.
  UINT position = 0;
  for (auto& item : items_) {
    if (item->Visible && !item->inMenu_) {
      item->InsertInto(popup_, position);
    } else if (!item->Visible && item->inMenu_) {
      RemoveMenu(popup_, item->id_, MF_BYCOMMAND);
      item->inMenu_ = false;
    }
    if (!item->inMenu_) continue;
    item->Update();
    ++position;
  }
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

bool TMenuItem::AnswersMnemonic(char key) const {
  return Enabled() && Mnemonic(caption_) == UpperCase(key);
}

void TMenuItem::Measure(HDC dc, const TImageList* images, TDpi dpi, UINT& width,
                        UINT& height) const {
  if (IsSeparator()) {
    width = 0;
    height = static_cast<UINT>(dpi.Scale(kSeparatorHeight));
    return;
  }
  RECT caption{};
  DrawTextA(dc, caption_.c_str(), -1, &caption, DT_SINGLELINE | DT_CALCRECT);
  RECT shortCut{};
  if (const std::string keys = MenuText().substr(caption_.size()); !keys.empty())
    DrawTextA(dc, keys.c_str() + 1, -1, &shortCut, DT_SINGLELINE | DT_CALCRECT);
  const int picture = Bitmap.Empty() ? PictureWidth(images, dpi) : Bitmap.Width();
  const int pictureHeight = Bitmap.Empty() ? (images ? images->Height() : 0) : Bitmap.Height();
  const int margin = dpi.Scale(kItemMargin);
  width = static_cast<UINT>(margin * 3 + picture + caption.right +
                            (shortCut.right > 0 ? dpi.Scale(kShortCutGap) + shortCut.right : 0));
  height = static_cast<UINT>(std::max<int>(caption.bottom, pictureHeight) + margin * 2);
}

void TMenuItem::Draw(const DRAWITEMSTRUCT& draw, const TImageList* images, TDpi dpi) const {
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
  const int picture = Bitmap.Empty() ? PictureWidth(images, dpi) : Bitmap.Width();
  const int margin = dpi.Scale(kItemMargin);
  RECT mark{area.left + margin, area.top, area.left + margin + picture, area.bottom};
  if (!Bitmap.Empty()) {
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(Bitmap.Handle()), 0, mark.left,
               (area.top + area.bottom - Bitmap.Height()) / 2, 0, 0,
               DST_BITMAP | (grayed ? DSS_DISABLED : 0));
  } else if (images && imageIndex_ >= 0) {
    images->Draw(dc, imageIndex_, mark.left, (area.top + area.bottom - images->Height()) / 2,
                 !grayed);
  } else if (checked_) {
    const int size = CheckMarkSize(dpi);
    RECT box{mark.left, (area.top + area.bottom - size) / 2, mark.left + size,
             (area.top + area.bottom + size) / 2};
    DrawFrameControl(dc, &box, DFC_MENU, RadioItem ? DFCS_MENUBULLET : DFCS_MENUCHECK);
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(grayed     ? COLOR_GRAYTEXT
                               : selected ? COLOR_HIGHLIGHTTEXT
                                          : COLOR_MENUTEXT));
  RECT text{mark.right + margin, area.top, area.right - margin, area.bottom};
  DrawTextA(dc, caption_.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  if (const std::string keys = MenuText().substr(caption_.size()); !keys.empty())
    DrawTextA(dc, keys.c_str() + 1, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
}
