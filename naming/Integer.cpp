#include "naming/Integer.h"

#include <optional>

namespace naming {

namespace {

std::string ConversionMessage(std::string_view text) {
  std::string message = "'";
  message += text;
  message += "' は整数ではありません";
  return message;
}

std::optional<int> Parse(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  // Accumulate the magnitude in 64 bits: ten digits of 32-bit range cannot overflow it, and
  // a longer text is out of range anyway.
  const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT32_MIN) : INT32_MAX;
  std::int64_t magnitude = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > limit) return std::nullopt;
  }
  return static_cast<int>(negative ? -magnitude : magnitude);
}

}  // namespace

ConversionError::ConversionError(std::string_view text)
    : std::runtime_error(ConversionMessage(text)), text_(text) {}

int ToInteger(std::string_view text) {
  const std::optional<int> value = Parse(text);
  if (!value) throw ConversionError(text);
  return *value;
}

int ToIntegerOr(std::string_view text, int fallback) { return Parse(text).value_or(fallback); }

std::string FormatNumber(std::int64_t value, int digits) {
  const std::uint64_t magnitude =
      value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  // As printf: a negative precision counts as 1, and precision 0 writes nothing for the value 0.
  const std::string written = digits == 0 && magnitude == 0 ? "" : std::to_string(magnitude);
  const std::size_t width = digits < 0 ? 1 : static_cast<std::size_t>(digits);
  std::string out = value < 0 ? "-" : "";
  if (written.size() < width) out.append(width - written.size(), '0');
  return out + written;
}

}  // namespace naming
