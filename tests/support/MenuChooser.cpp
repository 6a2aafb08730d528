#include "tests/support/MenuChooser.h"

namespace {

constexpr UINT kTickMs = 30;
constexpr int kMostKeys = 200;  // a target the highlight never reaches: the menu is closed
constexpr UINT kGetMenuHandle = 0x01E1;  // MN_GETHMENU

TMenuChooser* active = nullptr;

BOOL CALLBACK FindShownMenu(HWND window, LPARAM found) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::string(name) != "#32768" || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// The menu window on show; menus shown before may have left hidden ones of the same class.
HWND ShownMenuWindow() {
  HWND found = nullptr;
  EnumWindows(&FindShownMenu, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::vector<TShownMenuItem> ReadItems(HMENU menu) {
  std::vector<TShownMenuItem> items;
  const int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    char text[256] = {};
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
    info.dwTypeData = text;
    info.cch = sizeof text - 1;
    GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info);
    items.push_back({info.hSubMenu ? static_cast<UINT>(-1) : info.wID, info.fType, info.fState, text});
  }
  return items;
}

void Press(UINT key) {
  HWND focus = GetFocus();
  PostMessageA(focus ? focus : ShownMenuWindow(), WM_KEYDOWN, key, 1);
}

}  // namespace

TMenuChooser::TMenuChooser(std::function<UINT(const std::vector<TShownMenuItem>&)> choose, char typed)
    : choose_(std::move(choose)), typed_(typed) {
  active = this;
  timer_ = SetTimer(nullptr, 0, kTickMs, &TMenuChooser::Tick);
}

TMenuChooser::~TMenuChooser() {
  KillTimer(nullptr, timer_);
  if (active == this) active = nullptr;
}

TMenuChooser TMenuChooser::Closing() {
  return TMenuChooser([](const std::vector<TShownMenuItem>&) { return 0u; });
}

TMenuChooser TMenuChooser::Choosing(UINT id) {
  return TMenuChooser([id](const std::vector<TShownMenuItem>&) { return id; });
}

TMenuChooser TMenuChooser::Typing(char key) {
  return TMenuChooser([](const std::vector<TShownMenuItem>&) { return 0u; }, key);
}

void CALLBACK TMenuChooser::Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (active) active->Step();
}

void TMenuChooser::Step() {
  if (done_) return;
  HWND window = ShownMenuWindow();
  if (!window) return;
  if (!menu_) {
    menu_ = reinterpret_cast<HMENU>(SendMessageA(window, kGetMenuHandle, 0, 0));
    items_ = ReadItems(menu_);
    target_ = choose_(items_);
  }
  if (typed_) {
    done_ = true;
    PostMessageA(GetFocus() ? GetFocus() : window, WM_CHAR, static_cast<BYTE>(typed_), 1);
    return;
  }
  if (target_ == 0 || keys_++ > kMostKeys) {
    done_ = true;
    EndMenu();
    return;
  }
  // One key per tick: the menu moves its highlight between ticks, past what cannot be chosen.
  const int count = GetMenuItemCount(menu_);
  for (int position = 0; position < count; ++position) {
    if (!(GetMenuState(menu_, static_cast<UINT>(position), MF_BYPOSITION) & MF_HILITE)) continue;
    if (GetMenuItemID(menu_, position) == target_) {
      done_ = true;
      Press(VK_RETURN);
      return;
    }
  }
  Press(VK_DOWN);
}

UINT IdOfItemWith(const std::vector<TShownMenuItem>& items, const std::string& part) {
  for (const TShownMenuItem& item : items)
    if (item.Text.find(part) != std::string::npos) return item.Id;
  return 0;
}
