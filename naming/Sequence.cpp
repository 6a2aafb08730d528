#include "naming/Sequence.h"

#include <algorithm>

#include "naming/Calendar.h"
#include "naming/Integer.h"

namespace naming {

namespace {

// The digit count and letters-per-name fields hold 1 to 10. A larger typed value stands until
// the field loses the focus, and Alt+M presses the create button without moving it: the value
// is capped at the field's maximum so that a stray 1000000000 cannot ask for a gigabyte name.
constexpr int kFieldMaximum = 10;

int DigitCount(const TierTemplate& tier) {
  return std::min(ToInteger(tier.DigitCountText()), kFieldMaximum);
}

int LettersPerName(const TierTemplate& tier) {
  return std::min(ToIntegerOr(tier.LettersPerNameText(), 1), kFieldMaximum);
}

bool LowerCase(const TierTemplate& tier) { return tier.LetterCase() == 1; }

class NumberSequence final : public Sequence {
 public:
  NumberSequence(int digits, std::int64_t start, std::int64_t end)
      : digits_(digits), start_(start), count_(end < start ? 0 : end - start + 1) {}
  std::int64_t Count() const override { return count_; }
  std::string Text(std::int64_t k) const override { return FormatNumber(start_ + k, digits_); }
  std::int64_t FirstSameText(std::int64_t k, std::int64_t) const override { return k; }
  // Digit count 0 writes nothing for the value 0.
  std::optional<std::int64_t> FirstEmptyText(std::int64_t from) const override {
    const std::int64_t zero = -start_;
    if (digits_ != 0 || zero < from || zero >= count_) return std::nullopt;
    return zero;
  }

 private:
  int digits_;
  std::int64_t start_;
  std::int64_t count_;
};

class DateSequence final : public Sequence {
 public:
  DateSequence(const DateFormatTable& formats, int format, const CalendarDate& start,
               const CalendarDate& end)
      : formats_(formats),
        format_(format),
        start_(DayNumber(start)),
        count_(std::max<std::int64_t>(DayNumber(end) - start_ + 1, 0)) {}
  std::int64_t Count() const override { return count_; }
  std::string Text(std::int64_t k) const override {
    return formats_.Format(format_, DateOfDayNumber(start_ + k));
  }
  std::int64_t FirstSameText(std::int64_t k, std::int64_t from) const override {
    const CalendarDate date = DateOfDayNumber(start_ + k);
    if (!formats_.ShowsYear(format_)) return FirstSameDay(date, from);
    if (formats_.ShowsDay(format_)) return k;
    // A month's days share a text, but for an era that begins within the month.
    std::int64_t first = std::max(from, k - (date.day - 1));
    const std::string text = Text(k);
    while (Text(first) != text) ++first;
    return first;
  }
  std::optional<std::int64_t> FirstEmptyText(std::int64_t) const override { return std::nullopt; }

 private:
  // A format without the year writes a month and a day: the text comes again every year.
  std::int64_t FirstSameDay(const CalendarDate& date, std::int64_t from) const {
    const std::int64_t fromDay = start_ + from;
    for (int year = DateOfDayNumber(fromDay).year;; ++year) {
      const CalendarDate candidate{year, date.month, date.day};
      const std::int64_t day = DayNumber(candidate);
      // 29 February of a common year is no date.
      if (day >= fromDay && DateOfDayNumber(day) == candidate) return day - start_;
    }
  }

  const DateFormatTable& formats_;  // not owned: the window's table outlives every run
  int format_;
  std::int64_t start_;
  std::int64_t count_;
};

class LetterSequence final : public Sequence {
 public:
  LetterSequence(std::int64_t count, int letters, bool lowerCase)
      : count_(std::max<std::int64_t>(count, 0)), letters_(letters), lowerCase_(lowerCase) {}
  std::int64_t Count() const override { return count_; }
  std::string Text(std::int64_t k) const override { return LetterText(k, letters_, lowerCase_); }
  // The texts come round every 26 to the power of the letters.
  std::int64_t FirstSameText(std::int64_t k, std::int64_t from) const override {
    std::int64_t period = 1;
    for (int letter = 0; letter < letters_; ++letter) period *= 26;
    return from + (k - from) % period;
  }
  std::optional<std::int64_t> FirstEmptyText(std::int64_t from) const override {
    if (letters_ > 0 || from >= count_) return std::nullopt;
    return from;
  }

 private:
  std::int64_t count_;
  int letters_;
  bool lowerCase_;
};

// The none kind makes one folder per free line, with no sequence text.
class NoSequence final : public Sequence {
 public:
  explicit NoSequence(int freeLines) : count_(std::max(freeLines, 0)) {}
  std::int64_t Count() const override { return count_; }
  std::string Text(std::int64_t) const override { return {}; }
  std::int64_t FirstSameText(std::int64_t, std::int64_t from) const override { return from; }
  std::optional<std::int64_t> FirstEmptyText(std::int64_t from) const override {
    if (from >= count_) return std::nullopt;
    return from;
  }

 private:
  std::int64_t count_;
};

}  // namespace

std::unique_ptr<Sequence> ReadSequence(const TierTemplate& tier, const DateFormatTable& formats) {
  switch (tier.Kind()) {
    case SequenceKind::Number: {
      const int digits = DigitCount(tier);
      const int start = ToInteger(tier.StartNumberText());
      const int end = ToInteger(tier.EndNumberText());
      return std::make_unique<NumberSequence>(digits, start, end);
    }
    case SequenceKind::Date:
      return std::make_unique<DateSequence>(formats, tier.DateFormatIndex(), tier.StartDate(),
                                            tier.EndDate());
    case SequenceKind::Letters:
      return std::make_unique<LetterSequence>(ToIntegerOr(tier.FolderCountText(), 1),
                                              LettersPerName(tier), LowerCase(tier));
    case SequenceKind::None: break;
  }
  return std::make_unique<NoSequence>(tier.FreeLineCount());
}

std::string FirstSequenceText(const TierTemplate& tier, const DateFormatTable& formats) {
  switch (tier.Kind()) {
    case SequenceKind::Number: {
      const int digits = DigitCount(tier);
      return FormatNumber(ToInteger(tier.StartNumberText()), digits);
    }
    case SequenceKind::Date: return formats.Format(tier.DateFormatIndex(), tier.StartDate());
    case SequenceKind::Letters: return LetterText(0, LettersPerName(tier), LowerCase(tier));
    case SequenceKind::None: break;
  }
  return {};
}

std::string LetterText(std::int64_t k, int letters, bool lowerCase) {
  const char base = lowerCase ? 'a' : 'A';
  std::string text(static_cast<std::size_t>(std::max(letters, 0)), base);
  for (auto letter = text.rbegin(); letter != text.rend() && k > 0; ++letter, k /= 26) {
    *letter = static_cast<char>(base + k % 26);
  }
  return text;
}

}  // namespace naming
