#pragma once
// A number field with arrows. Typed and pasted characters are limited to digits, "+", "-" and the
// locale's decimal separator; full-width digits, as an input method in full-width mode types them,
// are taken as digits, and a paste holding anything else is refused whole. The arrows step by 1
// within the range. When the field loses the focus holding an integer outside the range, it is
// pulled to the nearer bound; other text ("1.5", "-") stays as it is.

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
  // `bounds` cover the field and its arrows.
  void SetBounds(const TBounds& bounds) override;

  // True for the characters a user may type into the field.
  static bool IsAcceptedChar(char c);

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  TCodePageText Admit(std::wstring_view text) const override;
  std::wstring RefusalText(const std::vector<char32_t>& refused) const override;

 private:
  int Clamp(int value) const;
  // The value pulled into the range, for the user (arrows, leaving the field): OnChange runs.
  void StepTo(int value);
  // The arrows at the right end of `bounds`, as wide as the layout's at the field's DPI, and the
  // field in the rest: the native arrows keep their own width whatever the DPI.
  void PlaceArrows(const TBounds& bounds);

  int minValue_;
  int maxValue_;
  TUpDown upDown_;
};
