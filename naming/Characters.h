#pragma once
// Characters arriving in UTF-16 (typed, pasted, read from a file, given on the command line) on
// their way into code page 932: the forms of the other common Japanese mapping taken as this code
// page's, and how a character the code page lacks is named to the user. The conversion itself is
// the platform's.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace naming {

// The character code page 932 has for `unit` where the other common Japanese mapping gives the
// same character another code: 〜 U+301C as ～ U+FF5E, − U+2212 as － U+FF0D, — U+2014 as ― U+2015,
// ‖ U+2016 as ∥ U+2225, and ¢ £ ¬ as ￠ ￡ ￢. Any other unit is itself.
char16_t CodePageForm(char16_t unit);

// Full-width digits ０ to ９, as an input method in full-width mode types them, as 0 to 9; any
// other unit is itself.
char16_t HalfWidthDigit(char16_t unit);

// The character that starts at text[i], moving i past it: a surrogate pair is one character, a
// lone surrogate stands for itself.
char32_t NextCharacter(std::u16string_view text, std::size_t& i);

// The character in UTF-16: one unit, or a surrogate pair.
std::u16string Utf16Of(char32_t character);

// The character's code: "U+00E9", "U+1F600".
std::string CodeOf(char32_t character);

// Characters the code page lacks, named for a Unicode message: 「é」(U+00E9)、「😀」(U+1F600). A
// lone surrogate, which no font shows, by its code alone. The first five; then how many more.
std::u16string NamesOf(const std::vector<char32_t>& characters);

// The same for a message in the code page, where they cannot show: U+00E9、U+1F600.
std::string CodesOf(const std::vector<char32_t>& characters);

}  // namespace naming
