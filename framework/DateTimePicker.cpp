#include "framework/DateTimePicker.h"

#include <commctrl.h>

#include <cstring>

#include "framework/Container.h"

TDateTimePicker::TDateTimePicker(TContainer& parent, const TBounds& layout)
    : TWinControl(parent, layout) {
  CreateHandle(
      {DATETIMEPICK_CLASSA, "", DTS_LONGDATEFORMAT | WS_TABSTOP | WS_GROUP, 0, LaidBounds()});
  shown_ = Date();
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
