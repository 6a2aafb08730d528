#pragma once
// Text between UTF-16, in which the system hands over what is typed, pasted or given on the
// command line, and the program's code page (932), in which it keeps every text. Into the code
// page a text goes exactly or not at all: the forms of the other common Japanese mapping are taken
// as this code page's (naming/Characters.h), and a character the code page lacks is refused, never
// replaced by a look-alike or "?" as the system's default conversion does.

#include <string>
#include <string_view>
#include <vector>

struct TCodePageText {
  // The code page's bytes. Where characters were refused each stands here as its code, "(U+00E9)":
  // then a text to show, never one to use.
  std::string Text;
  // The characters the code page lacks, each once, in the order they first came.
  std::vector<char32_t> Refused;

  bool Exact() const { return Refused.empty(); }
};

TCodePageText ToCodePage(std::wstring_view text);

// The system's UTF-16 as the portable core takes it.
inline std::u16string_view Utf16(std::wstring_view text) {
  return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

// `text` of the code page in UTF-16; empty when it cannot be converted.
std::wstring AnsiToWide(std::string_view text);
