#include "naming/TextEncoding.h"

#include <gtest/gtest.h>

#include <string>

#include "naming/Characters.h"

namespace naming {
namespace {

using namespace std::string_literals;

// 写真 as each encoding has it: U+5199 U+771F.
const std::string kUtf8 = [] {
  const std::u8string_view text = u8"写真";
  return std::string(text.begin(), text.end());
}();
const std::string kUtf16Le = "\x99\x51\x1F\x77";
const std::string kUtf16Be = "\x51\x99\x77\x1F";

TEST(TextEncoding, TheMarkDecidesElseValidUtf8WithAMultiByteSequenceElseTheCodePage) {
  const std::pair<std::string, TextEncoding> files[] = {
      {"\xEF\xBB\xBF[Tessarin]", TextEncoding::Utf8},
      {"\xFF\xFE[\0"s, TextEncoding::Utf16LittleEndian},
      {"\xFE\xFF\0["s, TextEncoding::Utf16BigEndian},
      {"Front=" + kUtf8, TextEncoding::Utf8},                   // Notepad's default
      {"Front=写真", TextEncoding::CodePage},                   // 8E CA 90 5E: no UTF-8
      {"Front=plain", TextEncoding::CodePage},                  // ASCII reads alike
      {"Front=" + kUtf8 + "\xE5\x86", TextEncoding::CodePage},  // cut short
      {"Front=\xC0\xAF", TextEncoding::CodePage},               // an overlong "/"
      {"Front=\xED\xA0\x80", TextEncoding::CodePage},           // a surrogate
  };
  for (const auto& [bytes, encoding] : files) EXPECT_EQ(EncodingOf(bytes), encoding) << bytes;
}

TEST(TextEncoding, UnicodeFilesDecodeWithoutTheirMarkAndBrokenOnesDoNot) {
  const std::u16string photo = u"写真";
  EXPECT_EQ(DecodeUnicode(kUtf8, TextEncoding::Utf8), photo);
  EXPECT_EQ(DecodeUnicode("\xEF\xBB\xBF" + kUtf8, TextEncoding::Utf8), photo);
  EXPECT_EQ(DecodeUnicode("\xFF\xFE" + kUtf16Le, TextEncoding::Utf16LittleEndian), photo);
  EXPECT_EQ(DecodeUnicode("\xFE\xFF" + kUtf16Be, TextEncoding::Utf16BigEndian), photo);
  EXPECT_EQ(DecodeUnicode("\xEF\xBB\xBF\x80", TextEncoding::Utf8), std::nullopt);
  EXPECT_EQ(DecodeUnicode("\xFF\xFE\x99\x51\x1F", TextEncoding::Utf16LittleEndian), std::nullopt);
}

// Converts ASCII only, each other character standing as its code.
bool AsciiOnly(std::u16string_view text, std::string& bytes) {
  bytes.clear();
  bool exact = true;
  for (std::size_t i = 0; i < text.size();) {
    const char32_t character = NextCharacter(text, i);
    if (character < 0x80) {
      bytes += static_cast<char>(character);
    } else {
      bytes += "(" + CodeOf(character) + ")";
      exact = false;
    }
  }
  return exact;
}

TEST(TextEncoding, OnlyTheLinesThatLostCharactersAreNamedCountedAsTheReaderCounts) {
  EXPECT_TRUE(ToCodePageLines(u"a\r\nb\nc", AsciiOnly).inexactLines.empty());
  // CR LF, LF, CR and a CR before CR LF each end one line.
  const CodePageLines lost = ToCodePageLines(u"é\r\nb\nc😀\r\r\nx\rë", AsciiOnly);
  EXPECT_EQ(lost.text, "(U+00E9)\r\nb\nc(U+1F600)\r\r\nx\r(U+00EB)");
  EXPECT_EQ(lost.inexactLines, (std::vector<int>{1, 3, 6}));
}

}  // namespace
}  // namespace naming
