#pragma once
// Menu items, as the main menu and the popup menus hold them: icons from an image list, shortcuts,
// check marks, radio marks, column breaks and sub-items. A shortcut runs its item only while the
// item is enabled; otherwise the key goes on to the focused control.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Graphics.h"

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

// Where an item starts a new column of its menu.
enum class TMenuBreak { None, Break, BarBreak };

class TMenuItem {
 public:
  TMenuItem(const TMenuItem&) = delete;
  TMenuItem& operator=(const TMenuItem&) = delete;
  ~TMenuItem();

  // A sub-item: `imageIndex` into the menu's image list, -1 for none. The caption "-" makes a
  // separator.
  TMenuItem& Add(const std::string& caption, TShortCut shortCut = {}, int imageIndex = -1);
  void AddSeparator();
  // A further key that runs the item, not shown in the menu.
  void AddSecondaryShortCut(TShortCut shortCut);

  UINT Command() const { return id_; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  TShortCut ShortCut() const { return shortCut_; }
  int ImageIndex() const { return imageIndex_; }
  // The caption, and after a tab the shortcut's text when the item has one and no sub-items.
  std::string MenuText() const;
  bool IsSeparator() const { return caption_ == "-"; }
  // Whether typing `key` in an open menu picks the item: its caption's mnemonic ("&F").
  bool AnswersMnemonic(char key) const;

  // The item's state now: asks EnabledWhen when it is set.
  bool Enabled() const;
  void SetEnabled(bool enabled);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  bool Default() const { return default_; }
  void SetDefault(bool value);
  // Shown with a round mark instead of a tick when checked.
  bool RadioItem = false;
  TMenuBreak Break = TMenuBreak::None;
  // Left out of a popup menu, or of its sub-menu when that next opens, when false.
  bool Visible = true;
  // A picture drawn instead of an image-list icon; makes the item owner-drawn in a popup menu.
  TBitmap Bitmap;
  // The status text shown while the item is highlighted.
  std::string Hint;

  // Sub-items.
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem& Items(int index) const { return *items_[static_cast<std::size_t>(index)]; }
  // The sub-menu holding the sub-items; null while there are none.
  HMENU SubMenu() const { return popup_; }

  // Runs OnClick when the item is enabled.
  void Click();

  // This item or a sub-item with the command id, or whose sub-menu is `popup`; null for none.
  TMenuItem* Find(UINT id);
  TMenuItem* FindPopup(HMENU popup);
  // The highest command id of the item and its sub-items.
  UINT HighestCommand() const;
  // Reads the enabled state of the sub-items again, before their sub-menu opens.
  void UpdateItems();

  // Owner drawing, with the pictures of `images` (null for none) and the font selected in `dc`,
  // spaced for a window at `dpi`.
  void Measure(HDC dc, const TImageList* images, TDpi dpi, UINT& width, UINT& height) const;
  void Draw(const DRAWITEMSTRUCT& draw, const TImageList* images, TDpi dpi) const;

  std::function<void()> OnClick;
  // Decides the enabled state when the menu opens and before a shortcut runs the item.
  std::function<bool()> EnabledWhen;

 private:
  friend class TMainMenu;
  friend class TPopupMenu;
  // `owner`: the native menu the item stands in; null for a popup menu's top-level item, which
  // then owns its sub-menu.
  // `idCounter`: where the item's menu numbers its items (not owned: the menu's).
  TMenuItem(HMENU owner, UINT* idCounter, std::string caption, TShortCut shortCut, int imageIndex);
  void Update();
  // Puts the native item into `menu` at `position`.
  void InsertInto(HMENU menu, UINT position);
  TMenuItem* FindShortCut(const MSG& message);
  // The native state bits (checked, greyed, default).
  UINT StateBits() const;

  HMENU owner_;  // not owned: the menu the item stands in
  // Owned through the menu it stands in, or by the item when owner_ is null.
  HMENU popup_ = nullptr;
  UINT* idCounter_;  // not owned: the menu's
  UINT id_;
  std::string caption_;
  TShortCut shortCut_;
  std::vector<TShortCut> secondary_;
  int imageIndex_;
  bool enabled_ = true;
  bool checked_ = false;
  bool default_ = false;
  bool inMenu_ = false;  // the native item stands in owner_
  std::vector<std::unique_ptr<TMenuItem>> items_;
};

// The menu font for a window at `dpi`, in which owner-drawn items are drawn as the system draws
// the others.
TFont MenuFont(TDpi dpi);
