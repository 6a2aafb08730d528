#pragma once
// A menu shown at a point. It builds the native menu of its top-level items each time it is shown
// (only the visible ones), so the items' state is read then; the sub-menus of items with sub-items
// are lent to that menu and taken back before it is destroyed.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/MenuItem.h"

class TUtilityWindow;
class TWinControl;

// Whom a popup menu serves: the window it is shown for, asked each time it is shown, and where the
// highlighted item's hint goes. Either may be empty.
struct TPopupOwner {
  std::function<HWND()> Window;
  std::function<void(const std::string& hint)> ShowHint;
};

enum class TPopupAlignment { Left, Right, Center };
enum class TTrackButton { Left, Right };

// A menu shown at a point for its owner's window. Its invisible message window owns the shown menu
// and draws the owner-drawn items (all of them while the menu has an image list, otherwise those
// with a bitmap), opens sub-menus, shows the items' hints as the application's hint and answers the
// mnemonic keys of owner-drawn items.
class TPopupMenu {
 public:
  explicit TPopupMenu(TPopupOwner owner = {});
  virtual ~TPopupMenu();
  TPopupMenu(const TPopupMenu&) = delete;
  TPopupMenu& operator=(const TPopupMenu&) = delete;

  // A top-level item; the caption "-" makes a separator.
  TMenuItem& Add(const std::string& caption, TShortCut shortCut = {}, int imageIndex = -1);
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem& Items(int index) const { return *items_[static_cast<std::size_t>(index)]; }
  // The item with the command id, at any depth; null for none.
  TMenuItem* FindItem(UINT id) const;
  // The item whose sub-menu is `popup`, at any depth; null for none.
  TMenuItem* FindPopupItem(HMENU popup) const;

  // The pictures of the items' imageIndex; not owned; null for none.
  void SetImages(const TImageList* images) { images_ = images; }
  const TImageList* Images() const { return images_; }

  // The window the menu is shown for; null while there is none (the menu is then not shown).
  HWND OwnerWindow() const { return owner_.Window ? owner_.Window() : nullptr; }
  // Shows a highlighted item's hint where the owner shows hints.
  void ShowHint(const std::string& hint) const {
    if (owner_.ShowHint) owner_.ShowHint(hint);
  }
  // The invisible window that owns the shown menu, made on first use.
  HWND WindowHandle();
  // The DPI the menu is drawn for: its owner window's.
  TDpi Dpi() const;

  TPopupAlignment Alignment = TPopupAlignment::Left;
  TTrackButton TrackButton = TTrackButton::Right;
  // The menu reads from right to left: left and right alignment swap.
  bool RightToLeft = false;
  // Whether a control shows the menu by itself on a context-menu request.
  bool AutoPopup = true;
  // The control the menu was last shown for; not owned.
  TWinControl* PopupComponent = nullptr;

  // Shows the visible items at a screen point and runs the chosen one's OnClick.
  virtual void Popup(int x, int y);

  // Runs when the menu is being destroyed, so that a control linked to it lets go of it.
  std::function<void()> OnDestroying;

 protected:
  // A native menu made of the visible top-level items for one showing. Its destruction takes the
  // items' sub-menus back out and destroys the rest.
  class TShownMenu {
   public:
    explicit TShownMenu(TPopupMenu& menu);
    ~TShownMenu();
    TShownMenu(const TShownMenu&) = delete;
    TShownMenu& operator=(const TShownMenu&) = delete;

    HMENU Handle() const { return handle_; }
    // The highest command id among the appended items and their sub-items; 0 for none.
    UINT HighestCommand() const { return highest_; }

   private:
    TPopupMenu& menu_;
    HMENU handle_;
    UINT highest_ = 0;
  };

  // TrackPopupMenuEx flags from the alignment and the track button, returning the command.
  UINT TrackFlags() const;
  // The own items' share of the message window's messages (owner drawing, sub-menus opening,
  // hints, menu characters); false for a message about something else.
  bool OwnMenuMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // The message window's procedure; by default the own items' share, then the default handling.
  virtual LRESULT MessageProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void AppendItem(HMENU menu, const TMenuItem& item) const;
  LRESULT MenuChar(HMENU menu, char key);

  TPopupOwner owner_;
  // Command ids count from 1 in each popup menu, so that commands merged in after the items'
  // (a shell's, up to 0x7FFF) have room.
  UINT nextId_ = 1;
  std::vector<std::unique_ptr<TMenuItem>> items_;
  const TImageList* images_ = nullptr;  // not owned
  HMENU shown_ = nullptr;               // the menu being shown, while it is
  // Made when a menu is first shown: a top-level window costs start-up time that most menus,
  // never shown in a session, need not pay.
  std::unique_ptr<TUtilityWindow> window_;
};
