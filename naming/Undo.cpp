#include "naming/Undo.h"

#include <algorithm>
#include <unordered_set>

#include "naming/Composition.h"
#include "naming/FolderCount.h"

namespace naming {

namespace {

// The name as the file system keeps it: Windows drops trailing dots and spaces from a name.
std::string_view StoredName(std::string_view name) {
  const std::size_t end = name.find_last_not_of(". ");
  return end == std::string_view::npos ? std::string_view() : name.substr(0, end + 1);
}

// The stamps of the record's folders in one directory. Where the record holds many of them, one
// listing reads them all, unless the directory holds mostly other things (then it would cost more
// than reading each); a name the listing does not show (renamed since, or differing in case) is
// read on its own. The listing is kept sorted by name, so that finding a folder in it neither
// allocates nor hashes.
class DirectoryStamps {
 public:
  static constexpr std::size_t kListFrom = 16;
  // A listing reads at most this many entries for each folder of the record before giving up.
  static constexpr std::size_t kEntriesPerFolder = 3;

  DirectoryStamps(DirectoryRemover& remover, const std::string& directory, std::size_t folders)
      : remover_(remover) {
    if (folders < kListFrom) return;
    std::optional<Listing> listing = remover.List(directory, folders * kEntriesPerFolder);
    if (!listing || !listing->complete) return;
    listed_ = std::move(listing->entries);
    std::sort(listed_.begin(), listed_.end(),
              [](const ListedEntry& a, const ListedEntry& b) { return a.name < b.name; });
  }

  // `path`: the directory's path joined with `name`.
  FolderFacts Of(std::string_view name, const std::string& path) {
    const std::string_view stored = StoredName(name);
    const auto found = std::lower_bound(
        listed_.begin(), listed_.end(), stored,
        [](const ListedEntry& entry, std::string_view key) { return entry.name < key; });
    return found != listed_.end() && found->name == stored ? found->facts : remover_.Inspect(path);
  }

 private:
  DirectoryRemover& remover_;  // not owned
  std::vector<ListedEntry> listed_;
};

// The paths of one directory's folders, built in one buffer that keeps its room from one to the
// next.
class ChildPaths {
 public:
  explicit ChildPaths(const std::string& directory)
      : path_(FolderPath(directory, {})), stem_(path_.size()) {}

  const std::string& Of(std::string_view name) {
    path_.resize(stem_);
    path_.append(name);
    return path_;
  }

 private:
  std::string path_;
  std::size_t stem_;
};

class Unstopped final : public ProgressControl {
 public:
  bool Continue(std::uint64_t, std::uint64_t, const std::string&) override { return true; }
};

// One undo over one record. Folders are taken deepest first; those the removal reports removed
// are checked once their directory has been dealt with, by one listing per directory, since a
// lookup of a name that is missing costs as much as a removal where a directory is large.
class Undoer {
 public:
  Undoer(RunRecord& record, DirectoryRemover& remover, ProgressControl& control)
      : record_(record), remover_(remover), control_(control) {
    for (const RunRecord::Group& group : record.Groups())
      forgetChild_.emplace_back(group.children.size());
    forgetParent_.resize(record.Groups().size());
    taken_.reserve(record.Made());
  }

