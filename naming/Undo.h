#pragma once
// Taking the last run back: its folders that are still empty are removed, deepest first.

#include <cstdint>
#include <string>

#include "naming/CreationRun.h"
#include "naming/RunRecord.h"

namespace naming {

enum class RemoveStatus {
  Removed,
  NotEmpty,  // something was put in it
  Gone,      // renamed or removed since the run
  Failed,    // anything else (no longer a folder, access denied, ...)
};

struct RemoveResult {
  RemoveStatus status = RemoveStatus::Removed;
  std::string reason;  // Failed only: the system's text for why
};

// Removes one empty directory, never anything that holds something (on Windows RemoveDirectoryA).
class DirectoryRemover {
 public:
  virtual ~DirectoryRemover() = default;
  virtual RemoveResult Remove(const std::string& path) = 0;
};

struct UndoOutcome {
  std::uint64_t removed = 0;
  std::uint64_t notEmpty = 0;
  std::uint64_t gone = 0;
  std::uint64_t failed = 0;
  std::string firstFailedPath;
  std::string firstFailureReason;

  std::uint64_t Kept() const { return notEmpty + gone + failed; }
  // The text and icon of the one box that ends the undo.
  std::string BoxText() const;
  MessageIcon Icon() const;
};

// Removes, deepest first, the folders of the record that are still empty. The removed and the
// vanished ones are forgotten; those kept for holding something, or for another failure, stay in
// the record, so a later undo may take them once they are empty.
UndoOutcome UndoRun(RunRecord& record, DirectoryRemover& remover);

}  // namespace naming
