#pragma once
// What the last run made, for taking it back: the base path, the span of time in which the run's
// folders came into being, and the folders themselves, grouped by parent folder. It is written to a
// small file of its own, so that it outlives the window.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace naming {

// A moment as the file system stamps a folder: 100-nanosecond units (a Windows FILETIME).
using FileTime = std::uint64_t;

// The moments from the first to the last folder a run made, as the file system stamped them. A
// folder stamped outside it is not one the run made, whatever its path.
struct TimeSpan {
  FileTime from = UINT64_MAX;  // empty until widened
  FileTime to = 0;

  void Widen(FileTime moment);
  bool Holds(FileTime moment) const { return from <= moment && moment <= to; }
};

// What the file system says of a path now.
struct FolderFacts {
  enum class Kind { Missing, Folder, Other };
  Kind kind = Kind::Missing;
  FileTime created = 0;  // Folder only: when the file system says it came into being
  FileTime written = 0;  // Folder only: its last write, which may follow changes of its entries
};

// Reads what the file system says of a path (on Windows GetFileAttributesExA).
class FolderInspector {
 public:
  virtual ~FolderInspector() = default;
  virtual FolderFacts Inspect(const std::string& path) = 0;
};

class RunRecord {
 public:
  // One parent folder of the run, with the child folders the run made in it, in creation order.
  struct Group {
    std::string parent;
    bool parentMade = false;  // false: it was there before, and holds only what the run added
    std::vector<std::string> children;
    // Where the file system stamps a folder's last change as its creation (Wine), removing
    // children restamps the parent: the stamp an earlier undo left on it, 0 for none.
    FileTime touched = 0;
  };

  RunRecord() = default;
  explicit RunRecord(std::string base) : base_(std::move(base)) {}

  // The run's creations, in creation order: a parent folder, then its child folders. `made`: the
  // run made the folder (it was not there before and the call succeeded).
  void AddParent(std::string name, bool made);
  void AddChild(std::string name, bool made);

  const std::string& Base() const { return base_; }
  const std::vector<Group>& Groups() const { return groups_; }
  TimeSpan& Span() { return span_; }
  const TimeSpan& Span() const { return span_; }
  // Folders the record holds.
  std::uint64_t Made() const { return made_; }
  // True when the folder stamped `moment` may be the group's parent the run made.
  bool IsParentStamp(std::size_t group, FileTime moment) const {
    return span_.Holds(moment) || (groups_[group].touched != 0 && groups_[group].touched == moment);
  }
  void Touch(std::size_t group, FileTime moment) { groups_[group].touched = moment; }

  // Lets `forget(group, child)` drop folders (child npos: the group's parent) and then forgets the
  // groups left with nothing in them.
  static constexpr std::size_t kParent = SIZE_MAX;
  template <class Forget>
  void Drop(Forget forget);

  // The record as its file holds it (a version line, the base, the span, one line per folder,
  // code page 932 as the names are), and back. A text that is not such a record gives nothing;
  // `otherVersion` tells a record of another version from a damaged one.
  std::string Text() const;
  static std::optional<RunRecord> FromText(std::string_view text, bool* otherVersion = nullptr);

 private:
  void Recount();

  std::string base_;
  TimeSpan span_;
  std::vector<Group> groups_;  // only parents with something made in or as them
  std::uint64_t made_ = 0;
  bool lastParentKept_ = false;  // the latest AddParent is groups_.back()
  std::string lastParent_;       // the latest parent not made, kept until a child of it is made
};

template <class Forget>
void RunRecord::Drop(Forget forget) {
  for (std::size_t g = 0; g < groups_.size(); ++g) {
    Group& group = groups_[g];
    std::size_t kept = 0;
    for (std::size_t j = 0; j < group.children.size(); ++j) {
      if (forget(g, j)) continue;
      if (kept != j) group.children[kept] = std::move(group.children[j]);
      ++kept;
    }
    group.children.resize(kept);
    if (group.parentMade && forget(g, kParent)) group.parentMade = false;
  }
  std::size_t kept = 0;
  for (Group& group : groups_) {
    if (!group.parentMade && group.children.empty()) continue;
    if (&groups_[kept] != &group) groups_[kept] = std::move(group);
    ++kept;
  }
  groups_.resize(kept);
  lastParentKept_ = false;
  Recount();
}

}  // namespace naming
