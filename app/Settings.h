#pragma once
// The settings file "Tessarin.ini": the main window's position from one run to the next, and the
// template files last opened or saved.

#include <optional>
#include <string>
#include <string_view>

namespace app {

// A stored integer as the settings file holds it: "0x" or "0X" followed by hexadecimal digits when
// the text is longer than two characters (up to eight digits, read as a 32-bit pattern), a signed
// decimal integer otherwise; `fallback` for anything else.
int StoredInteger(std::string_view text, int fallback);

// One private-profile file, named as given. A bare name resolves to the Windows directory; the
// program never adds a directory of its own.
class TSettingsFile {
 public:
  explicit TSettingsFile(std::string fileName) : fileName_(std::move(fileName)) {}

  const std::string& FileName() const { return fileName_; }

  // The key's text; empty when the file, the section or the key is missing, none when the value
  // is too long to read (over a megabyte).
  std::optional<std::string> ReadString(const char* section, const char* key) const;
  // The key's value, or `fallback` when the file, the section or the key is missing or the value is
  // no integer. Reading never creates the file.
  int ReadInteger(const char* section, const char* key, int fallback) const;
  // Writes the value as decimal text at once, creating the file and the section when missing.
  // False when the file cannot be written.
  bool WriteInteger(const char* section, const char* key, int value) const;
  bool WriteString(const char* section, const char* key, const std::string& value) const;

 private:
  std::string fileName_;
};

}  // namespace app
