#pragma once
// A colour as the controls take it: red, green and blue, or a system colour read when it is made.

#include <windows.h>

class TColor {
 public:
  constexpr TColor() = default;  // black
  constexpr TColor(BYTE red, BYTE green, BYTE blue) : ref_(RGB(red, green, blue)) {}

  static constexpr TColor FromRef(COLORREF ref) { return TColor(ref); }
  // A system colour (COLOR_WINDOWTEXT, COLOR_BTNFACE, ...) as it is now.
  static TColor System(int index) { return TColor(GetSysColor(index)); }

  constexpr COLORREF Ref() const { return ref_; }
  constexpr BYTE Red() const { return GetRValue(ref_); }
  constexpr BYTE Green() const { return GetGValue(ref_); }
  constexpr BYTE Blue() const { return GetBValue(ref_); }

  constexpr bool operator==(const TColor&) const = default;

 private:
  constexpr explicit TColor(COLORREF ref) : ref_(ref) {}

  COLORREF ref_ = 0;
};
