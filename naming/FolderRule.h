#pragma once
// What the run refuses before it asks the file system: names Windows would change or takes for a
// device, and paths longer than a directory's may be. The run, the list window and the command
// line's list refuse by these alone, and say why in the same words.

#include <cstddef>
#include <string>
#include <string_view>

namespace naming {

// The reasons the lists and the run's summary give.
inline constexpr std::string_view kParentNotMade = "親フォルダを作成できません";
inline constexpr std::string_view kFileInTheWay = "同じ名前のファイルがあります";
inline constexpr std::string_view kPathTooLong = "パスが長すぎます";
inline constexpr std::string_view kTrailingPeriodOrSpace = "名前の末尾がピリオドか空白です";
inline constexpr std::string_view kDeviceName = "Windows が予約している名前です";

// Windows refuses to make a directory whose path has this many UTF-16 characters or more.
inline constexpr std::size_t kLongestFolderPath = 247;

// Counts a path's characters as Windows does after converting it from code page 932: every
// character, single- or double-byte, is one UTF-16 character; one separator between names, none
// doubled, and an empty name names the folder above it.
class PathMeasure {
 public:
  explicit PathMeasure(std::string_view base);
  std::size_t Of(std::string_view name) const;
  std::size_t Of(std::string_view parent, std::string_view child) const;

 private:
  std::size_t base_;  // with the separator that follows it
};

// Why the run makes no folder `name` at a path of `pathCharacters` characters, or nothing when it
// may try. An empty name is never refused: its path is the folder above it.
std::string_view FolderRefusal(std::string_view name, std::size_t pathCharacters);

// base + "\" + below as Windows reads the path: a drive root's own separator is not doubled, and
// an empty name on either side adds nothing (it names the folder of the other).
std::string JoinedPath(std::string_view base, std::string_view below);

}  // namespace naming
