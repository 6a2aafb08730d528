#pragma once
// A balloon pointing into a control that says, without stopping the user, why what was just typed
// or pasted did not go in. Wine's edit control shows no balloon of its own (EM_SHOWBALLOONTIP
// answers FALSE), so this is a tooltip in balloon style. It goes when the control hides it (the
// next key, the focus leaving) or after a few seconds.

#include <windows.h>

#include <string>

class TBalloonTip {
 public:
  TBalloonTip() = default;
  ~TBalloonTip();
  TBalloonTip(const TBalloonTip&) = delete;
  TBalloonTip& operator=(const TBalloonTip&) = delete;

  // Shows the balloon with a warning icon at `point` (screen coordinates) of `control`.
  void Show(HWND control, POINT point, const std::wstring& title, const std::wstring& text);
  void Hide();

 private:
  static void CALLBACK HideLater(HWND tip, UINT message, UINT_PTR id, DWORD time);

  HWND tip_ = nullptr;
  HWND control_ = nullptr;  // not owned: the control whose tool the balloon is
  std::wstring text_;       // the tool's text: the tooltip keeps a pointer to it
};
