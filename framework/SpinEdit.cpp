#include "framework/SpinEdit.h"

#include <commctrl.h>

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>

#include "naming/Characters.h"

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

// The arrows' width at 96 DPI, where the native control's own is right.
constexpr int kArrowsWidth = 16;

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
  PlaceArrows(LaidBounds());
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

void TSpinEdit::SetBounds(const TBounds& bounds) { PlaceArrows(bounds); }

void TSpinEdit::PlaceArrows(const TBounds& bounds) {
  const int arrows = std::min(Dpi().Scale(kArrowsWidth), bounds.Width);
  TCustomEdit::SetBounds({bounds.Left, bounds.Top, bounds.Width - arrows, bounds.Height});
  upDown_.SetBounds({bounds.Left + bounds.Width - arrows, bounds.Top, arrows, bounds.Height});
}

TCodePageText TSpinEdit::Admit(std::wstring_view text) const {
  TCodePageText admitted;
  const std::u16string_view units = Utf16(text);
  for (std::size_t i = 0; i < units.size();) {
    const char32_t character = naming::NextCharacter(units, i);
    const char32_t form = character > 0xFFFF ? character : naming::HalfWidthDigit(character);
    if (form >= 0x20 && form < 0x80 && IsAcceptedChar(static_cast<char>(form))) {
      admitted.Text += static_cast<char>(form);
    } else if (std::find(admitted.Refused.begin(), admitted.Refused.end(), character) ==
               admitted.Refused.end()) {
      admitted.Refused.push_back(character);
    }
  }
  return admitted;
}

std::wstring TSpinEdit::RefusalText(const std::vector<char32_t>& refused) const {
  const std::u16string names = naming::NamesOf(refused);
  return std::wstring(names.begin(), names.end()) + L" は入力できません。数字を入力してください。";
}

LRESULT TSpinEdit::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CHAR:
    case WM_IME_CHAR: {
      // Typed characters were judged already; these may come from elsewhere, an input method's
      // WM_IME_CHAR (the edit control takes it without a WM_CHAR) among them.
      if (wParam < 0x20) {
        if (IsAcceptedChar(static_cast<char>(wParam))) break;
        MessageBeep(MB_OK);
        return 0;
      }
      // A double-byte character comes with its lead byte high.
      const char bytes[2] = {static_cast<char>(wParam > 0xFF ? HIBYTE(wParam) : wParam),
                             static_cast<char>(LOBYTE(wParam))};
      const TCodePageText admitted = Admit(AnsiToWide({bytes, wParam > 0xFF ? 2u : 1u}));
      if (!admitted.Exact()) {
        Refuse(admitted.Refused);
        return 0;
      }
      wParam = static_cast<unsigned char>(admitted.Text[0]);
      break;
    }
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
