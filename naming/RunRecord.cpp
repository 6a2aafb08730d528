#include "naming/RunRecord.h"

#include "naming/Composition.h"

namespace naming {

RunRecord::RunRecord(std::string base, std::shared_ptr<const TierRun> parent,
                     std::shared_ptr<const TierRun> child)
    : base_(std::move(base)), parent_(std::move(parent)), child_(std::move(child)) {}

void RunRecord::Add(bool made) {
  marks_.push_back(made);
  if (made) ++made_;
}

std::string RunRecord::Path(std::uint64_t creation) const {
  const std::uint64_t stride = Stride();
  const std::string parentPath =
      FolderPath(base_, parent_->Name(static_cast<std::int64_t>(creation / stride)));
  const std::uint64_t child = creation % stride;
  if (child == 0) return parentPath;
  return FolderPath(parentPath, child_->Name(static_cast<std::int64_t>(child - 1)));
}

void RunRecord::VisitDeepestFirst(const std::function<bool(const std::string& path)>& visit) {
  const std::uint64_t stride = Stride();
  // Children first, so that each parent is empty of what the run put in it by its turn.
  for (const bool parents : {false, true}) {
    for (std::uint64_t creation = marks_.size(); creation-- > 0;) {
      if (!marks_[creation] || (creation % stride == 0) != parents) continue;
      if (!visit(Path(creation))) continue;
      marks_[creation] = false;
      --made_;
    }
  }
}

}  // namespace naming
