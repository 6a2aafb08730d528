#include <gtest/gtest.h>

#include <utility>

#include "naming/Characters.h"

namespace naming::test {
namespace {

// The expected texts stand outside the checks: a check spells its arguments out in the code page.
TEST(Characters, APairIsOneCharacterALoneHalfItselfAndTheFirstFiveAreNamedByTheirCodes) {
  const std::u16string text =
      u"a😀\xD83D"
      u"b";
  std::vector<char32_t> read;
  for (std::size_t i = 0; i < text.size();) read.push_back(NextCharacter(text, i));
  EXPECT_EQ(read, (std::vector<char32_t>{u'a', 0x1F600, 0xD83D, u'b'}));
  const std::u16string three = u"「é」(U+00E9)、「😀」(U+1F600)、(U+D83D)";
  EXPECT_EQ(NamesOf({0xE9, 0x1F600, 0xD83D}), three);
  const std::vector<char32_t> seven = {0xD55C, 0xAE00, 0x011F, 0xE9, 0xA9, 0xB2, 0x1F600};
  const std::u16string fivePlusTwo =
      u"「한」(U+D55C)、「글」(U+AE00)、「ğ」(U+011F)、「é」(U+00E9)、「©」(U+00A9) ほか 2 文字";
  EXPECT_EQ(NamesOf(seven), fivePlusTwo);
  EXPECT_EQ(CodesOf(seven), "U+D55C、U+AE00、U+011F、U+00E9、U+00A9 ほか 2 文字");
}

TEST(Characters, TheOtherMappingsFormsAndFullWidthDigitsBecomeTheCodePagesOwn) {
  const std::pair<char16_t, char16_t> forms[] = {
      {u'\u301C', u'\uFF5E'}, {u'\u2212', u'\uFF0D'}, {u'\u2014', u'\u2015'},
      {u'\u2016', u'\u2225'}, {u'\u00A2', u'\uFFE0'}, {u'\u00A3', u'\uFFE1'},
      {u'\u00AC', u'\uFFE2'}, {u'\uFF5E', u'\uFF5E'}, {u'a', u'a'}};
  for (const auto& [from, to] : forms) EXPECT_EQ(CodePageForm(from), to) << CodeOf(from);
  for (char16_t digit = 0; digit < 10; ++digit)
    EXPECT_EQ(HalfWidthDigit(static_cast<char16_t>(u'\uFF10' + digit)), u'0' + digit);
  for (char16_t other : {u'\uFF0F', u'\uFF1A', u'5', u'a'}) EXPECT_EQ(HalfWidthDigit(other), other);
}

}  // namespace
}  // namespace naming::test
