#pragma once
// The shell's own context menu for sibling items (files or folders), merged with a popup menu's own
// items, and the command chosen in it carried out. The shell's menu object is asked through
// IShellFolder::GetUIObjectOf; its owner-drawn items, sub-menus and help texts are served through
// the menu's message window while the menu is shown.

#include <windows.h>
#include <shlobj.h>

#include <functional>

#include "framework/PopupMenu.h"
#include "shell/ComPtr.h"
#include "shell/ShellIDFunc.h"

class TForm;

// The kind of shell menu asked for (CMF_EXPLORE, CMF_NORMAL, CMF_DEFAULTONLY).
enum TShellContextType { shctExplore, shctNormal, shctDefaultOnly };

// Answers of PopupShellMenu that a control acts on: a shell command's offset plus one.
constexpr int kShellDeleteDone = 18;    // the shell's delete command was carried out
constexpr int kShellRenameChosen = 19;  // its rename command was chosen; the caller renames
constexpr int kShellCutDone = 25;       // its cut command was carried out

class TShellPopupMenu : public TPopupMenu {
 public:
  using TShellAfterPopupEvent =
      std::function<void(TShellPopupMenu& sender, TMenuItem& menuItem, TShellIDList& shellIDList)>;
  using TShellBeforPopupEvent = std::function<void(
      TShellPopupMenu& sender, TShellIDList& shellIDList, POINT pt, bool& allowPopup)>;

  explicit TShellPopupMenu(TForm* owner = nullptr);
  explicit TShellPopupMenu(TPopupOwner owner);
  ~TShellPopupMenu() override;

  // Where the shell's items go among the own items. Reading lowers the stored value to the number
  // of own top-level items when there are fewer.
  UINT InsertPos();
  void SetInsertPos(UINT position) noexcept { insertPos_ = position; }
  // When false the shell offers renaming (CMF_CANRENAME).
  bool ReadOnly = true;
  TShellContextType ContextType = shctExplore;

  // Fires when an own item was chosen (after its OnClick), never for a shell command.
  TShellAfterPopupEvent OnShAfterPopup;
  // Fires before the menu shows; clearing allowPopup shows nothing.
  TShellBeforPopupEvent OnShBeforPopup;

  // Shows the merged menu for `items` (relative lists of siblings with their parent's absolute
  // list) at a screen point and carries out the choice. The answer: the command id of a chosen
  // own item; for a shell command its offset within the shell's items plus one, except that
  // renaming gives kShellRenameChosen and is not carried out; 0 when nothing was shown or chosen
  // or the shell's command failed.
  int PopupShellMenu(TShellIDList& items, POINT screenPoint);

 protected:
  // Fires OnShBeforPopup; false keeps the menu from showing.
  virtual bool BeforePopup(TShellIDList& items, POINT screenPoint);
  // Fires OnShAfterPopup.
  virtual void AfterPopup(TMenuItem& item, TShellIDList& items);
  // The items' menu object from their parent folder.
  virtual bool QueryMenuObject(IShellFolder& parent, HWND owner, TShellIDList& items,
                               TComPtr<IContextMenu>& menu);

  LRESULT MessageProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  UINT QueryFlags() const;
  // Carries out a shell command by its offset plus one; the answer as PopupShellMenu gives it.
  int InvokeShellCommand(UINT offset, HWND owner);
  bool IsRenameCommand(UINT commandOffset) const;
  // The shell's menu object as the richest interface held, for calls all three share.
  IContextMenu* MenuObject() const;
  LRESULT PassToShell(UINT message, WPARAM wParam, LPARAM lParam);
  void ShowShellHelpText(UINT commandId);

  UINT insertPos_ = 0;
  UINT highestOwnCommand_ = 0;
  // Held while a menu is shown.
  TComPtr<IContextMenu> contextMenu_;
  TComPtr<IContextMenu2> contextMenu2_;
  TComPtr<IContextMenu3> contextMenu3_;
};
