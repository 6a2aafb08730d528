#include "app/PanelTemplate.h"

naming::CalendarDate CalendarDateOf(const SYSTEMTIME& time) { return {time.wYear, time.wMonth, time.wDay}; }

naming::CalendarDate TPanelTemplate::StartDate() const { return CalendarDateOf(panel_.StartDate.Date()); }

naming::CalendarDate TPanelTemplate::EndDate() const { return CalendarDateOf(panel_.EndDate.Date()); }
