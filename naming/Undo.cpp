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

// A line of the closing box: how many, and the first.
std::string Counted(const FolderTally& tally) {
  return GroupedNumber(tally.count) + " 個 (最初のフォルダ: " + tally.first + ")";
}

void AddReason(std::string& text, const char* reason, const FolderTally& tally) {
  if (tally.count > 0) text += "\r\n  " + std::string(reason) + ": " + Counted(tally);
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
    // Read before the undo changes it. The run added entries to it, which leaves a later write
    // than creation unless the stamp of a folder is its last change.
    const FolderFacts base = writesFollowEntries ? remover_.Inspect(record_.Base()) : FolderFacts{};
    creationFollowsChanges_ =
        base.kind == FolderFacts::Kind::Folder && base.created == base.written;
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
        Take(path, child, childrenAsMade || record_.Span().Holds(child.created), parent, g, j);
      }
      const bool emptiedSome = taken_.size() > takenBefore;
      if (group.parentMade && Continue(parentPath))
        Take(parentPath, parent, parentIsTheRuns, base, g, RunRecord::kParent);
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

  // `facts`: read before anything in the folder was removed; `isTheRuns`: its stamp is the run's;
  // `directory`: the facts of the directory that holds it, read before the undo changed it.
  void Take(const std::string& path, const FolderFacts& facts, bool isTheRuns,
            const FolderFacts& directory, std::size_t g, std::size_t j) {
    if (facts.kind == FolderFacts::Kind::Missing) {
      outcome_.gone.Add(path);
      Forget(g, j);
      return;
    }
    if (facts.kind != FolderFacts::Kind::Folder || !isTheRuns) {
      // Where a change of contents restamps a folder, one that holds something says so first.
      const std::optional<Listing> inside =
          facts.kind == FolderFacts::Kind::Folder ? remover_.List(path, 0) : std::nullopt;
      if (inside && !inside->complete) {
        outcome_.notEmpty.Add(path);
        return;
      }
      // A stamp only moves on: it never comes back into the run's span.
      WhyNotTheRuns(facts, directory).Add(path);
      Forget(g, j);
      return;
    }
    RemoveResult result = remover_.Remove(path);
    switch (result.status) {
      case RemoveStatus::Removed: taken_.push_back({g, j}); return;
      case RemoveStatus::Gone:
        outcome_.gone.Add(path);
        Forget(g, j);
        return;
      case RemoveStatus::NotEmpty: outcome_.notEmpty.Add(path); return;
      case RemoveStatus::Failed: break;
    }
    if (outcome_.failed.count == 0) outcome_.firstFailureReason = std::move(result.reason);
    outcome_.failed.Add(path);
  }

  // A folder whose stamp lies outside the run's span, or something else at its path. Where the
  // stamp is the folder's last change, it is still the run's folder, changed since, when its
  // directory's entries last changed within the span; otherwise it may have been replaced.
  FolderTally& WhyNotTheRuns(const FolderFacts& facts, const FolderFacts& directory) {
    if (facts.kind != FolderFacts::Kind::Folder || !creationFollowsChanges_)
      return outcome_.standIns;
    if (directory.kind == FolderFacts::Kind::Folder && record_.Span().Holds(directory.written))
      return outcome_.changed;
    return outcome_.changedOrReplaced;
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
      } else {
        outcome_.stillThere.Add(
            taken.child == RunRecord::kParent
                ? FolderPath(base, group.parent)
                : FolderPath(FolderPath(base, group.parent), group.children[taken.child]));
      }
    }
  }

  RunRecord& record_;
  DirectoryRemover& remover_;  // not owned
  ProgressControl& control_;   // not owned
  UndoOutcome outcome_;
  std::uint64_t done_ = 0;
  bool creationFollowsChanges_ = false;  // a folder's creation stamp is its last change
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
  std::string text = stopped ? "元に戻すのを中止しました。\r\n中止までに作成したフォルダを " +
                                   GroupedNumber(removed) + " 個削除しました。"
                             : "作成したフォルダを " + GroupedNumber(removed) + " 個削除しました。";
  if (gone.count > 0) text += "\r\nすでになかったフォルダ (名前の変更か削除): " + Counted(gone);
  if (Kept() > 0) {
    text += "\r\n" + GroupedNumber(Kept()) + " 個は残しました:";
    AddReason(text, "中にファイルかフォルダがある", notEmpty);
    AddReason(text, "作成後に中身が変わった", changed);
    AddReason(text, "作成後に中身が変わったか、置き換えられた", changedOrReplaced);
    AddReason(text, "作成したフォルダではない (後から置き換えられた)", standIns);
    AddReason(text, "削除したと報告されたが残っている", stillThere);
    if (failed.count > 0) {
      text += "\r\n  削除できない: " + GroupedNumber(failed.count) +
              " 個 (最初のフォルダ: " + failed.first + " (" + firstFailureReason + "))";
    }
  }
  if (stopped && left > 0)
    text += "\r\n残りの " + GroupedNumber(left) + " 個は「作成を元に戻す」で続けて削除できます。";
  if (!note.empty()) text += "\r\n" + note;
  return text;
}

MessageIcon UndoOutcome::Icon() const {
  return Kept() == 0 && note.empty() ? MessageIcon::None : MessageIcon::Warning;
}

}  // namespace naming
