#include "tests/support/KeyInput.h"

#include <algorithm>
#include <vector>

#include "tests/support/MessagePump.h"

namespace {

INPUT KeyEvent(WORD key, WORD scan, DWORD flags) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = scan;
  input.ki.dwFlags = flags;
  return input;
}

// The keys outside the main block are told apart from the number pad's by the extended flag.
INPUT VirtualKeyEvent(WORD key, DWORD flags) {
  constexpr WORD kExtended[] = {VK_UP,  VK_DOWN,  VK_LEFT, VK_RIGHT,  VK_HOME,
                                VK_END, VK_PRIOR, VK_NEXT, VK_INSERT, VK_DELETE};
  if (std::find(std::begin(kExtended), std::end(kExtended), key) != std::end(kExtended))
    flags |= KEYEVENTF_EXTENDEDKEY;
  return KeyEvent(key, static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)), flags);
}

void Send(std::vector<INPUT>& events) {
  SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
}

}  // namespace

void TypeAsUnicodeKeys(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(static_cast<std::size_t>(
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          static_cast<int>(wide.size()))));
  TypeAsUnicodeKeys(wide);
}

void TypeAsUnicodeKeys(const std::wstring& text) {
  std::vector<INPUT> events;
  for (wchar_t unit : text) {
    events.push_back(KeyEvent(0, unit, KEYEVENTF_UNICODE));
    events.push_back(KeyEvent(0, unit, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
  }
  Send(events);
}

void PressKeys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> events;
  for (WORD key : keys) events.push_back(VirtualKeyEvent(key, 0));
  for (auto key = std::rbegin(keys); key != std::rend(keys); ++key)
    events.push_back(VirtualKeyEvent(*key, KEYEVENTF_KEYUP));
  Send(events);
}

bool WaitForText(HWND window, const std::string& text) {
  return PumpMessagesUntil(
      [&] {
        char shown[512] = {};
        GetWindowTextA(window, shown, sizeof shown);
        return text == shown;
      },
      3000);
}

TKeyWhenMenuShows::TKeyWhenMenuShows(WORD key)
    : presser_([key] {
        for (int i = 0; i < 500 && !IsWindowVisible(FindWindowA("#32768", nullptr)); ++i) Sleep(10);
        PressKeys({key});
      }) {}

TKeyWhenMenuShows::~TKeyWhenMenuShows() { presser_.join(); }
