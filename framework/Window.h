#pragma once
// The base of every control that owns a window.
//
// Windows of this layer's own classes get their object at WM_NCCREATE through the static window
// procedure; native controls (edit, button, combo box, common controls) are subclassed right after
// creation. Either way every message goes to the virtual WndProc. Notifications that a native
// control sends to its parent (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*) are handed back to the object
// of the control that sent them, so each control class turns its own notifications into typed
// events and no form ever decodes WPARAM or LPARAM.
//
// An exception that leaves an event handler is caught where the message entered this layer and is
// shown in the application's error box; the program goes on.
//
// The controls that hold a value (text fields, check boxes, radio buttons, drop-down lists, date
// pickers) raise their change events, OnChange or OnClick, for what the user does to them, and for
// what the control does in answer (a spin edit's arrows, its value pulled into its range), and for
// the messages that do it (BM_CLICK, a list's CBN_SELCHANGE, WM_SETTEXT to a one-line field). A
// setter the program calls (SetText, SetChecked, SetItemIndex, SetDate) raises none: the program
// knows what it set, and a form that fills its fields refreshes once after the last of them. The
// tree view is no value control: a selection, the user's or the program's, runs its steps
// (TreeView.h).

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>

#include "framework/Bounds.h"
#include "framework/Color.h"
#include "framework/Dpi.h"
#include "framework/Graphics.h"

class TContainer;

class TWinControl {
 public:
  virtual ~TWinControl();
  TWinControl(const TWinControl&) = delete;
  TWinControl& operator=(const TWinControl&) = delete;

  HWND Handle() const { return handle_; }
  // Not owned: the parent outlives its controls. Null for a top-level window.
  TContainer* Parent() const { return parent_; }
  // The object behind a window of this layer, or null.
  static TWinControl* FromHandle(HWND window);

  std::string Text() const;
  // The text of any window in UTF-16, as a Unicode window (a label's edit field) holds it.
  static std::wstring WideTextOf(HWND window);
  // Sets the window text; nothing happens when it is the same.
  virtual void SetText(const std::string& text);

  TBounds Bounds() const;
  virtual void SetBounds(const TBounds& bounds);
  int Left() const { return Bounds().Left; }
  int Top() const { return Bounds().Top; }
  int Width() const { return Bounds().Width; }
  int Height() const { return Bounds().Height; }
  void SetLeft(int left);
  void SetTop(int top);
  void SetWidth(int width);
  void SetHeight(int height);

  bool Enabled() const;
  virtual void SetEnabled(bool enabled);
  bool Visible() const;
  virtual void SetVisible(bool visible);
  bool Focused() const;
  void SetFocus();

