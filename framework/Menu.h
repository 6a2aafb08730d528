#pragma once
// The main menu: menus on the bar, items with icons from an image list and shortcuts. A shortcut
// runs its item only while the item is enabled; otherwise the key goes on to the focused control.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TImageList;

// A key with its modifiers, shown as "Ctrl+Q".
struct TShortCut {
  UINT Key = 0;  // virtual key; 0 for no shortcut
  bool Ctrl = false;
  bool Alt = false;
  bool Shift = false;

  static TShortCut CtrlKey(UINT key) { return {key, true, false, false}; }
  static TShortCut AltKey(UINT key) { return {key, false, true, false}; }

  // "Ctrl+Q", "Alt+BkSp"; empty for none.
  std::string Text() const;
  // True when the key message (WM_KEYDOWN or WM_SYSKEYDOWN) is this key with these modifiers.
  bool Matches(const MSG& message) const;
};

class TMenuItem {
 public:
  TMenuItem(const TMenuItem&) = delete;
  TMenuItem& operator=(const TMenuItem&) = delete;
  ~TMenuItem();

  // An item of this menu: `imageIndex` into the menu's image list, -1 for none.
  TMenuItem& Add(const std::string& caption, TShortCut shortCut = {}, int imageIndex = -1);
  void AddSeparator();
  // A further key that runs the item, not shown in the menu.
  void AddSecondaryShortCut(TShortCut shortCut);

  const std::string& Caption() const { return caption_; }
  // The item's state now: asks EnabledWhen when it is set.
  bool Enabled() const;
  void SetEnabled(bool enabled);
  // Runs OnClick when the item is enabled.
  void Click();

  std::function<void()> OnClick;
  // Decides the enabled state when the menu opens and before a shortcut runs the item.
  std::function<bool()> EnabledWhen;

 private:
  friend class TMainMenu;
  TMenuItem(HMENU owner, UINT id, std::string caption, TShortCut shortCut, int imageIndex);
  void Update();
  TMenuItem* Find(UINT id);
  TMenuItem* FindShortCut(const MSG& message);
  TMenuItem* FindPopup(HMENU popup);

  HMENU owner_;  // not owned: the menu the item stands in
  HMENU popup_ = nullptr;  // owned through the menu bar, which destroys its sub-menus
  UINT id_;
  std::string caption_;
  TShortCut shortCut_;
  std::vector<TShortCut> secondary_;
  int imageIndex_;
  bool enabled_ = true;
  std::vector<std::unique_ptr<TMenuItem>> items_;
};

class TMainMenu {
 public:
  TMainMenu();
  ~TMainMenu();
  TMainMenu(const TMainMenu&) = delete;
  TMainMenu& operator=(const TMainMenu&) = delete;

  // A menu on the bar.
  TMenuItem& Add(const std::string& caption);
  // The pictures of the items' imageIndex; not owned.
  void SetImages(const TImageList& images) { images_ = &images; }

  HMENU Handle() const { return handle_; }

  // For the form and the message loop.
  bool IsShortCut(const MSG& message);
  void Command(UINT id);
  void PopupOpening(HMENU popup);
  bool MeasureItem(MEASUREITEMSTRUCT& measure) const;
  bool DrawItem(const DRAWITEMSTRUCT& draw) const;

 private:
  friend class TForm;
  TMenuItem* Find(UINT id);

  HMENU handle_;
  HWND window_ = nullptr;  // the form whose bar shows the menu, taken off it before destruction
  const TImageList* images_ = nullptr;  // not owned
  std::vector<std::unique_ptr<TMenuItem>> items_;
};
