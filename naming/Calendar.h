#pragma once
// Whole-day arithmetic on Gregorian dates.

#include <cstdint>

#include "naming/Template.h"

namespace naming {

// Days since 1970-01-01 (negative before it), proleptic Gregorian calendar.
std::int64_t DayNumber(const CalendarDate& date);
CalendarDate DateOfDayNumber(std::int64_t dayNumber);

}  // namespace naming
