#pragma once
// Integers to and from the texts of fields and names.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace naming {

// A field text that is not a decimal integer fitting 32 bits. what() is the message the
// application's error box shows, "'%s' は整数ではありません" with the field's text.
class ConversionError : public std::runtime_error {
 public:
  explicit ConversionError(std::string_view text);
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

// The text as a decimal integer with an optional sign ("+" or "-") and at least one digit,
// nothing else around it, within the 32-bit signed range. Throws ConversionError otherwise.
int ToInteger(std::string_view text);

// As ToInteger, but a text that is not such an integer gives `fallback` instead of an error.
int ToIntegerOr(std::string_view text, int fallback);

// The value in decimal with at least `digits` digits, zeros on the left, exactly as the format
// "%.*d" writes it: a value with more digits is written whole, never cut.
std::string FormatNumber(std::int64_t value, int digits);

}  // namespace naming
