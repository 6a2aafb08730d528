#pragma once
// The date display format table: the eleven formats both tiers' format choosers offer.

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "naming/JapaneseEra.h"

namespace naming {

class DateFormatTable {
 public:
  static constexpr int kCount = 11;

  // Writes `date` in format `index`. An index outside the table (the chooser holds typed text
  // that matches no entry) is read as entry 0, the format the chooser starts with.
  std::string Format(int index, const CalendarDate& date) const;
  // Whether format `index` (read as Format reads it) writes the year, by number or by era, and
  // the day. Every format writes the month.
  bool ShowsYear(int index) const;
  bool ShowsDay(int index) const;

 private:
  enum class Piece { Year4, Month2, Day2, EraName, EraYear, Text };
  struct Part {
    Piece piece;
    const char* text;  // for Text only
  };

  DateFormatTable(JapaneseEra era, std::array<std::vector<Part>, kCount> formats);
  const std::vector<Part>& FormatAt(int index) const;
  bool Shows(int index, Piece piece) const;
  friend DateFormatTable DateTypeInit(std::unique_ptr<AlternativeCalendar> platform);

  JapaneseEra era_;
  std::array<std::vector<Part>, kCount> formats_;
};

// Builds the table once at start-up; decides there whether the platform's alternative calendar
// gives the Japanese eras (see JapaneseEra).
DateFormatTable DateTypeInit(std::unique_ptr<AlternativeCalendar> platform);

}  // namespace naming
