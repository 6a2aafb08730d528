#include "framework/Application.h"

#include <stdexcept>

#include "framework/ErrorSink.h"
#include "framework/MainMenu.h"
#include "framework/PopupMenu.h"
#include "naming/MessageText.h"

namespace {

void ShowInErrorBox(const std::exception& error) { Application().ShowException(error); }

// Made at start-up, so that its error box receives what windows and threads report from their
// first message on.
[[maybe_unused]] const TApplication& startupApplication = Application();

}  // namespace

TApplication& Application() {
  static TApplication application;
  return application;
}

TApplication::TApplication() { SetErrorSink(ShowInErrorBox); }

TApplication::~TApplication() {
  SetMainForm(nullptr);
  SetErrorSink(nullptr);
}

void TApplication::SetMainForm(TForm* form) {
  if (mainForm_) mainForm_->SetMainFormOwner(nullptr);
  mainForm_ = form;
  if (form) form->SetMainFormOwner(this);
}

void TApplication::Adopt(std::unique_ptr<TForm> form) {
  TForm& adopted = *form;
  forms_.push_back(std::move(form));
  if (!mainForm_) SetMainForm(&adopted);
  if (adopted.OnCreate) adopted.OnCreate();
}

void TApplication::Run() {
  running_ = true;
  terminated_ = false;
  if (mainForm_ && !mainForm_->Visible()) mainForm_->Show();
  // Until WM_QUIT itself: a quit request left in the queue would end the next message box at once.
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) Dispatch(message);
  running_ = false;
  terminated_ = true;  // also when WM_QUIT came from elsewhere
  while (!forms_.empty()) forms_.pop_back();
}

void TApplication::ProcessMessages() { ProcessMessagesOf(nullptr); }

void TApplication::ProcessMessagesOf(HWND window) {
  MSG message;
  while (PeekMessageW(&message, window, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      terminated_ = true;
      if (running_) PostQuitMessage(static_cast<int>(message.wParam));  // for Run's loop
      return;
    }
    Dispatch(message);
  }
}

void TApplication::Terminate() {
  terminated_ = true;
  if (running_) PostQuitMessage(0);
}

// The loop takes messages in their Unicode form and hands them on so: a typed double-byte
// character then reaches the window whole. Under Wine the ANSI form splits it into two bytes on
// the way, and a native text field shows each as a broken character. Windows of this program's
// own classes still receive ANSI messages, converted by the system. A typed character is shown to
// its control first, while it is still the character typed.
void TApplication::Dispatch(MSG& message) {
  try {
    if (message.message == WM_CHAR || message.message == WM_IME_CHAR) {
      TWinControl* control = TWinControl::FromHandle(message.hwnd);
      if (control && !control->TakeTypedChar(message.wParam)) return;
    }
    if (Preprocess(message)) return;
  } catch (const std::exception& error) {
    ShowException(error);
    return;
  }
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

bool TApplication::Preprocess(MSG& message) {
  if (!message.hwnd) return false;
  HWND root = GetAncestor(message.hwnd, GA_ROOT);
  auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(root));
  if (!form) return false;
  if ((message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) && form->Menu() &&
      form->Menu()->IsShortCut(message))
    return true;
  return IsDialogMessageW(root, &message) != FALSE;
}

std::string TApplication::ErrorText(const std::string& message) {
  // A Shift-JIS trail byte is never 0x2E, so a last byte "." is a full stop.
  if (message.empty() || message.back() == '.') return message;
  return message + ".";
}

void TApplication::ShowException(const std::exception& error) {
  MessageBox(ErrorText(error.what()), MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& text, UINT flags) {
  return ::MessageBoxA(MessageBoxOwner(), naming::FittedForBox(text).c_str(), title_.c_str(),
                       flags);
}

HWND TApplication::MessageBoxOwner() const {
  if (HWND active = GetActiveWindow()) return active;
  return mainForm_ ? mainForm_->Handle() : nullptr;
}

TPopupOwner FormPopupOwner(TForm* form) {
  return {[form]() -> HWND {
            TForm* owner = form ? form : Application().MainForm();
            return owner ? owner->Handle() : nullptr;
          },
          [](const std::string& hint) { Application().SetHint(hint); }};
}
