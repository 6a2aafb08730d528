#pragma once
// The Windows side of the list of every folder before the run.

#include <string>

#include "naming/RunListing.h"

namespace app {

// What CreateDirectoryA would find at a path, from its attributes: nothing there (made), a folder
// (already there), a file of that name, or a path longer than a folder's can be (refused).
class Win32PathProbe final : public naming::PathProbe {
 public:
  naming::CreateResult Probe(const std::string& path) const override;
};

}  // namespace app
