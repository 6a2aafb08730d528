#include <gtest/gtest.h>

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

}  // namespace
}  // namespace naming::test
