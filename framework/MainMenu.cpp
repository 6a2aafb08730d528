#include "framework/MainMenu.h"

namespace {

// Command ids of the main menus' items, apart from control ids and from IDOK and IDCANCEL: the
// menu bar sends them in WM_COMMAND.
UINT mainMenuIds = 40000;

}  // namespace

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