  UndoOutcome Run() && {
    const auto& groups = record_.Groups();
    const bool writesFollowEntries = remover_.WritesFollowEntries(record_.Base());
    // The parents' stamps before their children go, which restamps them on some file systems.
    DirectoryStamps parents(remover_, record_.Base(), MadeParents());
    for (std::size_t g = groups.size(); g-- > 0 && !outcome_.stopped;) {
      const RunRecord::Group& group = groups[g];
      const std::string parentPath = FolderPath(record_.Base(), group.parent);
      const bool parentRead = group.parentMade || (writesFollowEntries && !group.children.empty());
      const FolderFacts parent = parentRead ? parents.Of(group.parent, parentPath) : FolderFacts{};
      const bool parentIsTheRuns = group.parentMade && parent.kind == FolderFacts::Kind::Folder &&
                                   record_.IsParentStamp(g, parent.created);
      // No entry of the parent changed after the run: every child is still the run's own folder.
      const bool childrenAsMade = writesFollowEntries && parent.kind == FolderFacts::Kind::Folder &&
                                  (parentIsTheRuns || !group.parentMade) &&
                                  record_.Span().Holds(parent.written);
      const std::size_t takenBefore = taken_.size();
      DirectoryStamps children(remover_, parentPath, childrenAsMade ? 0 : group.children.size());
      ChildPaths childPaths(parentPath);
      for (std::size_t j = group.children.size(); j-- > 0;) {
        const std::string& path = childPaths.Of(group.children[j]);
        if (!Continue(path)) break;
        const FolderFacts child = childrenAsMade ? FolderFacts{FolderFacts::Kind::Folder}
                                                 : children.Of(group.children[j], path);
        Take(path, child, childrenAsMade || record_.Span().Holds(child.created), g, j);
      }
      const bool emptiedSome = taken_.size() > takenBefore;
      if (group.parentMade && Continue(parentPath))
        Take(parentPath, parent, parentIsTheRuns, g, RunRecord::kParent);
      // A parent that stays, emptied of some children: its new stamp is still the run's folder.
      if (parentIsTheRuns && emptiedSome && !IsTaken(g, RunRecord::kParent)) {
        const FolderFacts restamped = remover_.Inspect(parentPath);
        if (restamped.kind == FolderFacts::Kind::Folder) record_.Touch(g, restamped.created);
      }
    }
    CheckTaken();
    record_.Drop([this](std::size_t g, std::size_t j) {
      return j == RunRecord::kParent ? forgetParent_[g] : forgetChild_[g][j];
    });
    outcome_.left = record_.Made();
    return std::move(outcome_);
  }

 private:
  struct Taken {
    std::size_t group;
    std::size_t child;  // RunRecord::kParent for the group's parent
  };

  std::size_t MadeParents() const {
    std::size_t made = 0;
    for (const RunRecord::Group& group : record_.Groups()) made += group.parentMade ? 1 : 0;
    return made;
  }

  void Forget(std::size_t g, std::size_t j) {
    if (j == RunRecord::kParent) {
      forgetParent_[g] = true;
    } else {
      forgetChild_[g][j] = true;
    }
  }

  bool IsTaken(std::size_t g, std::size_t j) const {
    return !taken_.empty() && taken_.back().group == g && taken_.back().child == j;
  }

  bool Continue(const std::string& path) {
    if (outcome_.stopped) return false;
    if (!control_.Continue(done_++, record_.Made(), path)) outcome_.stopped = true;
    return !outcome_.stopped;
  }

  // `facts`: read before anything in the folder was removed; `isTheRuns`: its stamp is the run's.
  void Take(const std::string& path, const FolderFacts& facts, bool isTheRuns, std::size_t g,
            std::size_t j) {
    if (facts.kind == FolderFacts::Kind::Missing) {
      ++outcome_.gone;
      Forget(g, j);
      return;
    }
    if (facts.kind != FolderFacts::Kind::Folder || !isTheRuns) {
      // Where a change of contents restamps a folder, one that holds something says so first.
      const std::optional<Listing> inside =
          facts.kind == FolderFacts::Kind::Folder ? remover_.List(path, 0) : std::nullopt;
      if (inside && !inside->complete) {
        ++outcome_.notEmpty;
      } else if (outcome_.standIns++ == 0) {
        outcome_.firstStandIn = path;
      }
      return;
    }
    RemoveResult result = remover_.Remove(path);
    switch (result.status) {
      case RemoveStatus::Removed: taken_.push_back({g, j}); return;
      case RemoveStatus::Gone:
        ++outcome_.gone;
        Forget(g, j);
        return;
      case RemoveStatus::NotEmpty: ++outcome_.notEmpty; return;
      case RemoveStatus::Failed: break;
    }
    if (outcome_.failed++ == 0) {
      outcome_.firstFailedPath = path;
      outcome_.firstFailureReason = std::move(result.reason);
    }
  }

  // What a directory holds, by stored name; nothing when it cannot be listed.
  std::optional<std::unordered_set<std::string>> ListedNames(const std::string& directory) {
    const std::optional<Listing> listing = remover_.List(directory, SIZE_MAX);
    if (!listing) return std::nullopt;
    std::unordered_set<std::string> stored;
    for (const ListedEntry& entry : listing->entries) stored.emplace(StoredName(entry.name));
    return stored;
  }

