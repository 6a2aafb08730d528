#pragma once
// The count a run will make, as the sample strips show it before the run, and the number texts
// the run's boxes share.

#include <cstdint>
#include <optional>
#include <string>

namespace naming {

// The run's total: N parent folders, and N x (1 + M) with M child folders in each; a negative
// count counts as none, and a total past the 64-bit range stays at its largest value.
std::uint64_t TotalFolders(std::int64_t parents, std::int64_t children, bool childFolders);

// 1234567 as "1,234,567".
std::string GroupedNumber(std::uint64_t value);

// The parent strip: "120 個"; empty when the count cannot be known (a field is not an integer).
std::string ParentCountText(std::optional<std::int64_t> parents);
// The child strip: "× 30", and with the child-folders box ticked "× 30  計 3,720 個"; the total is
// left out when the parent count cannot be known, everything when the child count cannot.
std::string ChildCountText(std::optional<std::int64_t> parents,
                           std::optional<std::int64_t> children, bool childFolders);

}  // namespace naming
