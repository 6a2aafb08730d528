#include "framework/CodePage.h"

#include <windows.h>

#include <algorithm>

#include "naming/Characters.h"

namespace {

// One call for the whole text; false when the system would put its default character anywhere.
bool ConvertExactly(std::u16string_view text, std::string& bytes) {
  bytes.clear();
  if (text.empty()) return true;
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  const int size =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0, nullptr, nullptr);
  bytes.resize(static_cast<std::size_t>(std::max(size, 0)));
  BOOL defaultUsed = FALSE;
  const int written = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, bytes.data(),
                                          size, nullptr, &defaultUsed);
  return written == size && size > 0 && !defaultUsed;
}

}  // namespace

TCodePageText ToCodePage(std::wstring_view text) {
  std::u16string forms(text.begin(), text.end());
  std::transform(forms.begin(), forms.end(), forms.begin(), naming::CodePageForm);
  TCodePageText result;
  if (ConvertExactly(forms, result.Text)) return result;
  // Only a text with a refused character is gone through one character at a time.
  result.Text.clear();
  std::string bytes;
  for (std::size_t i = 0; i < forms.size();) {
    const std::size_t start = i;
    const char32_t character = naming::NextCharacter(forms, i);
    if (ConvertExactly(std::u16string_view(forms).substr(start, i - start), bytes)) {
      result.Text += bytes;
      continue;
    }
    result.Text.append("(").append(naming::CodeOf(character)).append(")");
    if (std::find(result.Refused.begin(), result.Refused.end(), character) == result.Refused.end())
      result.Refused.push_back(character);
  }
  return result;
}

std::wstring AnsiToWide(std::string_view text) {
  if (text.empty()) return {};
  // An ANSI character never makes more than one UTF-16 unit.
  std::wstring wide(text.size(), L'\0');
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                         wide.data(), static_cast<int>(wide.size()));
  wide.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return wide;
}
