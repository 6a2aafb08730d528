#include "shell/ShellPopupMenu.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "framework/Application.h"
#include "framework/Form.h"

namespace {

// Shell commands get ids from just above the own items' up to this one.
constexpr UINT kLastShellCommand = 0x7FFF;
// The help text buffer of the status hint.
constexpr UINT kHelpTextSize = 201;

}  // namespace

TShellPopupMenu::TShellPopupMenu(TForm* owner) : TPopupMenu(FormPopupOwner(owner)) {}

TShellPopupMenu::TShellPopupMenu(TPopupOwner owner) : TPopupMenu(std::move(owner)) {}

TShellPopupMenu::~TShellPopupMenu() = default;

UINT TShellPopupMenu::InsertPos() {
  const auto items = static_cast<UINT>(Count());
  if (items < insertPos_) insertPos_ = items;
  return insertPos_;
}

UINT TShellPopupMenu::QueryFlags() const {
  UINT flags = ContextType == shctNormal        ? CMF_NORMAL
               : ContextType == shctDefaultOnly ? CMF_DEFAULTONLY
                                                : CMF_EXPLORE;
  if (!ReadOnly) flags |= CMF_CANRENAME;
  return flags;
}

bool TShellPopupMenu::BeforePopup(TShellIDList& items, POINT screenPoint) {
  bool allow = true;
  if (OnShBeforPopup) OnShBeforPopup(*this, items, screenPoint, allow);
  return allow;
}

void TShellPopupMenu::AfterPopup(TMenuItem& item, TShellIDList& items) {
  if (OnShAfterPopup) OnShAfterPopup(*this, item, items);
}

bool TShellPopupMenu::QueryMenuObject(IShellFolder& parent, HWND owner, TShellIDList& items,
                                      TComPtr<IContextMenu>& menu) {
  return SUCCEEDED(parent.GetUIObjectOf(owner, static_cast<UINT>(items.Count()), items.ItemArray(),
                                        IID_IContextMenu, nullptr, menu.OutVoid())) &&
         menu;
}

IContextMenu* TShellPopupMenu::MenuObject() const {
  if (contextMenu3_) return contextMenu3_.Get();
  if (contextMenu2_) return contextMenu2_.Get();
  return contextMenu_.Get();
}

int TShellPopupMenu::PopupShellMenu(TShellIDList& items, POINT screenPoint) {
  TComPtr<IShellFolder> parent;
  if (items.Count() == 0 || !items.GetParentFolder(parent)) return 0;
  HWND owner = OwnerWindow();
  if (!BeforePopup(items, screenPoint) || !owner) return 0;

  // Whatever happens from here, the menu object goes when the call ends.
  struct TRelease {
    TShellPopupMenu& menu;
    ~TRelease() {
      menu.contextMenu3_.Reset();
      menu.contextMenu2_.Reset();
      menu.contextMenu_.Reset();
      menu.highestOwnCommand_ = 0;
    }
  } release{*this};
  if (!QueryMenuObject(*parent.Get(), owner, items, contextMenu_)) return 0;
  contextMenu2_.QueryFrom(contextMenu_.Get(), IID_IContextMenu2);
  contextMenu3_.QueryFrom(contextMenu_.Get(), IID_IContextMenu3);

  TShownMenu menu(*this);
  if (!menu.Handle()) return 0;
  highestOwnCommand_ = menu.HighestCommand();
  const UINT position = std::min(InsertPos(), highestOwnCommand_);
  if (FAILED(MenuObject()->QueryContextMenu(menu.Handle(), position, highestOwnCommand_ + 1,
                                            kLastShellCommand, QueryFlags())))
    return 0;
  SetMenuDefaultItem(menu.Handle(), position, TRUE);

  const auto chosen = static_cast<UINT>(TrackPopupMenuEx(menu.Handle(), TrackFlags(), screenPoint.x,
                                                         screenPoint.y, WindowHandle(), nullptr));
  if (chosen == 0) return 0;
  if (TMenuItem* item = FindItem(chosen)) {
    if (item->OnClick) item->Click();
    AfterPopup(*item, items);
    return static_cast<int>(chosen);
  }
  return InvokeShellCommand(chosen - highestOwnCommand_, owner);
}

bool TShellPopupMenu::IsRenameCommand(UINT commandOffset) const {
  char verb[64] = {};
  return SUCCEEDED(MenuObject()->GetCommandString(commandOffset, GCS_VERBA, nullptr, verb,
                                                  sizeof verb)) &&
         lstrcmpiA(verb, "rename") == 0;
}

int TShellPopupMenu::InvokeShellCommand(UINT offset, HWND owner) {
  // Renaming is the caller's: it edits the item's label in place. Shells put the command at
  // offset 18 (Windows) or elsewhere (Wine): its verb tells.
  if (offset == static_cast<UINT>(kShellRenameChosen) || IsRenameCommand(offset - 1))
    return kShellRenameChosen;
  CMINVOKECOMMANDINFO invoke{};
  invoke.cbSize = sizeof invoke;
  invoke.hwnd = owner;
  invoke.lpVerb = MAKEINTRESOURCEA(offset - 1);
  invoke.nShow = SW_SHOWNORMAL;
  if (FAILED(MenuObject()->InvokeCommand(&invoke))) return 0;
  return static_cast<int>(offset);
}

LRESULT TShellPopupMenu::PassToShell(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (contextMenu3_)
    contextMenu3_->HandleMenuMsg2(message, wParam, lParam, &result);
  else if (contextMenu2_)
    contextMenu2_->HandleMenuMsg(message, wParam, lParam);
  return result;
}

void TShellPopupMenu::ShowShellHelpText(UINT commandId) {
  ShowHint(" ");
  IContextMenu* menu = MenuObject();
  if (!menu) return;
  char text[kHelpTextSize] = {};
  const UINT command = (commandId - highestOwnCommand_ - 1) & 0xFFFF;
  if (FAILED(menu->GetCommandString(command, GCS_HELPTEXTA, nullptr, text, kHelpTextSize))) return;
  // The plain interface's empty text is no hint either.
  ShowHint(text[0] || menu != contextMenu_.Get() ? text : " ");
}

LRESULT TShellPopupMenu::MessageProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  switch (message) {
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
      if (OwnMenuMessage(message, wParam, lParam, result)) return result;
      PassToShell(message, wParam, lParam);
      return TRUE;
    case WM_INITMENUPOPUP:
      if (OwnMenuMessage(message, wParam, lParam, result)) return result;
      // Only IContextMenu3 gives an answer; with the older interface it is 0.
      return PassToShell(message, wParam, lParam);
    case WM_MENUSELECT:
      if (!OwnMenuMessage(message, wParam, lParam, result)) ShowShellHelpText(LOWORD(wParam));
      return 0;
    case WM_MENUCHAR:
      if (OwnMenuMessage(message, wParam, lParam, result)) return result;
      break;
    default: break;
  }
  return DefaultMessage(message, wParam, lParam);
}
