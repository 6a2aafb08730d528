#include "framework/Form.h"

#include <utility>

#include "framework/Button.h"
#include "framework/MainMenu.h"

namespace {

constexpr const char* kFormClass = "TessarinForm";
// Sent by Windows 8.1 and later (the headers declare it for those only).
constexpr UINT kDpiChangedMessage = 0x02E0;
constexpr UINT_PTR kIdleTimer = 1;

DWORD StyleOf(TBorderStyle border) {
  switch (border) {
    case TBorderStyle::Dialog:
      return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME | WS_CLIPCHILDREN;
    case TBorderStyle::Single:
    default: return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  }
}

DWORD ExStyleOf(TBorderStyle border) {
  // Controls inside group boxes take part in Tab and mnemonic navigation.
  const DWORD ex = WS_EX_CONTROLPARENT;
  return border == TBorderStyle::Dialog ? ex | WS_EX_DLGMODALFRAME : ex;
}

// A resource name: an integer id, or a text copied while the enumeration lends it.
struct TResourceName {
  const char* id = nullptr;
  std::string text;
  bool found = false;
  const char* Get() const { return IS_INTRESOURCE(id) ? id : text.c_str(); }
};

BOOL CALLBACK TakeFirstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR result) {
  auto& first = *reinterpret_cast<TResourceName*>(result);
  first.id = name;
  if (!IS_INTRESOURCE(name)) first.text = name;
  first.found = true;
  return FALSE;
}

// The program's icon: by the shell's convention the first icon group of the executable.
HICON ProgramIcon(int size) {
  TResourceName first;
  EnumResourceNamesA(nullptr, RT_GROUP_ICON, TakeFirstName, reinterpret_cast<LONG_PTR>(&first));
  if (!first.found) return nullptr;
  // Shared: the system frees it with the module.
  return static_cast<HICON>(
      LoadImageA(GetModuleHandleA(nullptr), first.Get(), IMAGE_ICON, size, size, LR_SHARED));
}

BOOL CALLBACK FindDefaultButton(HWND window, LPARAM found) {
  auto* button = dynamic_cast<TButton*>(TWinControl::FromHandle(window));
  if (!button || !button->Default()) return TRUE;
  *reinterpret_cast<TButton**>(found) = button;
  return FALSE;
}

BOOL CALLBACK ForwardSettingChange(HWND child, LPARAM settings) {
  const auto& change = *reinterpret_cast<const MSG*>(settings);
  SendMessageA(child, change.message, change.wParam, change.lParam);
  return TRUE;
}

}  // namespace

TForm::TForm(const std::string& caption, TBorderStyle border, TForm* owner) : TContainer(nullptr) {
  RegisterOwnClass(kFormClass, CS_HREDRAW | CS_VREDRAW, LoadCursorA(nullptr, IDC_ARROW));
  CreateHandle({kFormClass,
                caption,
                StyleOf(border),
                ExStyleOf(border),
                {0, 0, 320, 240},
                owner ? owner->Handle() : nullptr});
  if (border == TBorderStyle::Single) {
    hasProgramIcons_ = true;
    LoadProgramIcons();
  }
}