  // The font, made at the control's DPI.
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& font);

  // The DPI the control is laid out for: its window's, a child's the same as its parent's.
  TDpi Dpi() const { return dpi_; }
  // Lays the control out again for `dpi`: its font at the same point size, its place of the
  // layout scaled. A container passes it on to its controls.
  virtual void ChangeDpi(TDpi dpi);

  // True for the fields the edit commands act on (edit boxes, memos, spin edits).
  virtual bool IsTextField() const { return false; }

  // A character typed into this window, in UTF-16 as the message loop takes it, before the system
  // turns it into the code page (where a character the code page lacks would become a look-alike or
  // "?"). The control may change it; false drops it.
  virtual bool TakeTypedChar(WPARAM& /*character*/) { return true; }

  // Puts sibling controls in this Tab order, after whatever comes before the first of them.
  static void SetTabOrder(std::initializer_list<TWinControl*> controls);

 protected:
  // `parent` null: a top-level window. A child starts with its parent's font and DPI; one made
  // without a place of the layout is placed by another control (the arrows of a spin edit).
  explicit TWinControl(TContainer* parent);
  // A child at `layout`, its place in the parent at 96 DPI.
  TWinControl(TContainer& parent, const TBounds& layout);

  // The place of the layout at the control's DPI, in the parent's client pixels.
  TBounds LaidBounds() const { return dpi_.Scale(layout_.value_or(TBounds{})); }

  struct TCreateParams {
    const char* ClassName = nullptr;  // a native class, or one of this layer's (RegisterOwnClass)
    std::string Text;
    DWORD Style = 0;  // WS_CHILD, WS_VISIBLE and a control id are added for children
    DWORD ExStyle = 0;
    TBounds Bounds;        // in pixels
    HWND Owner = nullptr;  // top-level windows only
  };
  // Creates the window; throws std::system_error when it cannot be made.
  void CreateHandle(const TCreateParams& params);
  // Takes in a native window that another control made inside itself (a combo box's field): its
  // messages come here as a native control's do; it stays its maker's to destroy.
  void AdoptWindow(HWND window);
  // Registers a window class of this layer (once per name) whose procedure hands messages here.
  static void RegisterOwnClass(const char* className, UINT classStyle, HCURSOR cursor);

  // Runs `remake`, which destroys the window and makes a new one; the new window takes the old
  // one's place among its siblings (its Tab order) and the focus if the old one had it.
  void RemakeWindow(const std::function<void()>& remake);

  // For a control that makes its window again after a system settings change (image lists,
  // metrics): a WM_SETTINGCHANGE posts a private message, which runs `remake` once the change has
  // been taken in everywhere. True when `message` was that private message and is handled.
  bool RemakeAfterSettingChange(UINT message, const std::function<void()>& remake);

  virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
  // What the window would do without this layer: the native procedure or DefWindowProc.
  LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

  // Notifications this control sent to its parent, handed back to it.
  virtual void Command(WORD /*code*/) {}
  virtual LRESULT Notify(const NMHDR& /*header*/) { return 0; }
  // Owner-drawn parts of this control, asked for through its parent.
  virtual void DrawItem(const DRAWITEMSTRUCT& /*draw*/) {}
  virtual void MeasureItem(MEASUREITEMSTRUCT& /*measure*/) {}
  // The brush for a WM_CTLCOLOR* query about this control; null keeps the default colours.
  virtual HBRUSH CtlColor(HDC /*dc*/) { return nullptr; }
  // A menu command or accelerator (WM_COMMAND without a control).
  virtual void MenuCommand(WORD /*id*/) {}

 private:
  static LRESULT CALLBACK OwnClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT Dispatch(TWinControl* self, UINT message, WPARAM wParam, LPARAM lParam);
  bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // The object of a child that sent a notification, to hand it back to; null for a window of
  // another's making, whose notifications are its maker's (a combo box's field tells the box).
  static TWinControl* Sender(HWND window);
  // Hands a native window's messages to this object.
  void Subclass(HWND window);
  void Detach();
  // A typed double-byte character reaches a native control's ANSI procedure as two WM_CHAR
  // messages, lead byte first. The lead byte waits here; the trail byte's message goes on with
  // the whole character in wParam (lead byte high, as WM_IME_CHAR carries one). False while the
  // lead byte waits.
  bool JoinDoubleByteChar(WPARAM& wParam);
  LRESULT OwnProcedureCall(UINT message, WPARAM wParam, LPARAM lParam) const;

  TContainer* parent_;
  HWND handle_ = nullptr;
  bool ownsWindow_ = true;        // false for an adopted window
  WNDPROC nativeProc_ = nullptr;  // set for subclassed native controls
  // The same procedure in its Unicode form: it takes a double-byte character whole, where Wine's
  // ANSI form of a text field breaks it.
  WNDPROC nativeWideProc_ = nullptr;
  BYTE leadByte_ = 0;  // of a double-byte character typed, waiting for its trail byte
  TDpi dpi_;
  std::optional<TBounds> layout_;  // the place at 96 DPI, for a control that has one
  TFont font_;
};
