#pragma once
// Text put on the clipboard as another program puts it, for tests that paste.

#include <windows.h>

#include <string>

// In the code page (CF_TEXT), as an ANSI program copies it.
void PutTextOnClipboard(HWND owner, const std::string& text);
// In UTF-16 (CF_UNICODETEXT), as today's programs copy it: characters the code page lacks too.
void PutUnicodeTextOnClipboard(HWND owner, const std::wstring& text);
