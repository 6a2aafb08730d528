#pragma once
// Which encoding a text file was saved in, as today's editors save them (Windows Notepad: UTF-8
// without a byte-order mark), and the way of a Unicode file's text into the code page, line by
// line.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace naming {

enum class TextEncoding { CodePage, Utf8, Utf16LittleEndian, Utf16BigEndian };

// By the byte-order mark (UTF-8, UTF-16 either way round); without one, UTF-8 when the bytes are
// valid UTF-8 holding at least one multi-byte sequence; else the code page.
TextEncoding EncodingOf(std::string_view bytes);

// The text of a Unicode file in UTF-16, without its byte-order mark; none when the bytes are not
// valid in that encoding (a broken UTF-8 sequence, UTF-16 of an odd length).
std::optional<std::u16string> DecodeUnicode(std::string_view bytes, TextEncoding encoding);

// Converts a piece of text into the code page: false when it lacks characters of it, which then
// stand in `bytes` as their codes, "(U+00E9)".
using CodePageConverter = std::function<bool(std::u16string_view text, std::string& bytes)>;

struct CodePageLines {
  std::string text;
  std::vector<int> inexactLines;  // counted from 1; a line ends at CR LF, CR or LF
};

// The text in the code page, and which lines lost characters on the way.
CodePageLines ToCodePageLines(std::u16string_view text, const CodePageConverter& convert);

}  // namespace naming
