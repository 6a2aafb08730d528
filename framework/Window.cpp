#include "framework/Window.h"

#include <commctrl.h>

#include <system_error>
#include <unordered_map>

#include "framework/Container.h"
#include "framework/ErrorSink.h"

namespace {

// The object behind each window of this thread. Neither GWLP_USERDATA (free for the native
// controls' own use) nor the procedure pointer (the up-down control subclasses its buddy field on
// top of this layer) can say it. A window's messages arrive only on the thread that made it, so a
// table per thread needs no lock; a window property would cost a call into the window server on
// every message (tens of microseconds under Wine).
std::unordered_map<HWND, TWinControl*>& WindowObjects() {
  thread_local std::unordered_map<HWND, TWinControl*> objects;
  return objects;
}

// A subclassed control's own procedure, still needed after its object has let go of the window.
constexpr const char* kNativeProcProperty = "TessarinNativeProc";

// Posted by RemakeAfterSettingChange. In the WM_APP range, above the native controls' own
// WM_USER messages.
constexpr UINT kRemakeMessage = WM_APP + 0x7E;

// Control ids start above IDOK and IDCANCEL, which dialog keys send for Enter and Escape.
WORD NextControlId() {
  static WORD next = 1000;
  if (next < 1000) next = 1000;  // wrapped round
  return next++;
}

void InitCommonControlsOnce() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS |
                                                ICC_DATE_CLASSES | ICC_TREEVIEW_CLASSES |
                                                ICC_LISTVIEW_CLASSES | ICC_USEREX_CLASSES |
                                                ICC_PROGRESS_CLASS};
    return InitCommonControlsEx(&init) != FALSE;
  }();
  (void)done;
}

TBounds With(TBounds bounds, int TBounds::*field, int value) {
  bounds.*field = value;
  return bounds;
}

}  // namespace

TWinControl::TWinControl(TContainer* parent)
    : parent_(parent),
      dpi_(parent ? parent->Dpi() : TDpi()),
      font_(parent ? parent->Font() : TFont()) {}

TWinControl::TWinControl(TContainer& parent, const TBounds& layout) : TWinControl(&parent) {
  layout_ = layout;
}

TWinControl::~TWinControl() {
  if (!handle_) return;
  HWND window = handle_;
  Detach();
  if (ownsWindow_) DestroyWindow(window);
}

TWinControl* TWinControl::FromHandle(HWND window) {
  if (!window) return nullptr;
  const auto& objects = WindowObjects();
  const auto found = objects.find(window);
  return found == objects.end() ? nullptr : found->second;
}

void TWinControl::RegisterOwnClass(const char* className, UINT classStyle, HCURSOR cursor) {
  WNDCLASSEXA info{};
  info.cbSize = sizeof(info);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (GetClassInfoExA(instance, className, &info)) return;
  info.style = classStyle;
  info.lpfnWndProc = OwnClassProc;
  info.hInstance = instance;
  info.hCursor = cursor;
  info.lpszClassName = className;
  if (!RegisterClassExA(&info))
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                            "RegisterClassEx");
}

void TWinControl::CreateHandle(const TCreateParams& params) {
  InitCommonControlsOnce();
  DWORD style = params.Style;
  HWND parentWindow = params.Owner;
  HMENU id = nullptr;
  if (parent_) {
    style |= WS_CHILD | WS_VISIBLE;
    parentWindow = parent_->Handle();
    id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(NextControlId()));
  }
  WNDCLASSEXA info{};
  info.cbSize = sizeof(info);
  const bool own = GetClassInfoExA(GetModuleHandleA(nullptr), params.ClassName, &info) &&
                   info.lpfnWndProc == OwnClassProc;
  const TBounds& b = params.Bounds;
  HWND window = CreateWindowExA(params.ExStyle, params.ClassName, params.Text.c_str(), style,
                                b.Left, b.Top, b.Width, b.Height, parentWindow, id,
                                GetModuleHandleA(nullptr), own ? this : nullptr);
  if (!window)
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                            std::string("CreateWindowEx ") + params.ClassName);
  if (!own) Subclass(window);
  if (!parent_) {
    dpi_ = TDpi::OfWindow(window);
    font_ = font_.At(dpi_);
  }
  SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
}

