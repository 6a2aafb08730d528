#include "tests/support/RealKeys.h"

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

void Send(std::vector<INPUT>& events) {
  SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
}

}  // namespace

void PressChord(std::initializer_list<WORD> keys) {
  std::vector<INPUT> events;
  for (WORD key : keys) events.push_back(KeyEvent(key, 0, 0));
  for (auto key = keys.end(); key != keys.begin();)
    events.push_back(KeyEvent(*--key, 0, KEYEVENTF_KEYUP));
  Send(events);
}

void TypeUnicode(const std::string& text) {
  const int length =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  std::vector<INPUT> events;
  for (wchar_t c : wide) {
    events.push_back(KeyEvent(0, c, KEYEVENTF_UNICODE));
    events.push_back(KeyEvent(0, c, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
  }
  Send(events);
}
