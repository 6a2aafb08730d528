#include "framework/DateTimePicker.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <vssym32.h>
#include <windowsx.h>

#include <cstring>
#include <string>

#include "framework/Container.h"
#include "framework/DeviceContext.h"

namespace {

// Wine's picker draws its calendar button this wide, inside an edge of two pixels, at every DPI,
// and does not say where (DTM_GETDATETIMEPICKERINFO answers nothing).
constexpr int kNativeButtonWidth = 15;
constexpr int kEdge = 2;

// The system's long date form with its weekday written short ("dddd" becomes "ddd").
std::wstring LongDateShortWeekday() {
  wchar_t pattern[80] = {};
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLONGDATE, pattern, 80);
  std::wstring format = pattern;
  if (const std::size_t weekday = format.find(L"dddd"); weekday != std::wstring::npos)
    format.erase(weekday, 1);
  return format;
}

}  // namespace

TDateTimePicker::TDateTimePicker(TContainer& parent, const TBounds& layout)
    : TWinControl(parent, layout) {
  CreateHandle(
      {DATETIMEPICK_CLASSA, "", DTS_LONGDATEFORMAT | WS_TABSTOP | WS_GROUP, 0, LaidBounds()});
  const std::wstring format = LongDateShortWeekday();
  SendMessageW(Handle(), DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(format.c_str()));
  shown_ = Date();
}

// As the control draws its own: a drop-down list's button, in the theme's look where there is one.
void TDateTimePicker::DrawButton(RECT button) const {
  const TWindowDC dc(Handle());
  const bool enabled = IsWindowEnabled(Handle()) != FALSE;
  if (HTHEME theme = OpenThemeData(Handle(), L"COMBOBOX")) {
    DrawThemeBackground(theme, dc.Get(), CP_DROPDOWNBUTTON, enabled ? CBXS_NORMAL : CBXS_DISABLED,
                        &button, nullptr);
    CloseThemeData(theme);
    return;
  }
  DrawFrameControl(dc.Get(), &button, DFC_SCROLL,
                   DFCS_SCROLLCOMBOBOX | (enabled ? 0 : DFCS_INACTIVE));
}

RECT TDateTimePicker::ScaledButton() const {
  const int width = Dpi().Scale(kNativeButtonWidth);
  DATETIMEPICKERINFO info{};
  info.cbSize = sizeof info;
  // A control that tells its button scales it itself.
  if (width <= kNativeButtonWidth ||
      SendMessageA(Handle(), DTM_GETDATETIMEPICKERINFO, 0, reinterpret_cast<LPARAM>(&info)))
    return {};
  RECT client{};
  GetClientRect(Handle(), &client);
  return {client.right - kEdge - width, client.top + kEdge, client.right - kEdge,
          client.bottom - kEdge};
}

LRESULT TDateTimePicker::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    const LRESULT result = TWinControl::WndProc(message, wParam, lParam);
    RECT button = ScaledButton();
    if (!IsRectEmpty(&button)) DrawButton(button);
    return result;
  }
  if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
    const RECT button = ScaledButton();
    // A press on the drawn button is one on the control's own.
    if (PtInRect(&button, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
      lParam = MAKELPARAM(button.right - kNativeButtonWidth / 2, (button.top + button.bottom) / 2);
  }
  return TWinControl::WndProc(message, wParam, lParam);
}

SYSTEMTIME TDateTimePicker::Date() const {
  SYSTEMTIME date{};
  SendMessageA(Handle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
  return date;
}

void TDateTimePicker::SetDate(const SYSTEMTIME& date) {
  SendMessageA(Handle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date));
  shown_ = Date();
}

void TDateTimePicker::SetCalendarTitleColor(TColor color) {
  SendMessageA(Handle(), DTM_SETMCCOLOR, MCSC_TITLEBK, static_cast<LPARAM>(color.Ref()));
}

LRESULT TDateTimePicker::Notify(const NMHDR& header) {
  if (header.code != DTN_DATETIMECHANGE) return 0;
  const SYSTEMTIME now = Date();
  if (std::memcmp(&now, &shown_, sizeof(now)) == 0) return 0;
  shown_ = now;
  if (OnChange) OnChange();
  return 0;
}
