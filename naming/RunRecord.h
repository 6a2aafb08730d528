#pragma once
// What the last run made, kept in memory only.
//
// The record keeps the run's own name makers and one mark per creation, in creation order, so it
// stays small however many folders the run made and gives back exactly the paths the run used.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "naming/TierRun.h"

namespace naming {

class RunRecord {
 public:
  RunRecord() = default;
  // `child` null when the run made no child folders.
  RunRecord(std::string base, std::shared_ptr<const TierRun> parent,
            std::shared_ptr<const TierRun> child);

  // The next creation of the run, in creation order; `made`: the run made the folder (it was not
  // there before and the call succeeded).
  void Add(bool made);
  // Folders the run made that the record still holds.
  std::uint64_t Made() const { return made_; }

  // Calls `visit` with the path of every folder the record holds, deepest first: the child tier's
  // folders, last made first, then the parent tier's. A visit that returns true forgets the folder.
  void VisitDeepestFirst(const std::function<bool(const std::string& path)>& visit);

 private:
  std::string Path(std::uint64_t creation) const;
  std::uint64_t Stride() const {
    return child_ ? 1 + static_cast<std::uint64_t>(child_->Count()) : 1;
  }

  std::string base_;
  std::shared_ptr<const TierRun> parent_;
  std::shared_ptr<const TierRun> child_;
  std::vector<bool> marks_;  // one per creation: the run made that folder
  std::uint64_t made_ = 0;
};

}  // namespace naming
