#include "naming/DateFormats.h"

#include <algorithm>
#include <optional>

#include "naming/Integer.h"

namespace naming {

DateFormatTable::DateFormatTable(JapaneseEra era, std::array<std::vector<Part>, kCount> formats)
    : era_(std::move(era)), formats_(std::move(formats)) {}

DateFormatTable DateTypeInit(std::unique_ptr<AlternativeCalendar> platform) {
  using P = DateFormatTable::Piece;
  const DateFormatTable::Part year{P::Year4, nullptr}, month{P::Month2, nullptr},
      day{P::Day2, nullptr}, eraName{P::EraName, nullptr}, eraYear{P::EraYear, nullptr},
      dash{P::Text, "-"}, yearMark{P::Text, "年"}, monthMark{P::Text, "月"}, dayMark{P::Text, "日"};
  return DateFormatTable(JapaneseEra(std::move(platform)),
                         {{
                             {year, dash, month, dash, day},
                             {year, dash, month},
                             {month, dash, day},
                             {day, dash, month, dash, year},
                             {month, dash, year},
                             {day, dash, month},
                             {year, yearMark, month, monthMark, day, dayMark},
                             {year, yearMark, month, monthMark},
                             {eraName, eraYear, yearMark, month, monthMark, day, dayMark},
                             {eraName, eraYear, yearMark, month, monthMark},
                             {month, monthMark, day, dayMark},
                         }});
}

const std::vector<DateFormatTable::Part>& DateFormatTable::FormatAt(int index) const {
  return formats_[index < 0 || index >= kCount ? 0 : index];
}

bool DateFormatTable::Shows(int index, Piece piece) const {
  const std::vector<Part>& parts = FormatAt(index);
  return std::any_of(parts.begin(), parts.end(),
                     [piece](const Part& part) { return part.piece == piece; });
}

bool DateFormatTable::ShowsYear(int index) const {
  return Shows(index, Piece::Year4) || Shows(index, Piece::EraYear);
}

bool DateFormatTable::ShowsDay(int index) const { return Shows(index, Piece::Day2); }

std::string DateFormatTable::Format(int index, const CalendarDate& date) const {
  std::string out;
  std::optional<EraText> era;  // asked at most once: the platform's answer costs a call
  auto eraOf = [&]() -> const EraText& {
    if (!era) era = era_.Of(date);
    return *era;
  };
  for (const Part& part : FormatAt(index)) {
    switch (part.piece) {
      case Piece::Year4: out += FormatNumber(date.year, 4); break;
      case Piece::Month2: out += FormatNumber(date.month, 2); break;
      case Piece::Day2: out += FormatNumber(date.day, 2); break;
      case Piece::EraName: out += eraOf().name; break;
      case Piece::EraYear: out += eraOf().year; break;
      case Piece::Text: out += part.text; break;
    }
  }
  return out;
}

}  // namespace naming
