#include "tests/support/KeyboardState.h"

#include <windows.h>

void SetModifierKeys(bool ctrl, bool alt) {
  BYTE state[256] = {};
  GetKeyboardState(state);
  state[VK_CONTROL] = ctrl ? 0x80 : 0;
  state[VK_MENU] = alt ? 0x80 : 0;
  SetKeyboardState(state);
}

void SetShiftKey(bool down) {
  BYTE state[256] = {};
  GetKeyboardState(state);
  state[VK_SHIFT] = down ? 0x80 : 0;
  SetKeyboardState(state);
}
