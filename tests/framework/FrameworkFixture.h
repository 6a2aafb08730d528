#pragma once
// A shown form to put the controls under test on, with helpers that play the user: typed
// characters, focus moves and key presses with modifiers, all through the real message paths.

#include <gtest/gtest.h>

#include <windows.h>

#include "framework/Application.h"
#include "framework/Form.h"
#include "tests/support/KeyboardState.h"

class FrameworkFormTest : public testing::Test {
 protected:
  FrameworkFormTest() : form_("FrameworkTest", TBorderStyle::Single) {
    form_.SetBounds({100, 100, 0, 0});
    form_.SetClientSize(480, 360);
    form_.Show();
    Pump();
  }
  ~FrameworkFormTest() override { SetModifierKeys(false, false); }

  static void Pump() { Application().ProcessMessages(); }

  // Typed characters, as the keyboard's WM_CHAR messages bring them.
  static void Type(HWND window, const std::string& text) {
    for (char c : text) SendMessageA(window, WM_CHAR, static_cast<unsigned char>(c), 1);
  }

  // A key pressed while the focus is on `window`, through the application's message handling.
  static void PressKey(HWND window, UINT key, bool ctrl, bool alt) {
    SetModifierKeys(ctrl, alt);
    const UINT message = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
    PostMessageA(window, message, key, alt ? (1 | (1 << 29)) : 1);
    Pump();
    SetModifierKeys(false, false);
  }

  TForm form_;
};
