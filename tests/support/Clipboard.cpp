#include "tests/support/Clipboard.h"

#include <cstring>

namespace {

void Put(HWND owner, UINT format, const void* data, std::size_t size) {
  if (!OpenClipboard(owner)) return;
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  std::memcpy(GlobalLock(memory), data, size);
  GlobalUnlock(memory);
  SetClipboardData(format, memory);  // the clipboard owns the memory from here
  CloseClipboard();
}

}  // namespace

void PutTextOnClipboard(HWND owner, const std::string& text) {
  Put(owner, CF_TEXT, text.c_str(), text.size() + 1);
}

void PutUnicodeTextOnClipboard(HWND owner, const std::wstring& text) {
  Put(owner, CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}