void TWinControl::Subclass(HWND window) {
  handle_ = window;
  WindowObjects()[window] = this;
  nativeWideProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
  auto native = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
  SetPropA(window, kNativeProcProperty, reinterpret_cast<HANDLE>(native));
  nativeProc_ = native;
}

void TWinControl::AdoptWindow(HWND window) {
  ownsWindow_ = false;
  Subclass(window);
}

LRESULT CALLBACK TWinControl::OwnClassProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->handle_ = window;
    WindowObjects()[window] = self;
  }
  TWinControl* self = FromHandle(window);
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  return Dispatch(self, message, wParam, lParam);
}

LRESULT CALLBACK TWinControl::SubclassProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  TWinControl* self = FromHandle(window);
  if (self) return Dispatch(self, message, wParam, lParam);
  auto native = reinterpret_cast<WNDPROC>(GetPropA(window, kNativeProcProperty));
  if (message == WM_NCDESTROY) RemovePropA(window, kNativeProcProperty);
  return native ? CallWindowProcA(native, window, message, wParam, lParam)
                : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT TWinControl::Dispatch(TWinControl* self, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CHAR && self->nativeProc_ && !self->JoinDoubleByteChar(wParam)) return 0;
  LRESULT result = 0;
  try {
    result = self->WndProc(message, wParam, lParam);
  } catch (...) {
    ReportError(std::current_exception(), "Unknown error");
  }
  if (message == WM_NCDESTROY) {
    HWND window = self->handle_;
    self->Detach();
    RemovePropA(window, kNativeProcProperty);
  }
  return result;
}

bool TWinControl::JoinDoubleByteChar(WPARAM& wParam) {
  const BYTE byte = LOBYTE(wParam);
  if (leadByte_) {
    wParam = static_cast<WPARAM>(leadByte_ << 8 | byte);
    leadByte_ = 0;
    return true;
  }
  if (wParam > 0xFF || !IsDBCSLeadByte(byte)) return true;
  leadByte_ = byte;
  return false;
}

void TWinControl::Detach() {
  if (!handle_) return;
  WindowObjects().erase(handle_);
  handle_ = nullptr;
}

void TWinControl::RemakeWindow(const std::function<void()>& remake) {
  const bool focused = Focused();
  HWND previous = GetWindow(handle_, GW_HWNDPREV);
  remake();
  SetWindowPos(handle_, previous ? previous : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (focused) SetFocus();
}

bool TWinControl::RemakeAfterSettingChange(UINT message, const std::function<void()>& remake) {
  if (message == WM_SETTINGCHANGE) PostMessageA(handle_, kRemakeMessage, 0, 0);
  if (message != kRemakeMessage) return false;
  remake();
  return true;
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (Reflect(message, wParam, lParam, result)) return result;
  return DefaultProc(message, wParam, lParam);
}

LRESULT TWinControl::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if ((message == WM_CHAR || message == WM_IME_CHAR) && wParam > 0xFF && nativeWideProc_) {
    const char bytes[2] = {static_cast<char>(HIBYTE(wParam)), static_cast<char>(LOBYTE(wParam))};
    wchar_t character = 0;
    if (MultiByteToWideChar(CP_ACP, 0, bytes, 2, &character, 1) == 1)
      return CallWindowProcW(nativeWideProc_, handle_, message, character, lParam);
  }
  if (nativeProc_) return CallWindowProcA(nativeProc_, handle_, message, wParam, lParam);
  return DefWindowProcA(handle_, message, wParam, lParam);
}

TWinControl* TWinControl::Sender(HWND window) {
  TWinControl* child = FromHandle(window);
  return child && child->ownsWindow_ ? child : nullptr;
}

