#include "naming/FolderRule.h"

#include <array>

#include "naming/Composition.h"

namespace naming {

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// CON, NUL, COM1 and the like name a device in every folder, with any extension and spaces
// before it: Windows makes no folder of them (Wine says it made NUL and makes nothing).
bool IsDeviceName(std::string_view name) {
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  std::string upper(stem);
  for (char& c : upper) c = Upper(c);
  static constexpr std::array<std::string_view, 6> kDevices = {"CON", "PRN",    "AUX",
                                                               "NUL", "CONIN$", "CONOUT$"};
  for (std::string_view device : kDevices)
    if (upper == device) return true;
  const bool port = upper.size() == 4 && (upper.rfind("COM", 0) == 0 || upper.rfind("LPT", 0) == 0);
  return port && upper[3] >= '0' && upper[3] <= '9';
}

}  // namespace

PathMeasure::PathMeasure(std::string_view base)
    : base_(static_cast<std::size_t>(CharacterCount(base)) + (EndsWithSeparator(base) ? 0 : 1)) {}

std::size_t PathMeasure::Of(std::string_view name) const {
  return base_ + static_cast<std::size_t>(CharacterCount(name));
}

std::size_t PathMeasure::Of(std::string_view parent, std::string_view child) const {
  if (parent.empty()) return Of(child);
  return Of(parent) + 1 + static_cast<std::size_t>(CharacterCount(child));
}

std::string_view FolderRefusal(std::string_view name, std::size_t pathCharacters) {
  if (name.empty()) return {};
  // Windows drops them from the last name of a path: the folder made would have another name.
  if (name.back() == '.' || name.back() == ' ') return kTrailingPeriodOrSpace;
  if (IsDeviceName(name)) return kDeviceName;
  if (pathCharacters > kLongestFolderPath) return kPathTooLong;
  return {};
}

std::string JoinedPath(std::string_view base, std::string_view below) {
  std::string path(base);
  if (below.empty()) return path;
  if (!base.empty() && !EndsWithSeparator(base)) path += '\\';
  return path.append(below);
}

}  // namespace naming
