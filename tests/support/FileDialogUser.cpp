#include "tests/support/FileDialogUser.h"

#include <commdlg.h>

#include <algorithm>
#include <utility>

#include "tests/support/KeyInput.h"
#include "tests/support/MessageBoxCloser.h"
#include "tests/support/MessagePump.h"

namespace {

constexpr int kMessageTextId = 0xFFFF;  // the static control holding a message box's text

// Whether the focus of the dialog's thread is in a text field of `dialog`: the dialog has filled
// its list and is ready for the name.
bool NameFieldFocused(HWND dialog) {
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread) || !thread.hwndFocus)
    return false;
  char className[16] = {};
  GetClassNameA(thread.hwndFocus, className, sizeof className);
  return IsChild(dialog, thread.hwndFocus) && lstrcmpiA(className, "Edit") == 0;
}

}  // namespace

TFileDialogUser::TFileDialogUser(std::string path)
    : path_(std::move(path)), user_([this] { Play(); }) {}

TFileDialogUser::~TFileDialogUser() { Finish(); }

void TFileDialogUser::Finish() {
  stop_ = true;
  if (user_.joinable()) user_.join();
}

void TFileDialogUser::Play() {
  std::vector<HWND> seen;
  for (; !stop_; Sleep(20)) {
    for (HWND dialog : VisibleDialogsOfThisProcess()) {
      if (std::find(seen.begin(), seen.end(), dialog) != seen.end()) continue;
      if (GetDlgItem(dialog, kMessageTextId)) {
        seen.push_back(dialog);
        char text[4096] = {};
        GetDlgItemTextA(dialog, kMessageTextId, text, sizeof text);
        texts_.push_back(text);
        PostMessageA(dialog, WM_COMMAND, GetDlgItem(dialog, IDYES) ? IDYES : IDOK, 0);
        continue;
      }
      if (typed_ || !NameFieldFocused(dialog)) continue;  // looked at again on the next round
      seen.push_back(dialog);
      char folder[MAX_PATH] = {};
      SendMessageA(dialog, CDM_GETFOLDERPATH, sizeof folder, reinterpret_cast<LPARAM>(folder));
      startFolder_ = folder;
      TypeAsUnicodeKeys(path_);
      PressKeys({VK_RETURN});
      typed_ = true;
    }
  }
}

std::vector<std::string> UseFileDialog(HWND window, std::initializer_list<WORD> keys,
                                       const std::string& path, std::string* startFolder) {
  SetForegroundWindow(window);
  PumpMessagesFor(0);
  TFileDialogUser user(path);
  PressKeys(keys);
  // The dialog, the command's work after it and its boxes all run inside one turn of the loop:
  // once the name is typed and that turn has ended, the command is done.
  PumpMessagesUntil([&] { return user.Typed(); }, 10000);
  user.Finish();
  if (startFolder) *startFolder = user.StartFolder();
  if (!user.Typed()) return {"(no file dialog)"};
  return user.BoxTexts();
}
