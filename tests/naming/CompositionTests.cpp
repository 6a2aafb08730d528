#include <gtest/gtest.h>

#include "naming/Composition.h"
#include "naming/Integer.h"
#include "naming/Sample.h"
#include "testkit/TestTier.h"

namespace naming::test {
namespace {

// Literals are code page 932 in both builds: ソフト is 83 5C 83 74 83 67, 表 95 5C, ポ 83 7C (trail
// bytes that equal \ and |).
const std::string kSofuto = "ソフト";
const std::string kSofutoHyouPo = "ソフト表ポ";

TEST(Composition, TestDataIsInTheProgramsCodePage) {
  EXPECT_EQ(kSofutoHyouPo, "\x83\x5C\x83\x74\x83\x67\x95\x5C\x83\x7C");
  EXPECT_EQ(std::string("ｱﾃﾞ"), "\xB1\xC3\xDE");  // half-width kana: one byte each
}

TEST(Composition, JoinsInPatternOrderWithoutTrimming) {
  const char* expected[] = {"ASB", "ASBF", "ASFB", "AFSB", "FASB"};
  for (int pattern = 0; pattern < 5; ++pattern) {
    EXPECT_EQ(ComposeName(pattern, "A", "S", "B", "F"), expected[pattern]);
  }
  EXPECT_EQ(ComposeName(-1, "A", "S", "B", "F"), "ASB");
  EXPECT_EQ(ComposeName(2, " a", "", "b ", ""), " ab ");
  EXPECT_EQ(FolderPath("C:\\", "x"), "C:\\\\x");
  EXPECT_EQ(FolderPath("C:\\work", ""), "C:\\work\\");
}

TEST(ForbiddenCharacters, FindsAllTwelveButNeverATrailByte) {
  for (char c : std::string("\\?/\";:,<>!*|")) EXPECT_TRUE(HasForbiddenCharacter({&c, 1})) << c;
  EXPECT_FALSE(HasForbiddenCharacter("a b.c-d_(e)"));
  EXPECT_FALSE(HasForbiddenCharacter(kSofutoHyouPo));
  EXPECT_TRUE(HasForbiddenCharacter(kSofuto + "\\"));
  EXPECT_TRUE(
      HasForbiddenCharacter("\x83"
                            "|"
                            "\x5C"));           // lead byte pairs with |, then a real \ .
  EXPECT_FALSE(HasForbiddenCharacter("\x83"));  // a lone lead byte at the end
  EXPECT_EQ(ForbiddenCharacterMessage(),
            "ファイル名に使用できない文字[ \\?/\";:,<>!*| ]があるため\r\n"
            "フォルダを作成できませんでした");
}

TEST(ForbiddenCharacters, SearchesOnlyTheTextsARunUses) {
  TestTier parent, child;
  EXPECT_TRUE(CharErrCheck(parent, child, true));
  parent.front = "a/b";
  EXPECT_FALSE(CharErrCheck(parent, child, false));
  parent.front = kSofuto;
  parent.lines = {"ok", "x!y"};  // the second line is past the last folder: searched all the same
  EXPECT_TRUE(CharErrCheck(parent, child, false));
  parent.pattern = 1;
  EXPECT_FALSE(CharErrCheck(parent, child, false));
  parent.pattern = 0;
  child.front = "a:b";
  EXPECT_TRUE(CharErrCheck(parent, child, false));
  EXPECT_FALSE(CharErrCheck(parent, child, true));
  child.front.clear();
  child.back = "c*";
  EXPECT_FALSE(CharErrCheck(parent, child, true));
}

TEST(BrokenDoubleByte, ALeadByteNeedsASecondByteInTheSameText) {
  EXPECT_FALSE(HasBrokenDoubleByteCharacter(kSofutoHyouPo));
  EXPECT_FALSE(HasBrokenDoubleByteCharacter("ｱﾟ"));  // half-width katakana are single bytes
  for (const char* broken : {"c\x81", "\xE4", "\x83\x5C\x83", "\x81\r\n", "\x81\x7F", "\xE0\xFD"}) {
    EXPECT_TRUE(HasBrokenDoubleByteCharacter(broken)) << broken;
  }
  // Each field that a run joins into names, in both tiers; unused free lines and an unwanted child
  // tier are not names.
  TestTier parent, child;
  parent.lines = {"c\x81"};
  EXPECT_TRUE(DoubleByteCheck(parent, child, false));
  parent.pattern = 4;
  EXPECT_FALSE(DoubleByteCheck(parent, child, false));
  EXPECT_TRUE(CharErrCheck(parent, child, false));
  parent = TestTier{}, parent.back = "\xE4";
  EXPECT_FALSE(DoubleByteCheck(parent, child, false));
  parent.back.clear(), child.front = "a\x81";
  EXPECT_TRUE(DoubleByteCheck(parent, child, false));
  EXPECT_FALSE(DoubleByteCheck(parent, child, true));
  child.front.clear(), child.pattern = 2, child.lines = {"ok", "\x95"};
  EXPECT_FALSE(DoubleByteCheck(parent, child, true));
}

TEST(NewNames, RefuseEmptyForbiddenAndTooLongNamesForTheirFolder) {
  EXPECT_EQ(CheckNewName("a b.c;d,e!" + kSofutoHyouPo, "C:\\w"), NameRefusal::None);  // trail bytes
  EXPECT_EQ(CheckNewName("", "C:\\w"), NameRefusal::Empty);
  for (char c : std::string("\\/:*?\"<>|"))
    EXPECT_EQ(CheckNewName(std::string("a") + c, "C:\\w"), NameRefusal::ForbiddenCharacter) << c;
  // 259 characters of path in all, a double-byte character counting once; 255 for a name.
  EXPECT_EQ(LongestName("C:\\w"), 254);
  EXPECT_EQ(LongestName("C:\\ソ"), 254);  // ends in a second byte 5C, no separator
  EXPECT_EQ(LongestName("C:\\"), 255);
  EXPECT_EQ(LongestName("C:\\" + std::string(300, 'x')), 0);
  std::string wide;
  for (int i = 0; i < 254; ++i) wide += "表";
  EXPECT_EQ(CheckNewName(wide, "C:\\w"), NameRefusal::None);
  EXPECT_EQ(CheckNewName(wide + "x", "C:\\w"), NameRefusal::TooLong);
  EXPECT_EQ(NameRefusalMessage(NameRefusal::TooLong, "", 254),
            "名前が長すぎます。この場所では 254 文字までです。");
}

TEST(Sample, ShowsTheFirstNameOfTheRun) {
  const DateFormatTable table = DateTypeInit(nullptr);
  TestTier tier;
  EXPECT_EQ(SampleName(tier, table), "0");
  tier.front = "x", tier.back = "y", tier.start = "1", tier.digits = "3", tier.end = "bad";
  EXPECT_EQ(SampleName(tier, table), "x001y");
  tier.pattern = 4, tier.lines = {"p", "q"};
  EXPECT_EQ(SampleName(tier, table), "px001y");
  tier.kind = SequenceKind::Letters, tier.letterCase = 1, tier.lettersPerName = "4";
  EXPECT_EQ(SampleName(tier, table), "pxaaaay");
  tier.lettersPerName = "0";  // the refilled field before it loses the focus
  EXPECT_EQ(SampleName(tier, table), "pxy");
  tier.kind = SequenceKind::Date, tier.dateFormat = -1;  // typed text matching no entry
  EXPECT_EQ(SampleName(tier, table), "px2004-02-03y");
  tier.kind = SequenceKind::Number, tier.start = "-";
  EXPECT_THROW(SampleName(tier, table), ConversionError);
}

}  // namespace
}  // namespace naming::test
