#pragma once
// Text of the program's ANSI code page handed to the Unicode calls of the shell.

#include <string>

// `text` as UTF-16; empty when it cannot be converted.
std::wstring AnsiToWide(const std::string& text);
