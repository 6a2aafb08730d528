#include "tests/support/KeyInput.h"

#include <vector>

namespace {

INPUT KeyEvent(WORD key, WORD scan, DWORD flags) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = scan;
  input.ki.dwFlags = flags;
  return input;
}

// The keys outside the main block: without the flag they would be read as the number pad's.
bool IsExtendedKey(WORD key) {
  switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_INSERT:
    case VK_DELETE: return true;
    default: return false;
  }
}

INPUT VirtualKeyEvent(WORD key, DWORD flags) {
  return KeyEvent(key, static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)),
                  flags | (IsExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0));
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
  std::vector<INPUT> events;
  for (wchar_t unit : wide) {
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
