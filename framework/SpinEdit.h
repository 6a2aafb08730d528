#pragma once
// A number field with arrows. Typed characters are limited to digits, "+", "-" and the locale's
// decimal separator; pasted text is taken as it is. The arrows step by 1 within the range. When
// the field loses the focus holding an integer outside the range, it is pulled to the nearer bound;
// other text stays as it is.

#include "framework/Edit.h"
#include "framework/UpDown.h"

class TSpinEdit : public TCustomEdit {
 public:
  // Starts with the text of `minValue`; `layout` covers the field and its arrows.
  TSpinEdit(TContainer& parent, const TBounds& layout, int minValue, int maxValue);

  int MinValue() const { return minValue_; }
  int MaxValue() const { return maxValue_; }
  // The text as an integer, or the minimum when it is none.
  int Value() const;

  void SetEnabled(bool enabled) override;
  void SetVisible(bool visible) override;
  void SetBounds(const TBounds& bounds) override;

  // True for the characters a user may type into the field.
  static bool IsAcceptedChar(char c);

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  int Clamp(int value) const;
  // The value pulled into the range, for the user (arrows, leaving the field): OnChange runs.
  void StepTo(int value);

  int minValue_;
  int maxValue_;
  TUpDown upDown_;
};
