#pragma once
// Menus: the main menu on a form's bar and popup menus, with items that carry icons from an image
// list, shortcuts, check marks, radio marks, column breaks and sub-items. A shortcut runs its item
// only while the item is enabled; otherwise the key goes on to the focused control.
//
// A popup menu builds the native menu of its top-level items each time it is shown (only the
// visible ones), so the items' state is read then; the sub-menus of items with sub-items are
// lent to that menu and taken back before it is destroyed.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Graphics.h"

class TForm;
class TImageList;
class TUtilityWindow;
class TWinControl;

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
  void SetCaption(std::string caption);
  TShortCut ShortCut() const { return shortCut_; }
  int ImageIndex() const { return imageIndex_; }
  // The caption, and after a tab the shortcut's text when the item has one and no sub-items.
  std::string MenuText() const;
  bool IsSeparator() const { return caption_ == "-"; }

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
  // Left out of a popup menu when false.
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

  // Owner drawing, with the pictures of `images` (null for none) and the font selected in `dc`.
  void Measure(HDC dc, const TImageList* images, UINT& width, UINT& height) const;
  void Draw(const DRAWITEMSTRUCT& draw, const TImageList* images) const;

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
  const TImageList* Images() const { return images_; }

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

enum class TPopupAlignment { Left, Right, Center };
enum class TTrackButton { Left, Right };

// A menu shown at a point, owned by a form. Its invisible message window owns the shown menu and
// draws the owner-drawn items (all of them while the menu has an image list, otherwise those with
// a bitmap), opens sub-menus, shows the items' hints as the application's hint and answers the
// mnemonic keys of owner-drawn items.
class TPopupMenu {
 public:
  // `owner`: the form the menu belongs to; null for the application's main form.
  explicit TPopupMenu(TForm* owner = nullptr);
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

  // The form the menu belongs to: the owner, else the application's main form; null for none.
  TForm* OwnerForm() const;
  // The invisible window that owns the shown menu, made on first use.
  HWND WindowHandle();

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

  TForm* owner_;  // not owned
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