bool TWinControl::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND: {
      if (lParam == 0) {
        MenuCommand(LOWORD(wParam));
        return true;
      }
      TWinControl* child = Sender(reinterpret_cast<HWND>(lParam));
      if (!child) return false;
      child->Command(HIWORD(wParam));
      return true;
    }
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      TWinControl* child = Sender(header.hwndFrom);
      if (!child) return false;
      result = child->Notify(header);
      return true;
    }
    case WM_DRAWITEM: {
      // wParam 0: a menu's item, the form's business.
      const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      TWinControl* child = wParam ? Sender(draw.hwndItem) : nullptr;
      if (!child) return false;
      child->DrawItem(draw);
      result = TRUE;
      return true;
    }
    case WM_MEASUREITEM: {
      TWinControl* child = wParam ? Sender(GetDlgItem(handle_, static_cast<int>(wParam))) : nullptr;
      if (!child) return false;
      child->MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      result = TRUE;
      return true;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC: {
      TWinControl* child = Sender(reinterpret_cast<HWND>(lParam));
      HBRUSH brush = child ? child->CtlColor(reinterpret_cast<HDC>(wParam)) : nullptr;
      if (!brush) return false;
      result = reinterpret_cast<LRESULT>(brush);
      return true;
    }
    default: return false;
  }
}

std::string TWinControl::Text() const {
  if (!handle_) return {};
  const auto length = static_cast<int>(OwnProcedureCall(WM_GETTEXTLENGTH, 0, 0));
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const auto copied = static_cast<int>(
      OwnProcedureCall(WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data())));
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

std::wstring TWinControl::WideTextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// A subclass layered on top of a native control (the up-down control's on its buddy field) asks
// the window server for its data on every message, tens of microseconds under Wine: reading the
// text goes straight to the control's own procedure, which alone answers it.
LRESULT TWinControl::OwnProcedureCall(UINT message, WPARAM wParam, LPARAM lParam) const {
  if (nativeProc_) return CallWindowProcA(nativeProc_, handle_, message, wParam, lParam);
  return SendMessageA(handle_, message, wParam, lParam);
}

void TWinControl::SetText(const std::string& text) {
  if (Text() == text) return;
  SetWindowTextA(handle_, text.c_str());
}

TBounds TWinControl::Bounds() const {
  RECT r{};
  GetWindowRect(handle_, &r);
  if (parent_) MapWindowPoints(nullptr, parent_->Handle(), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void TWinControl::SetBounds(const TBounds& b) {
  SetWindowPos(handle_, nullptr, b.Left, b.Top, b.Width, b.Height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::SetLeft(int left) { SetBounds(With(Bounds(), &TBounds::Left, left)); }

void TWinControl::SetTop(int top) { SetBounds(With(Bounds(), &TBounds::Top, top)); }

void TWinControl::SetWidth(int width) { SetBounds(With(Bounds(), &TBounds::Width, width)); }

void TWinControl::SetHeight(int height) { SetBounds(With(Bounds(), &TBounds::Height, height)); }

bool TWinControl::Enabled() const { return IsWindowEnabled(handle_) != FALSE; }

void TWinControl::SetEnabled(bool enabled) { EnableWindow(handle_, enabled); }

bool TWinControl::Visible() const { return (GetWindowLongA(handle_, GWL_STYLE) & WS_VISIBLE) != 0; }

void TWinControl::SetVisible(bool visible) { ShowWindow(handle_, visible ? SW_SHOW : SW_HIDE); }

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus() { ::SetFocus(handle_); }

void TWinControl::SetFont(const TFont& font) {
  font_ = font.At(dpi_);
  SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), TRUE);
}

void TWinControl::ChangeDpi(TDpi dpi) {
  dpi_ = dpi;
  SetFont(font_);
  if (layout_) SetBounds(LaidBounds());
}

void TWinControl::SetTabOrder(std::initializer_list<TWinControl*> controls) {
  HWND previous = nullptr;
  for (TWinControl* control : controls) {
    if (previous)
      SetWindowPos(control->Handle(), previous, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = control->Handle();
  }
}
