#include "app/PanelTemplate.h"

#include <algorithm>
#include <climits>

naming::CalendarDate CalendarDateOf(const SYSTEMTIME& time) {
  return {time.wYear, time.wMonth, time.wDay};
}

naming::CalendarDate TPanelTemplate::StartDate() const {
  return CalendarDateOf(panel_.StartDate.Date());
}

naming::CalendarDate TPanelTemplate::EndDate() const {
  return CalendarDateOf(panel_.EndDate.Date());
}

std::vector<std::string> TPanelTemplate::FreeLines(std::int64_t limit) const {
  return panel_.FreeLines.Lines(static_cast<int>(std::min<std::int64_t>(limit, INT_MAX)));
}
