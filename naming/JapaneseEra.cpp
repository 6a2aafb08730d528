#include "naming/JapaneseEra.h"

#include <array>

#include "naming/Calendar.h"
#include "naming/Integer.h"

namespace naming {

namespace {

struct Era {
  const char* name;
  CalendarDate start;
};

// Newest first, so that the first era starting on or before a date is the date's era.
const std::array<Era, 5> kEras = {{
    {"令和", {2019, 5, 1}},
    {"平成", {1989, 1, 8}},
    {"昭和", {1926, 12, 25}},
    {"大正", {1912, 7, 30}},
    {"明治", {1868, 1, 1}},
}};

bool Before(const CalendarDate& a, const CalendarDate& b) { return DayNumber(a) < DayNumber(b); }

EraText TableEra(const CalendarDate& date) {
  for (const Era& era : kEras) {
    if (!Before(date, era.start))
      return {era.name, FormatNumber(date.year - era.start.year + 1, 2)};
  }
  return {"", FormatNumber(date.year, 4)};
}

bool PassesProbe(const AlternativeCalendar& platform) {
  const std::optional<EraText> probe = platform.EraOf({2004, 2, 3});
  return probe && *probe == EraText{"平成", "16"};
}

}  // namespace

JapaneseEra::JapaneseEra(std::unique_ptr<AlternativeCalendar> platform) {
  if (platform && PassesProbe(*platform)) platform_ = std::move(platform);
}

EraText JapaneseEra::Of(const CalendarDate& date) const {
  if (platform_ && !Before(date, kEras.back().start)) {
    if (std::optional<EraText> era = platform_->EraOf(date)) return std::move(*era);
  }
  return TableEra(date);
}

}  // namespace naming
