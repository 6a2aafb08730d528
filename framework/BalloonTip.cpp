#include "framework/BalloonTip.h"

#include <commctrl.h>

#include "framework/Dpi.h"

namespace {

constexpr UINT_PTR kToolId = 1;
constexpr UINT_PTR kHideTimer = 0x7B1;
constexpr UINT kShownFor = 6000;  // ms: long enough to read two lines
constexpr int kWidestAt96Dpi = 320;

TOOLINFOW ToolOf(HWND control) {
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  tool.hwnd = control;
  tool.uId = kToolId;
  return tool;
}

}  // namespace

TBalloonTip::~TBalloonTip() {
  if (tip_) DestroyWindow(tip_);
}

void TBalloonTip::Show(HWND control, POINT point, const std::wstring& title,
                       const std::wstring& text) {
  Hide();
  if (tip_ && control_ != control) {
    DestroyWindow(tip_);
    tip_ = nullptr;
  }
  control_ = control;
  text_ = text;
  TOOLINFOW tool = ToolOf(control);
  tool.lpszText = text_.data();
  if (!tip_) {
    // Owned by the control's window, so it stays above it and goes with it.
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                           WS_POPUP | TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           GetAncestor(control, GA_ROOT), nullptr, nullptr, nullptr);
    if (!tip_) return;
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  } else {
    SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, TDpi::OfWindow(control).Scale(kWidestAt96Dpi));
  SendMessageW(tip_, TTM_SETTITLEW, TTI_WARNING, reinterpret_cast<LPARAM>(title.c_str()));
  SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(point.x, point.y));
  SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
  SetTimer(tip_, kHideTimer, kShownFor, &TBalloonTip::HideLater);
}

void TBalloonTip::Hide() {
  if (!tip_) return;
  KillTimer(tip_, kHideTimer);
  TOOLINFOW tool = ToolOf(control_);
  SendMessageW(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

void CALLBACK TBalloonTip::HideLater(HWND tip, UINT, UINT_PTR id, DWORD) {
  KillTimer(tip, id);
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  // The balloon's one tool, whichever control it belongs to.
  if (SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)))
    SendMessageW(tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}
