#pragma once
// The Japanese era name and era year of a date.

#include <memory>
#include <optional>
#include <string>

#include "naming/Template.h"

namespace naming {

struct EraText {
  std::string name;  // e.g. 平成
  std::string year;  // two digits with a leading zero, e.g. 01
  friend bool operator==(const EraText&, const EraText&) = default;
};

// The platform's alternative calendar (on Windows: the locale's date formatting with the
// alternative-calendar flag, pictures "gg" and "yy").
class AlternativeCalendar {
 public:
  virtual ~AlternativeCalendar() = default;
  // The era name and era year the platform writes for `date`, or nothing when it cannot.
  virtual std::optional<EraText> EraOf(const CalendarDate& date) const = 0;
};

// Asks the platform once, at construction, whether its alternative calendar really gives
// Japanese eras (3 February 2004 must come out as 平成 16). If so it is used for every date from
// 1868 on; otherwise, or for a date the platform cannot write, a built-in table with Windows'
// era start dates serves. Wine, for one, answers 西暦 and the Gregorian year.
//
// Dates before 1 January 1868 belong to no era of the table: they get no era name and the
// four-digit Gregorian year as their era year, so format 8 writes 1867年12月31日 for the last day
// of 1867 rather than inventing an era.
class JapaneseEra {
 public:
  explicit JapaneseEra(std::unique_ptr<AlternativeCalendar> platform);

  EraText Of(const CalendarDate& date) const;
  bool UsesPlatform() const { return platform_ != nullptr; }

 private:
  std::unique_ptr<AlternativeCalendar> platform_;  // null when it failed the probe
};

}  // namespace naming