// The title bar's and the task switcher's icons, at the window's DPI: the system's metrics give
// their sizes at the system's DPI.
void TForm::LoadProgramIcons() {
  for (const auto& [which, metric] : {std::pair{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}}) {
    if (HICON icon = ProgramIcon(Dpi().Scale(GetSystemMetrics(metric), TDpi::System())))
      SendMessageA(Handle(), WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
  }
}

TForm::~TForm() {
  if (mainFormOwner_) mainFormOwner_->MainFormDestroyed();
  if (menu_ && menu_->window_ == Handle()) {
    ::SetMenu(Handle(), nullptr);
    menu_->window_ = nullptr;
  }
}

void TForm::SetClientSize(int width, int height) {
  // The frame as the window has it: at the window's DPI, which may not be the system's.
  RECT outer{};
  RECT client{};
  GetWindowRect(Handle(), &outer);
  GetClientRect(Handle(), &client);
  SetWindowPos(Handle(), nullptr, 0, 0, width + (outer.right - outer.left) - client.right,
               height + (outer.bottom - outer.top) - client.bottom,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int TForm::ClientWidth() const {
  RECT r{};
  GetClientRect(Handle(), &r);
  return r.right;
}

int TForm::ClientHeight() const {
  RECT r{};
  GetClientRect(Handle(), &r);
  return r.bottom;
}

void TForm::SetMainMenu(TMainMenu& menu) {
  const int width = ClientWidth();
  const int height = ClientHeight();
  menu_ = &menu;
  menu.window_ = Handle();
  ::SetMenu(Handle(), menu.Handle());
  SetClientSize(width, height);  // the bar takes its height from the frame, not the client area
}

void TForm::Show() {
  if (!shown_ && centerOnFirstShow_) {
    const TBounds b = Bounds();
    SetBounds({(GetSystemMetrics(SM_CXSCREEN) - b.Width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - b.Height) / 2, b.Width, b.Height});
  }
  shown_ = true;
  ShowWindow(Handle(), IsIconic(Handle()) ? SW_RESTORE : SW_SHOW);
  // Showing a window usually activates it already; raising it again costs Wine a round trip to
  // the display.
  if (GetForegroundWindow() == Handle()) return;
  BringWindowToTop(Handle());
  SetForegroundWindow(Handle());
}

void TForm::Hide() { ShowWindow(Handle(), SW_HIDE); }

void TForm::Close() {
  TCloseAction action = TCloseAction::Hide;
  if (OnClose) OnClose(action);
  if (action == TCloseAction::None) return;
  Hide();
  if (mainFormOwner_) mainFormOwner_->MainFormClosed();
}

TButton* TForm::DefaultButton() const {
  TButton* found = nullptr;
  EnumChildWindows(Handle(), FindDefaultButton, reinterpret_cast<LPARAM>(&found));
  return found;
}

void TForm::MoveFocus(HWND control) {
  if (!control || !IsChild(Handle(), control)) return;
  // As Tab does between the other fields: a text field arrives with its whole text selected.
  if (SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
    SendMessageA(control, EM_SETSEL, 0, -1);
  ::SetFocus(control);
}

void TForm::WhenIdle(std::function<void()> work) {
  idleWork_.push_back(std::move(work));
  // A timer message comes only when no window of the thread has anything left to paint, and
  // after every message sent, posted or typed before it.
  SetTimer(Handle(), kIdleTimer, USER_TIMER_MINIMUM, nullptr);
}

void TForm::MenuCommand(WORD id) {
  if (menu_) menu_->Command(id);
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      if (!firstPaintSeen_ && OnFirstPainted) {
        firstPaintSeen_ = true;
        WhenIdle([this] {
          if (const auto firstPainted = std::exchange(OnFirstPainted, nullptr)) firstPainted();
        });
      }
      break;
    case WM_TIMER: {
      if (wParam != kIdleTimer) break;
      KillTimer(Handle(), kIdleTimer);
      // Work may ask for more idle time: that comes with the next timer message.
      for (const auto& work : std::exchange(idleWork_, {})) work();
      return 0;
    }
    case WM_CLOSE: Close(); return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
        return 0;
      }
      [[fallthrough]];
    case WM_SETFOCUS:
      // Back to the control that had the focus, or the first in Tab order.
      if (IsIconic(Handle())) return 0;
      if (lastFocus_ && IsWindow(lastFocus_) && IsChild(Handle(), lastFocus_) &&
          IsWindowEnabled(lastFocus_) && IsWindowVisible(lastFocus_))
        ::SetFocus(lastFocus_);
      else if (HWND first = GetNextDlgTabItem(Handle(), nullptr, FALSE))
        ::SetFocus(first);
      return 0;
    case WM_NEXTDLGCTL:
      // A multi-line field takes every key and answers Tab by asking its parent to move on.
      MoveFocus(LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                               : GetNextDlgTabItem(Handle(), GetFocus(), wParam != 0));
      return 0;
    case DM_GETDEFID: {
      // A focused push button takes Enter itself, as in dialogs; otherwise the default button.
      auto* button = dynamic_cast<TButton*>(FromHandle(GetFocus()));
      if (!button || !IsChild(Handle(), button->Handle())) button = DefaultButton();
      if (!button) return 0;
      return MAKELONG(GetDlgCtrlID(button->Handle()), DC_HASDEFID);
    }
    case WM_SETTINGCHANGE: {
      // The system tells top-level windows only; controls that follow system settings (icons,
      // metrics) hear it from their form.
      MSG settings{Handle(), message, wParam, lParam, 0, {}};
      EnumChildWindows(Handle(), ForwardSettingChange, reinterpret_cast<LPARAM>(&settings));
      break;
    }
    case kDpiChangedMessage: {
      // Both halves of wParam carry the same DPI: Windows scales x and y alike.
      ChangeDpi(TDpi(HIWORD(wParam)));
      const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(Handle(), nullptr, suggested.left, suggested.top,
                   suggested.right - suggested.left, suggested.bottom - suggested.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      if (hasProgramIcons_) LoadProgramIcons();
      if (OnDpiChanged) OnDpiChanged();
      return 0;
    }
    case WM_INITMENUPOPUP:
      if (menu_) menu_->PopupOpening(reinterpret_cast<HMENU>(wParam));
      return 0;
    case WM_MEASUREITEM:
      if (wParam == 0 && menu_ && menu_->MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)))
        return TRUE;
      break;
    case WM_DRAWITEM:
      if (wParam == 0 && menu_ && menu_->DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
        return TRUE;
      break;
    default: break;
  }
  return TContainer::WndProc(message, wParam, lParam);
}
