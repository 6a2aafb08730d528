#include "tests/support/MessageBoxCloser.h"

#include <algorithm>

namespace {

constexpr int kMessageTextId = 0xFFFF;  // the static control holding a message box's text

std::string WindowText(HWND window) {
  char buffer[4096] = {};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

BOOL CALLBACK CollectDialogOfThisProcess(HWND window, LPARAM found) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char className[16] = {};
  GetClassNameA(window, className, sizeof className);
  if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
      std::string(className) == "#32770")
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> VisibleDialogsOfThisProcess() {
  std::vector<HWND> dialogs;
  EnumWindows(&CollectDialogOfThisProcess, reinterpret_cast<LPARAM>(&dialogs));
  return dialogs;
}

TMessageBoxCloser::TMessageBoxCloser(WPARAM command)
    : command_(command), watcher_([this] { Watch(); }) {}

TMessageBoxCloser::~TMessageBoxCloser() {
  stop_ = true;
  watcher_.join();
}

std::vector<std::string> TMessageBoxCloser::Texts() const {
  std::lock_guard<std::mutex> guard(lock_);
  return texts_;
}

std::vector<std::wstring> TMessageBoxCloser::WideTexts() const {
  std::lock_guard<std::mutex> guard(lock_);
  return wideTexts_;
}

std::vector<RECT> TMessageBoxCloser::Places() const {
  std::lock_guard<std::mutex> guard(lock_);
  return places_;
}

std::vector<std::string> TMessageBoxCloser::Captions() const {
  std::lock_guard<std::mutex> guard(lock_);
  return captions_;
}

void TMessageBoxCloser::Watch() {
  while (!stop_) {
    CloseNewBoxes();
    Sleep(20);
  }
}

void TMessageBoxCloser::CloseNewBoxes() {
  {
    // Boxes that are gone are forgotten, in case a later box gets the same handle.
    std::lock_guard<std::mutex> guard(lock_);
    closed_.erase(
        std::remove_if(closed_.begin(), closed_.end(), [](HWND box) { return !IsWindow(box); }),
        closed_.end());
  }
  for (HWND box : VisibleDialogsOfThisProcess()) {
    std::lock_guard<std::mutex> guard(lock_);
    // A box closes a moment after the command: each is read and pressed once.
    if (std::find(closed_.begin(), closed_.end(), box) != closed_.end()) continue;
    char text[4096] = {};
    GetDlgItemTextA(box, kMessageTextId, text, sizeof text);
    wchar_t wideText[4096] = {};
    GetDlgItemTextW(box, kMessageTextId, wideText, 4096);
    closed_.push_back(box);
    texts_.push_back(text);
    wideTexts_.push_back(wideText);
    captions_.push_back(WindowText(box));
    RECT place{};
    GetWindowRect(box, &place);
    places_.push_back(place);
    PostMessageA(box, WM_COMMAND, command_, 0);
  }
}
