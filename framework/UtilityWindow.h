#pragma once
// An invisible top-level window whose messages go to a handler of its owner: the owner of a
// tracked popup menu, the receiver of system broadcasts. Never shown.

#include <functional>

#include "framework/Window.h"

class TUtilityWindow final : public TWinControl {
 public:
  using THandler = std::function<LRESULT(TUtilityWindow& window, UINT message, WPARAM wParam, LPARAM lParam)>;

  // Throws std::system_error when the window cannot be made.
  explicit TUtilityWindow(THandler handler);

  // What the window does with a message its handler leaves alone.
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) { return DefaultProc(message, wParam, lParam); }

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  THandler handler_;
};
