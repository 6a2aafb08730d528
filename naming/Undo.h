#pragma once
// Taking the last run back: its folders that are still empty, and still the very folders the run
// made, are removed, deepest first.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

// What a listing says of one entry of a directory: its name as the file system keeps it.
struct ListedEntry {
  std::string name;
  FolderFacts facts;
};

// A directory's entries, as many as were asked for.
struct Listing {
  std::vector<ListedEntry> entries;
  bool complete = true;  // false: the directory holds more
};

// Removes one empty directory, never anything that holds something (on Windows RemoveDirectoryA),
// and lists a directory: to read the stamps of many folders at once, and to check that what it
// said it removed is gone.
class DirectoryRemover : public FolderInspector {
 public:
  virtual RemoveResult Remove(const std::string& path) = 0;
  // At most `most` entries of `directory`; nothing when it cannot be listed. A directory that is
  // gone holds nothing.
  virtual std::optional<Listing> List(const std::string& directory, std::size_t most) = 0;
  // True when, on the volume that holds `directory`, adding, removing or renaming an entry of a
  // directory stamps that directory's last write (NTFS does, FAT does not).
  virtual bool WritesFollowEntries(const std::string& directory) = 0;
};

// How many folders, and the first of them the undo came to.
struct FolderTally {
  std::uint64_t count = 0;
  std::string first;

  void Add(const std::string& path) {
    if (count++ == 0) first = path;
  }
};

struct UndoOutcome {
  std::uint64_t removed = 0;
  // Renamed or removed since the run: nothing is left to take back.
  FolderTally gone;
  // Kept, each for its reason.
  FolderTally notEmpty;  // something was put in it
  // Stamped after the run where a folder's stamp is its last change (Wine): its contents changed
  // since, and it is the run's folder still where nothing in its directory changed since
  // (changed); otherwise another folder may have taken its place (changedOrReplaced).
  FolderTally changed;
  FolderTally changedOrReplaced;
  FolderTally standIns;    // another folder (or a file) at the path
  FolderTally stillThere;  // the removal said it succeeded, yet the folder is still there
  FolderTally failed;
  std::string firstFailureReason;
  // The user stopped the undo; `left` folders stay in the record for a later one.
  bool stopped = false;
  std::uint64_t left = 0;
  // A line the window adds, about the record's file.
  std::string note;

  std::uint64_t Kept() const {
    return notEmpty.count + changed.count + changedOrReplaced.count + standIns.count +
           stillThere.count + failed.count;
  }
  // The text and icon of the one box that ends the undo.
  std::string BoxText() const;
  MessageIcon Icon() const;
};

// Removes, deepest first (each parent folder's children, last made first, then the parent), the
// folders of the record that are still empty and stamped within the run's span, and checks each
// directory once afterwards that they are gone. Where the record holds many folders of one
// directory, their stamps come from one listing of it, read before the first of them goes; where
// the parent's entries last changed within the run's span, nothing took a child's place since, and
// its children's stamps are not read at all. The removed and the vanished ones are forgotten, and
// so are those whose stamps say they are not the folders as the run left them, which no later undo
// could take; the others stay in the record, so a later undo may take them. `control` may stop it
// between two folders; what it has not reached stays in the record too.
UndoOutcome UndoRun(RunRecord& record, DirectoryRemover& remover,
                    ProgressControl* control = nullptr);

}  // namespace naming
