#include <gtest/gtest.h>

#include <climits>

#include "naming/Calendar.h"
#include "naming/Integer.h"
#include "naming/Sequence.h"
#include "testkit/TestTier.h"

namespace naming::test {
namespace {

// Answers the probe date as a Japanese-era platform would, and 令和01 for every other date, so
// that a test sees whether the platform or the table answered.
struct FakeCalendar final : AlternativeCalendar {
  bool japanese;
  explicit FakeCalendar(bool japanese) : japanese(japanese) {}
  std::optional<EraText> EraOf(const CalendarDate& date) const override {
    if (!japanese) return EraText{"西暦", "04"};
    if (date == CalendarDate{2004, 2, 3}) return EraText{"平成", "16"};
    return EraText{"令和", "01"};
  }
};

const DateFormatTable kTable = DateTypeInit(std::make_unique<FakeCalendar>(false));

using Strings = std::vector<std::string>;

Strings Texts(const TestTier& tier) {
  const auto sequence = ReadSequence(tier, kTable);
  Strings texts;
  for (std::int64_t k = 0; k < sequence->Count(); ++k) texts.push_back(sequence->Text(k));
  return texts;
}

template <class Read>
std::string RejectedText(Read read) {
  try {
    read();
  } catch (const ConversionError& error) {
    return error.Text();
  }
  return "(accepted)";
}

TEST(Integer, AcceptsOnlySignedDecimalsWithin32Bits) {
  EXPECT_EQ(ToInteger("0"), 0);
  EXPECT_EQ(ToInteger("+007"), 7);
  EXPECT_EQ(ToInteger("2147483647"), INT_MAX);
  EXPECT_EQ(ToInteger("-2147483648"), INT_MIN);
  for (const char* bad : {"", "+", "-", "1.5", "3-", " 1", "1 ", "2147483648", "-2147483649",
                          "99999999999999999999", "0x10", "１"}) {
    EXPECT_THROW(ToInteger(bad), ConversionError) << bad;
  }
  EXPECT_STREQ(ConversionError("1.5").what(), "'1.5' は整数ではありません");
  EXPECT_EQ(ToIntegerOr("abc", 1), 1);
}

TEST(NumberSequence, CountsAndPadsWithoutCutting) {
  TestTier tier;
  tier.start = "7", tier.end = "7", tier.digits = "3";
  EXPECT_EQ(Texts(tier), (Strings{"007"}));
  tier.start = "98", tier.end = "102", tier.digits = "2";
  EXPECT_EQ(Texts(tier), (Strings{"98", "99", "100", "101", "102"}));
  tier.start = "5", tier.end = "4";
  EXPECT_EQ(ReadSequence(tier, kTable)->Count(), 0);
  // The whole 32-bit span neither overflows the count nor the values.
  tier.start = "-2147483648", tier.end = "2147483647";
  const auto wide = ReadSequence(tier, kTable);
  EXPECT_EQ(wide->Count(), 4294967296LL);
  EXPECT_EQ(wide->Text(wide->Count() - 1), "2147483647");
  // A typed digit count beyond the field's 10 is capped, not honoured.
  tier.start = "1", tier.end = "1", tier.digits = "1000000000";
  EXPECT_EQ(Texts(tier), (Strings{"0000000001"}));
}

TEST(NumberSequence, ReportsTheFirstBadFieldInReadingOrder) {
  TestTier tier;
  tier.digits = "x", tier.start = "1.5", tier.end = "y";
  EXPECT_EQ(RejectedText([&] { ReadSequence(tier, kTable); }), "x");
  tier.digits = "2";
  EXPECT_EQ(RejectedText([&] { ReadSequence(tier, kTable); }), "1.5");
  // The sample reads only digit count and start: a bad end number is no error there.
  tier.digits = "2", tier.start = "3";
  EXPECT_EQ(FirstSequenceText(tier, kTable), "03");
}

TEST(DateSequence, StepsOneDayAcrossMonthsAndLeapDays) {
  TestTier tier;
  tier.kind = SequenceKind::Date;
  tier.startDate = {2004, 1, 31}, tier.endDate = {2004, 3, 1};
  const auto texts = Texts(tier);
  ASSERT_EQ(texts.size(), 31u);
  EXPECT_EQ(texts[1], "2004-02-01");
  EXPECT_EQ(texts[29], "2004-02-29");
  tier.endDate = tier.startDate;
  EXPECT_EQ(Texts(tier).size(), 1u);
  tier.endDate = {2004, 1, 30};
  EXPECT_EQ(Texts(tier).size(), 0u);
  // Day numbers stay consistent over the whole range a date picker offers.
  for (std::int64_t day = DayNumber({1601, 1, 1}); day <= DayNumber({9999, 12, 31}); day += 97) {
    EXPECT_EQ(DayNumber(DateOfDayNumber(day)), day);
  }
}

TEST(DateFormats, WritesEveryEntryAndFallsBackToTheFirst) {
  const CalendarDate date{2004, 2, 3};
  const Strings expected = {"2004-02-03",       "2004-02",      "02-03",          "03-02-2004",
                            "02-2004",          "03-02",        "2004年02月03日", "2004年02月",
                            "平成16年02月03日", "平成16年02月", "02月03日"};
  for (int i = 0; i < DateFormatTable::kCount; ++i) EXPECT_EQ(kTable.Format(i, date), expected[i]);
  EXPECT_EQ(kTable.Format(-1, date), expected[0]);
  EXPECT_EQ(kTable.Format(11, date), expected[0]);
}

TEST(JapaneseEra, TableIsRightOnBothSidesOfEveryBoundary) {
  const JapaneseEra table(std::make_unique<FakeCalendar>(false));  // fails the probe, like Wine
  ASSERT_FALSE(table.UsesPlatform());
  const std::pair<CalendarDate, EraText> cases[] = {
      {{1868, 1, 1}, {"明治", "01"}},   {{1912, 7, 29}, {"明治", "45"}},
      {{1912, 7, 30}, {"大正", "01"}},  {{1926, 12, 24}, {"大正", "15"}},
      {{1926, 12, 25}, {"昭和", "01"}}, {{1989, 1, 7}, {"昭和", "64"}},
      {{1989, 1, 8}, {"平成", "01"}},   {{2019, 4, 30}, {"平成", "31"}},
      {{2019, 5, 1}, {"令和", "01"}},   {{2118, 1, 1}, {"令和", "100"}},
      {{1867, 12, 31}, {"", "1867"}},  // before the first era: no name, the Gregorian year
  };
  for (const auto& [date, era] : cases) EXPECT_EQ(table.Of(date), era) << date.year;
}

TEST(JapaneseEra, UsesThePlatformOnlyWhenItPassesTheProbe) {
  const JapaneseEra platform(std::make_unique<FakeCalendar>(true));
  EXPECT_TRUE(platform.UsesPlatform());
  EXPECT_EQ(platform.Of({1990, 1, 1}), (EraText{"令和", "01"}));  // the platform's answer
  EXPECT_EQ(platform.Of({1867, 1, 1}), (EraText{"", "1867"}));    // never asked before 1868
  EXPECT_FALSE(JapaneseEra(nullptr).UsesPlatform());
}

TEST(LetterSequence, CountsInBase26AndWraps) {
  TestTier tier;
  tier.kind = SequenceKind::Letters;
  tier.folderCount = "28";
  const auto upper = Texts(tier);
  EXPECT_EQ(upper[0], "A");
  EXPECT_EQ(upper[25], "Z");
  EXPECT_EQ((Strings{upper[26], upper[27]}), (Strings{"A", "B"}));
  tier.folderCount = "3", tier.lettersPerName = "3", tier.letterCase = 1;
  EXPECT_EQ(Texts(tier), (Strings{"aaa", "aab", "aac"}));
  EXPECT_EQ(LetterText(675, 2, false), "ZZ");
  EXPECT_EQ(LetterText(676, 2, false), "AA");
  // Texts that are not integers count as 1; a typed count beyond 10 letters is capped.
  tier.folderCount = "1.5", tier.lettersPerName = "abc";
  EXPECT_EQ(Texts(tier), (Strings{"a"}));
  tier.lettersPerName = "2000000000";
  EXPECT_EQ(Texts(tier), (Strings{"aaaaaaaaaa"}));
  tier.folderCount = "0";
  EXPECT_EQ(Texts(tier).size(), 0u);
}

}  // namespace
}  // namespace naming::test
