#include "tests/support/Balloon.h"

#include <windows.h>
#include <commctrl.h>

namespace {

BOOL CALLBACK FindShownTip(HWND window, LPARAM found) {
  wchar_t className[32] = {};
  GetClassNameW(window, className, 32);
  if (!IsWindowVisible(window) || std::wstring(className) != TOOLTIPS_CLASSW) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

}  // namespace

std::wstring ShownBalloonText() {
  HWND tip = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &FindShownTip, reinterpret_cast<LPARAM>(&tip));
  if (!tip) return {};
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  if (!SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool))) return {};
  wchar_t text[1024] = {};
  tool.lpszText = text;
  SendMessageW(tip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
  return text;
}
