#include "naming/FolderCount.h"

namespace naming {

std::uint64_t TotalFolders(std::int64_t parents, std::int64_t children, bool childFolders) {
  const std::uint64_t n = parents > 0 ? static_cast<std::uint64_t>(parents) : 0;
  if (!childFolders) return n;
  const std::uint64_t perParent = 1 + (children > 0 ? static_cast<std::uint64_t>(children) : 0);
  if (n > UINT64_MAX / perParent) return UINT64_MAX;
  return n * perParent;
}

std::string GroupedNumber(std::uint64_t value) {
  const std::string digits = std::to_string(value);
  std::string grouped;
  for (std::size_t at = 0; at < digits.size(); ++at) {
    if (at > 0 && (digits.size() - at) % 3 == 0) grouped += ',';
    grouped += digits[at];
  }
  return grouped;
}

std::string ParentCountText(std::optional<std::int64_t> parents) {
  if (!parents) return {};
  return GroupedNumber(static_cast<std::uint64_t>(*parents)) + " 個";
}

std::string ChildCountText(std::optional<std::int64_t> parents,
                           std::optional<std::int64_t> children, bool childFolders) {
  if (!children) return {};
  std::string text = "× " + GroupedNumber(static_cast<std::uint64_t>(*children));
  if (childFolders && parents)
    text += "  計 " + GroupedNumber(TotalFolders(*parents, *children, true)) + " 個";
  return text;
}

}  // namespace naming
