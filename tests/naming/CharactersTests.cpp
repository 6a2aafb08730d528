#include <gtest/gtest.h>

#include "naming/Characters.h"

namespace naming::test {
namespace {

TEST(Characters, TheOtherJapaneseMappingsFormsBecomeThisCodePagesAndNothingElseChanges) {
  const std::u16string jis = u"〜−—‖¢£¬";
  const std::u16string windows = u"～－―∥￠￡￢";
  for (std::size_t i = 0; i < jis.size(); ++i) EXPECT_EQ(CodePageForm(jis[i]), windows[i]) << i;
  for (char16_t unit : u"a～－―∥￠￡￢é\\¥") EXPECT_EQ(CodePageForm(unit), unit);
}

TEST(Characters, FullWidthDigitsAreDigitsAndOtherFullWidthCharactersStay) {
  const std::u16string digits = u"０５９";
  EXPECT_EQ(std::u16string(
                {HalfWidthDigit(digits[0]), HalfWidthDigit(digits[1]), HalfWidthDigit(digits[2])}),
            u"059");
  for (char16_t unit : u"／：ａ1+") EXPECT_EQ(HalfWidthDigit(unit), unit);
}

TEST(Characters, SurrogatePairsAreOneCharacterAndLoneHalvesStandForThemselves) {
  const std::u16string text =
      u"a😀\xD83D"
      u"b\xDE00\xD83D";
  std::vector<char32_t> read;
  for (std::size_t i = 0; i < text.size();) read.push_back(NextCharacter(text, i));
  EXPECT_EQ(read, (std::vector<char32_t>{u'a', 0x1F600, 0xD83D, u'b', 0xDE00, 0xD83D}));
  const std::u16string smile = u"😀", eAcute = u"é";
  EXPECT_EQ(Utf16Of(0x1F600), smile);
  EXPECT_EQ(Utf16Of(0xE9), eAcute);
}

// The expected texts stand outside the checks: a check spells its arguments out in the code page.
TEST(Characters, RefusedCharactersAreNamedWithTheirCodesTheFirstFiveThenACount) {
  const std::u16string three = u"「é」(U+00E9)、「😀」(U+1F600)、(U+D83D)";
  const std::u16string fivePlusTwo =
      u"「한」(U+D55C)、「글」(U+AE00)、「ğ」(U+011F)、「é」(U+00E9)、「©」(U+00A9) ほか 2 文字";
  EXPECT_EQ(CodeOf(0xE9), "U+00E9");
  EXPECT_EQ(CodeOf(0x1F600), "U+1F600");
  EXPECT_EQ(NamesOf({0xE9, 0x1F600, 0xD83D}), three);
  EXPECT_EQ(CodesOf({0xE9, 0x1F600}), "U+00E9、U+1F600");
  const std::vector<char32_t> seven = {0xD55C, 0xAE00, 0x011F, 0xE9, 0xA9, 0xB2, 0x1F600};
  EXPECT_EQ(NamesOf(seven), fivePlusTwo);
  EXPECT_EQ(CodesOf(seven), "U+D55C、U+AE00、U+011F、U+00E9、U+00A9 ほか 2 文字");
}

}  // namespace
}  // namespace naming::test
