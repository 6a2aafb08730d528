#include "naming/Characters.h"

#include <cstdio>

namespace naming {

namespace {

constexpr std::size_t kNamed = 5;

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// u"" literals are UTF-16 whatever the code page of the narrow ones.
constexpr char16_t kComma[] = u"、";
constexpr char16_t kMore[] = u" ほか ";
constexpr char16_t kCharacters[] = u" 文字";

template <typename Text, typename Char, typename Name>
Text Listed(const std::vector<char32_t>& characters, const Char* comma, const Char* more,
            const Char* unit, Name name) {
  Text text;
  for (std::size_t i = 0; i < characters.size() && i < kNamed; ++i) {
    if (i > 0) text.append(comma);
    text.append(name(characters[i]));
  }
  if (characters.size() > kNamed) {
    const std::string count = std::to_string(characters.size() - kNamed);
    text.append(more).append(count.begin(), count.end()).append(unit);
  }
  return text;
}

}  // namespace

char16_t CodePageForm(char16_t unit) {
  switch (unit) {
    case u'\u301C': return u'\uFF5E';  // wave dash
    case u'\u2212': return u'\uFF0D';  // minus sign
    case u'\u2014': return u'\u2015';  // em dash
    case u'\u2016': return u'\u2225';  // double vertical line
    case u'\u00A2': return u'\uFFE0';  // cent sign
    case u'\u00A3': return u'\uFFE1';  // pound sign
    case u'\u00AC': return u'\uFFE2';  // not sign
    default: return unit;
  }
}

char16_t HalfWidthDigit(char16_t unit) {
  if (unit >= u'\uFF10' && unit <= u'\uFF19')
    return static_cast<char16_t>(u'0' + (unit - u'\uFF10'));
  return unit;
}

char32_t NextCharacter(std::u16string_view text, std::size_t& i) {
  const char32_t unit = text[i++];
  if (!IsHighSurrogate(unit) || i >= text.size() || !IsLowSurrogate(text[i])) return unit;
  const char32_t low = text[i++];
  return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
}

std::u16string Utf16Of(char32_t character) {
  if (character < 0x10000) return std::u16string(1, static_cast<char16_t>(character));
  const char32_t offset = character - 0x10000;
  return {static_cast<char16_t>(0xD800 + (offset >> 10)),
          static_cast<char16_t>(0xDC00 + (offset & 0x3FF))};
}

std::string CodeOf(char32_t character) {
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character));
  return code;
}

std::u16string NamesOf(const std::vector<char32_t>& characters) {
  return Listed<std::u16string>(characters, kComma, kMore, kCharacters, [](char32_t c) {
    std::u16string name;
    // A lone surrogate, which no font shows, goes by its code alone.
    if (!IsHighSurrogate(c) && !IsLowSurrogate(c))
      name.append(u"「").append(Utf16Of(c)).append(u"」");
    const std::string code = CodeOf(c);
    return name.append(u"(").append(code.begin(), code.end()).append(u")");
  });
}

std::string CodesOf(const std::vector<char32_t>& characters) {
  return Listed<std::string>(characters, "、", " ほか ", " 文字", CodeOf);
}

}  // namespace naming
