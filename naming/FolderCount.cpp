#include "naming/FolderCount.h"

namespace naming {

std::uint64_t TotalFolders(std::int64_t parents, std::int64_t children, bool childFolders) {
  const auto n = static_cast<std::uint64_t>(parents);
  return childFolders ? n * (1 + static_cast<std::uint64_t>(children)) : n;
}

std::string GroupedNumber(std::uint64_t value) {
  std::string digits = std::to_string(value);
  for (std::size_t at = digits.size(); at > 3;) {
    at -= 3;
    digits.insert(at, ",");
  }
  return digits;
}

std::string ParentCountText(std::optional<std::int64_t> parents) {
  if (!parents) return {};
  return GroupedNumber(static_cast<std::uint64_t>(*parents)) + " 個";
}

std::string ChildCountText(std::optional<std::int64_t> parents, std::optional<std::int64_t> children,
                           bool childFolders) {
  if (!children) return {};
  std::string text = "× " + GroupedNumber(static_cast<std::uint64_t>(*children));
  if (childFolders && parents) text += "  計 " + GroupedNumber(TotalFolders(*parents, *children, true)) + " 個";
  return text;
}

}  // namespace naming
