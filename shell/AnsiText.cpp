#include "shell/AnsiText.h"

#include <windows.h>

std::wstring AnsiToWide(const std::string& text) {
  if (text.empty()) return {};
  // An ANSI character never makes more than one UTF-16 unit.
  std::wstring wide(text.size(), L'\0');
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                         wide.data(), static_cast<int>(wide.size()));
  wide.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return wide;
}
