#include "app/Settings.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "naming/Integer.h"

namespace app {

namespace {

bool IsHexPrefixed(std::string_view text) {
  return text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

int StoredInteger(std::string_view text, int fallback) {
  if (!IsHexPrefixed(text)) return naming::ToIntegerOr(text, fallback);
  std::uint64_t value = 0;
  for (char c : text.substr(2)) {
    const int digit = HexDigit(c);
    if (digit < 0) return fallback;
    value = value * 16 + static_cast<unsigned>(digit);
    if (value > 0xFFFFFFFFu) return fallback;
  }
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::optional<std::string> TSettingsFile::ReadString(const char* section, const char* key) const {
  // The profile call cuts a value that does not fit and says so only by filling the buffer:
  // grow it until the whole value fits (leading zeros can make a valid integer long).
  constexpr std::size_t kLargest = 1 << 20;
  for (std::vector<char> buffer(256); buffer.size() <= kLargest; buffer.resize(buffer.size() * 4)) {
    const DWORD length = GetPrivateProfileStringA(
        section, key, "", buffer.data(), static_cast<DWORD>(buffer.size()), fileName_.c_str());
    if (length + 1 < buffer.size()) return std::string(buffer.data(), length);
  }
  return std::nullopt;
}

int TSettingsFile::ReadInteger(const char* section, const char* key, int fallback) const {
  const std::optional<std::string> text = ReadString(section, key);
  return text ? StoredInteger(*text, fallback) : fallback;
}

bool TSettingsFile::WriteString(const char* section, const char* key,
                                const std::string& value) const {
  return WritePrivateProfileStringA(section, key, value.c_str(), fileName_.c_str()) != FALSE;
}

bool TSettingsFile::WriteInteger(const char* section, const char* key, int value) const {
  return WriteString(section, key, std::to_string(value));
}

}  // namespace app