  bool StillThere(const std::optional<std::unordered_set<std::string>>& listing,
                  const std::string& directory, const std::string& name) {
    if (listing) return listing->count(std::string(StoredName(name))) > 0;
    // An unlisted directory: ask for the one path (a missing directory holds nothing).
    return remover_.Inspect(FolderPath(directory, name)).kind != FolderFacts::Kind::Missing;
  }

  void CheckTaken() {
    if (taken_.empty()) return;
    const auto& groups = record_.Groups();
    const std::string& base = record_.Base();
    const auto inBase = ListedNames(base);
    std::optional<std::unordered_set<std::string>> inParent;
    std::size_t listedGroup = SIZE_MAX;
    for (const Taken& taken : taken_) {
      const RunRecord::Group& group = groups[taken.group];
      bool there;
      if (taken.child == RunRecord::kParent) {
        there = StillThere(inBase, base, group.parent);
      } else {
        // A parent that is gone holds nothing; one still there is listed once.
        there = StillThere(inBase, base, group.parent);
        if (there) {
          const std::string parentPath = FolderPath(base, group.parent);
          if (listedGroup != taken.group)
            inParent = ListedNames(parentPath), listedGroup = taken.group;
          there = StillThere(inParent, parentPath, group.children[taken.child]);
        }
      }
      if (!there) {
        ++outcome_.removed;
        Forget(taken.group, taken.child);
      } else if (outcome_.stillThere++ == 0) {
        outcome_.firstStillThere =
            taken.child == RunRecord::kParent
                ? FolderPath(base, group.parent)
                : FolderPath(FolderPath(base, group.parent), group.children[taken.child]);
      }
    }
  }

  RunRecord& record_;
  DirectoryRemover& remover_;  // not owned
  ProgressControl& control_;   // not owned
  UndoOutcome outcome_;
  std::uint64_t done_ = 0;
  std::vector<std::vector<bool>> forgetChild_;
  std::vector<bool> forgetParent_;
  std::vector<Taken> taken_;
};

}  // namespace

UndoOutcome UndoRun(RunRecord& record, DirectoryRemover& remover, ProgressControl* control) {
  Unstopped unstopped;
  return Undoer(record, remover, control ? *control : unstopped).Run();
}

std::string UndoOutcome::BoxText() const {
  std::string text = stopped ? "元に戻すのを中止しました\r\n中止までに作成したフォルダを " +
                                   GroupedNumber(removed) + " 個削除しました"
                             : "作成したフォルダを " + GroupedNumber(removed) + " 個削除しました";
  if (Kept() > 0) {
    text += "\r\n" + GroupedNumber(Kept()) + " 個は残しました:";
    if (notEmpty > 0)
      text += "\r\n  中にファイルかフォルダがある: " + GroupedNumber(notEmpty) + " 個";
    if (gone > 0) text += "\r\n  見つからない (名前の変更か削除): " + GroupedNumber(gone) + " 個";
    if (standIns > 0) {
      text += "\r\n  作成したフォルダではない (後から置き換えられた): " + GroupedNumber(standIns) +
              " 個 (最初のフォルダ: " + firstStandIn + ")";
    }
    if (stillThere > 0) {
      text += "\r\n  削除したと報告されたが残っている: " + GroupedNumber(stillThere) +
              " 個 (最初のフォルダ: " + firstStillThere + ")";
    }
    if (failed > 0) {
      text += "\r\n  削除できない: " + GroupedNumber(failed) +
              " 個 (最初のフォルダ: " + firstFailedPath + " (" + firstFailureReason + "))";
    }
  }
  if (stopped && left > 0)
    text += "\r\n残りの " + GroupedNumber(left) + " 個は「作成を元に戻す」で続けて削除できます";
  if (!note.empty()) text += "\r\n" + note;
  return text;
}

MessageIcon UndoOutcome::Icon() const {
  return Kept() == 0 && note.empty() ? MessageIcon::None : MessageIcon::Warning;
}

}  // namespace naming
