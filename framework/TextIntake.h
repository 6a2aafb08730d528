#pragma once
// What comes into a native text field, typed or pasted, goes in exactly as it came or not at all:
// the field's rule admits the text in the code page's bytes or names the characters it refuses,
// and a balloon below the caret says which did not go in. The rest of what is typed goes on in; a
// paste goes in whole or not at all. Text fields and the field of an editable combo box share it.

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/BalloonTip.h"
#include "framework/CodePage.h"

class TTextIntake {
 public:
  using TAdmit = std::function<TCodePageText(std::wstring_view text)>;
  using TRefusalText = std::function<std::wstring(const std::vector<char32_t>& refused)>;

  // By default every character of the code page goes in.
  TTextIntake();
  TTextIntake(TAdmit admit, TRefusalText refusalText);

  // A character typed into `field`, from the program's loop: false when it does not go in (the
  // first half of a surrogate pair, waiting for the second, or a refused one); else `character`
  // is the form in which it goes in. Editing keys (Backspace, Ctrl+V) are the control's.
  bool TakeTypedChar(HWND field, WPARAM& character);
  // The clipboard's text in place of `field`'s selection, whole, or nothing.
  void Paste(HWND field);
  // Says in the balloon, below `field`'s caret, that `refused` did not go in.
  void Refuse(HWND field, const std::vector<char32_t>& refused);
  void HideBalloon() { balloon_.Hide(); }

  // The balloon's words for characters the code page lacks.
  static std::wstring CodePageRefusal(const std::vector<char32_t>& refused);

 private:
  TAdmit admit_;
  TRefusalText refusalText_;
  wchar_t highSurrogate_ = 0;  // the first half of a character typed as a surrogate pair
  TBalloonTip balloon_;
};
