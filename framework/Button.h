#pragma once
// Buttons: the push button, and the base of the check box and the radio button, which paint their
// background in a colour of their own or their parent's.

#include <functional>
#include <optional>
#include <string>

#include "framework/Graphics.h"
#include "framework/Window.h"

class TButton : public TWinControl {
 public:
  // "&" in the caption marks the letter that Alt presses it with: "作成(&M)".
  TButton(TContainer& parent, const TBounds& layout, const std::string& caption);

  // The default button is pressed by Enter anywhere in its form.
  bool Default() const { return default_; }
  void SetDefault(bool isDefault);
  // Presses the button: runs OnClick.
  void Click();

  std::function<void()> OnClick;

 protected:
  void Command(WORD code) override;

 private:
  bool default_ = false;
};

class TButtonControl : public TWinControl {
 public:
  // Background colour; until one is set, the parent's.
  TColor Color() const;
  void SetColor(TColor color);

  std::function<void()> OnClick;

 protected:
  TButtonControl(TContainer& parent, const TBounds& layout, const std::string& caption,
                 DWORD style);

  bool CheckMark() const;
  void SetCheckMark(bool checked);
  HBRUSH CtlColor(HDC dc) override;

 private:
  std::optional<TColor> color_;
  std::optional<TBrush> brush_;  // of the colour last painted with
};
