#include "naming/TextEncoding.h"

namespace naming {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";

bool StartsWith(std::string_view bytes, std::string_view mark) {
  return bytes.substr(0, mark.size()) == mark;
}

// Decodes one UTF-8 sequence at bytes[i], moving i past it; none for a broken, overlong or
// surrogate sequence.
std::optional<char32_t> NextUtf8(std::string_view bytes, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(bytes[i++]);
  if (lead < 0x80) return lead;
  int more = 0;
  char32_t value = 0;
  char32_t least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    more = 1, value = lead & 0x1F, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    more = 2, value = lead & 0x0F, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    more = 3, value = lead & 0x07, least = 0x10000;
  } else {
    return std::nullopt;
  }
  for (; more > 0; --more) {
    if (i >= bytes.size()) return std::nullopt;
    const auto next = static_cast<unsigned char>(bytes[i++]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    value = value << 6 | (next & 0x3F);
  }
  if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
    return std::nullopt;
  return value;
}

std::optional<std::u16string> DecodeUtf8(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const std::optional<char32_t> character = NextUtf8(bytes, i);
    if (!character) return std::nullopt;
    if (*character < 0x10000) {
      text += static_cast<char16_t>(*character);
    } else {
      text += static_cast<char16_t>(0xD800 + ((*character - 0x10000) >> 10));
      text += static_cast<char16_t>(0xDC00 + ((*character - 0x10000) & 0x3FF));
    }
  }
  return text;
}

std::optional<std::u16string> DecodeUtf16(std::string_view bytes, bool bigEndian) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  std::u16string text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto first = static_cast<unsigned char>(bytes[2 * i]);
    const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
    text[i] = static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
  }
  return text;
}

}  // namespace

TextEncoding EncodingOf(std::string_view bytes) {
  if (StartsWith(bytes, kUtf8Mark)) return TextEncoding::Utf8;
  if (StartsWith(bytes, kUtf16LittleEndianMark)) return TextEncoding::Utf16LittleEndian;
  if (StartsWith(bytes, kUtf16BigEndianMark)) return TextEncoding::Utf16BigEndian;
  bool multiByte = false;
  for (std::size_t i = 0; i < bytes.size();) {
    if (!NextUtf8(bytes, i)) return TextEncoding::CodePage;
    multiByte = multiByte || static_cast<unsigned char>(bytes[i - 1]) >= 0x80;
  }
  return multiByte ? TextEncoding::Utf8 : TextEncoding::CodePage;
}

std::optional<std::u16string> DecodeUnicode(std::string_view bytes, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8:
      return DecodeUtf8(StartsWith(bytes, kUtf8Mark) ? bytes.substr(kUtf8Mark.size()) : bytes);
    case TextEncoding::Utf16LittleEndian: return DecodeUtf16(bytes.substr(2), false);
    case TextEncoding::Utf16BigEndian: return DecodeUtf16(bytes.substr(2), true);
    case TextEncoding::CodePage: break;
  }
  return std::nullopt;
}

CodePageLines ToCodePageLines(std::u16string_view text, const CodePageConverter& convert) {
  CodePageLines lines;
  // Most files convert whole; only one that does not is gone through line by line.
  if (convert(text, lines.text)) return lines;
  lines.text.clear();
  std::string bytes;
  int number = 0;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find_first_of(u"\r\n", start);
    if (end == std::u16string_view::npos) end = text.size();
    ++number;
    if (!convert(text.substr(start, end - start), bytes)) lines.inexactLines.push_back(number);
    lines.text += bytes;
    // The line break as it was: CR LF, CR or LF.
    std::size_t next = end;
    if (next < text.size() && text[next] == u'\r') ++next;
    if (next < text.size() && text[next] == u'\n' && (next == end || text[end] == u'\r')) ++next;
    lines.text.append(text.begin() + static_cast<std::ptrdiff_t>(end),
                      text.begin() + static_cast<std::ptrdiff_t>(next));
    start = next;
  }
  return lines;
}

}  // namespace naming
