#include "framework/SpinEdit.h"

#include <commctrl.h>

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>

namespace {

// A decimal integer with an optional sign and nothing else, within 32 bits.
std::optional<int> ParseInteger(const std::string& text) {
  const char* first = text.data();
  const char* last = first + text.size();
  const bool plus = first != last && *first == '+';
  if (plus) ++first;
  if (first == last || (plus && *first == '-')) return std::nullopt;
  int value = 0;
  const auto [end, error] = std::from_chars(first, last, value);
  if (error != std::errc() || end != last) return std::nullopt;
  return value;
}

char DecimalSeparator() {
  char separator[8] = ".";
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof(separator));
  return separator[0];
}

}  // namespace

TSpinEdit::TSpinEdit(TContainer& parent, const TBounds& layout, int minValue, int maxValue)
    : TCustomEdit(parent, layout, ES_AUTOHSCROLL),
      minValue_(minValue),
      maxValue_(maxValue),
      upDown_(parent, *this) {
  SetText(std::to_string(minValue));
  upDown_.OnStep = [this](int step) { StepTo(Clamp(Value()) + step); };
}

bool TSpinEdit::IsAcceptedChar(char c) {
  const auto code = static_cast<unsigned char>(c);
  if (code < 0x20) return code != '\r';  // editing keys (Backspace, Ctrl+V), but no line break
  return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == DecimalSeparator();
}

int TSpinEdit::Value() const { return ParseInteger(Text()).value_or(minValue_); }

void TSpinEdit::StepTo(int value) { ReplaceText(std::to_string(Clamp(value))); }

int TSpinEdit::Clamp(int value) const { return std::clamp(value, minValue_, maxValue_); }

void TSpinEdit::SetEnabled(bool enabled) {
  TCustomEdit::SetEnabled(enabled);
  upDown_.SetEnabled(enabled);
}

void TSpinEdit::SetVisible(bool visible) {
  TCustomEdit::SetVisible(visible);
  upDown_.SetVisible(visible);
}

void TSpinEdit::SetBounds(const TBounds& bounds) {
  TCustomEdit::SetBounds(bounds);
  // The arrows take their room from the field's new bounds again.
  SendMessageA(upDown_.Handle(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(Handle()), 0);
}

LRESULT TSpinEdit::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CHAR:
    case WM_IME_CHAR:
      // The edit control takes IME characters without a WM_CHAR. A double-byte character (lead
      // byte high) is never a digit or sign of the accepted kind.
      if (wParam > 0xFF || !IsAcceptedChar(static_cast<char>(wParam))) {
        MessageBeep(MB_OK);
        return 0;
      }
      break;
    case WM_KILLFOCUS: {
      const LRESULT result = TCustomEdit::WndProc(message, wParam, lParam);
      // Only an integer is pulled into the range; other text is left for the program to report.
      if (const auto value = ParseInteger(Text()); value && Clamp(*value) != *value) StepTo(*value);
      return result;
    }
    default: break;
  }
  return TCustomEdit::WndProc(message, wParam, lParam);
}
