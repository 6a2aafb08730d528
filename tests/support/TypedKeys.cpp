#include "tests/support/TypedKeys.h"

#include <vector>

namespace {

INPUT KeyEvent(WORD virtualKey, wchar_t character, DWORD flags) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.wScan = character;
  input.ki.dwFlags = flags;
  return input;
}

void Send(std::vector<INPUT>& inputs) {
  if (!inputs.empty()) SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

void TypeText(const std::wstring& text) {
  std::vector<INPUT> inputs;
  for (wchar_t character : text) {
    inputs.push_back(KeyEvent(0, character, KEYEVENTF_UNICODE));
    inputs.push_back(KeyEvent(0, character, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
  }
  Send(inputs);
}

void PressKey(WORD virtualKey) {
  std::vector<INPUT> inputs{KeyEvent(virtualKey, 0, 0), KeyEvent(virtualKey, 0, KEYEVENTF_KEYUP)};
  Send(inputs);
}
