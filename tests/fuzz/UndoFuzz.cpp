// Randomized runs and undos against a model file system that stamps folders as Wine does (a
// folder's last change is its creation time), as NTFS does (a folder's last write follows its
// entries) or as FAT does (neither changes), with the user changing folders between them:
// renamed away and replaced, filled, emptied, removed, or made undeletable; during an undo,
// listings now and then miss an entry or fail, and another program removes an empty folder.
// Checks that an undo never removes a folder the run did not make, that what it reports removed is
// gone, that the record keeps exactly what is left, and that the record's file text reads back as
// written while damaged texts never give a name that reaches outside the run's folders.
//
//   undo_fuzz [--seconds N] [--seed S]

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "naming/Composition.h"
#include "naming/CreationRun.h"
#include "naming/FolderCount.h"
#include "naming/Undo.h"
#include "testkit/TestTier.h"

namespace {

using namespace naming;
using naming::test::TestSettings;
using naming::test::TestTier;

#define CHECK(condition)                                                                    \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "check failed: %s (line %d, seed %llu)\n", #condition, __LINE__, \
                   static_cast<unsigned long long>(seed));                                  \
      std::abort();                                                                         \
    }                                                                                       \
  } while (0)

std::uint64_t seed = 0;

struct Node {
  bool folder = true;
  FileTime created = 0;
  FileTime written = 0;
  std::uint64_t id = 0;
  bool undeletable = false;  // removal says yes and leaves it (a Wine quirk)
};

enum class Stamping { Wine, Ntfs, Fat };

// Paths are "B\name\name"; the parent of a path is what comes before its last separator. Names
// never hold a lone separator (the run checks its templates), but double-byte ones may hold 0x5C
// as their second byte, so the model splits only on separators it made itself.
class ModelFileSystem final : public DirectoryRemover {
 public:
  std::map<std::string, Node> nodes;
  std::map<std::string, std::string> parentOf;
  std::set<std::uint64_t> madeIds;     // folders the run made
  std::vector<std::uint64_t> removed;  // ids removed by undos
  FileTime clock = 1000;
  std::uint64_t nextId = 1;
  Stamping stamping = Stamping::Wine;

  void Put(const std::string& path, const std::string& parent, bool folder) {
    const FileTime now = ++clock;  // the new entry and its folder's change, in one moment
    nodes[path] = {folder, now, now, nextId++, false};
    parentOf[path] = parent;
    Restamp(parent, now);
  }
  void Restamp(const std::string& path, FileTime now) {
    auto found = nodes.find(path);
    if (found == nodes.end() || stamping == Stamping::Fat) return;
    found->second.written = now;
    if (stamping == Stamping::Wine) found->second.created = now;
  }
  bool HasChildren(const std::string& path) const {
    for (const auto& [child, parent] : parentOf)
      if (parent == path && nodes.count(child)) return true;
    return false;
  }
  void Erase(const std::string& path) {
    nodes.erase(path);
    Restamp(parentOf[path], ++clock);
  }

  CreateResult Make(const std::string& path) {
    const auto there = nodes.find(path);
    if (there != nodes.end()) {
      if (there->second.folder) return {CreateStatus::AlreadyThere, {}};
      return {CreateStatus::Failed, "a file"};
    }
    const std::string parent = pendingParent;
    const auto up = nodes.find(parent);
    if (up == nodes.end() || !up->second.folder) return {CreateStatus::Failed, "no parent"};
    Put(path, parent, true);
    madeIds.insert(nodes[path].id);
    return {};
  }
  FolderFacts Inspect(const std::string& path) override {
    const auto found = nodes.find(path);
    if (found == nodes.end()) return {};
    if (!found->second.folder) return {FolderFacts::Kind::Other};
    return {FolderFacts::Kind::Folder, found->second.created, found->second.written};
  }
  RemoveResult Remove(const std::string& path) override {
    // Now and then another program removes an empty folder while the undo goes on.
    if (random && (*random)() % 30 == 0) {
      const auto other = nodes.upper_bound(path);
      if (other != nodes.end() && other->second.folder && !other->second.undeletable &&
          !HasChildren(other->first)) {
        Erase(std::string(other->first));
        ++removedMeanwhile;
      }
    }
    const auto found = nodes.find(path);
    if (found == nodes.end()) return {RemoveStatus::Gone, {}};
    if (!found->second.folder) return {RemoveStatus::Failed, "a file"};
    if (HasChildren(path)) return {RemoveStatus::NotEmpty, {}};
    if (found->second.undeletable) return {};
    removed.push_back(found->second.id);
    Erase(path);
    return {};
  }
  std::optional<Listing> List(const std::string& directory, std::size_t most) override {
    if (random && (*random)() % 50 == 0) return std::nullopt;  // could not be read
    Listing listing;
    if (!nodes.count(directory)) return listing;
    for (const auto& [child, parent] : parentOf) {
      if (parent != directory || !nodes.count(child)) continue;
      // A listing for stamps that misses an entry (the check after the removals lists all).
      if (random && most != SIZE_MAX && (*random)() % 40 == 0) continue;
      if (listing.entries.size() == most) {
        listing.complete = false;
        break;
      }
      listing.entries.push_back({child.substr(parent.size() + 1), Inspect(child)});
    }
    return listing;
  }
  bool WritesFollowEntries(const std::string&) override { return stamping != Stamping::Fat; }

  std::string pendingParent;          // set by the run's path scheme below
  std::mt19937_64* random = nullptr;  // set while an undo runs: listings miss, folders go
  std::uint64_t removedMeanwhile = 0;
};

// Tells the model which folder a path goes into. The run makes a parent folder, then its children,
// each parent path + "\\" + a name; no parent-tier name can start that way, since a lone separator
// is a forbidden character.
class Creator final : public DirectoryCreator {
 public:
  Creator(ModelFileSystem& model, std::string base) : model_(model), base_(std::move(base)) {}
  CreateResult Create(const std::string& path) override {
    const bool child = !lastParent_.empty() && path.size() > lastParent_.size() + 1 &&
                       path.compare(0, lastParent_.size() + 1, lastParent_ + "\\") == 0;
    if (!child) lastParent_ = path;
    model_.pendingParent = child ? lastParent_ : base_;
    return model_.Make(path);
  }
  FolderFacts Inspect(const std::string& path) override { return model_.Inspect(path); }

 private:
  ModelFileSystem& model_;
  std::string base_;
  std::string lastParent_;
};

struct Stopper final : RunControl {
  std::uint64_t stopAt = UINT64_MAX;
  bool Confirm(const RunPlan&) override { return true; }
  bool Continue(std::uint64_t done, std::uint64_t, const std::string&) override {
    return done < stopAt;
  }
};

const char* const kPieces[] = {"", "a", "ソ", "表", "x.", "B", " ", "ab"};

void RandomTier(std::mt19937_64& random, TestTier& tier) {
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  tier.front = kPieces[pick(8)];
  tier.back = kPieces[pick(8)];
  switch (pick(3)) {
    case 0:
      tier.kind = SequenceKind::Number;
      tier.start = std::to_string(pick(4));
      tier.end = std::to_string(pick(5) == 0 ? 10 + pick(40) : pick(9));
      tier.digits = std::to_string(1 + pick(2));
      break;
    case 1:
      tier.kind = SequenceKind::Letters;
      tier.folderCount = std::to_string(1 + pick(8));
      tier.lettersPerName = "1";
      break;
    default:
      tier.kind = SequenceKind::None;
      tier.lines.clear();
      for (int i = pick(5); i > 0; --i) tier.lines.push_back(kPieces[1 + pick(7)]);
      break;
  }
  tier.pattern = tier.kind == SequenceKind::None ? 1 + pick(4) : pick(5);
  if (tier.kind != SequenceKind::None && tier.pattern != 0) {
    tier.lines.clear();
    for (int i = pick(4); i > 0; --i) tier.lines.push_back(kPieces[1 + pick(7)]);
  }
}

// A damaged copy of a record's text must never read back as one with an unsafe name.
void CheckDamagedText(std::mt19937_64& random, std::string text) {
  for (int edits = 1 + static_cast<int>(random() % 4); edits > 0 && !text.empty(); --edits) {
    const std::size_t at = random() % text.size();
    switch (random() % 4) {
      case 0: text[at] = static_cast<char>(random()); break;
      case 1: text.erase(at, 1 + random() % 8); break;
      case 2: text.insert(at, 1, "\\.\r\n+-=@0\x83"[random() % 11]); break;
      default: text.resize(at); break;
    }
  }
  const std::optional<RunRecord> record = RunRecord::FromText(text);
  if (!record) return;
  for (const RunRecord::Group& group : record->Groups()) {
    std::vector<std::string> names = group.children;
    names.push_back(group.parent);
    for (const std::string& name : names) {
      CHECK(!name.empty() && name != "." && name != "..");
      CHECK(!HasForbiddenCharacter(name) && !HasBrokenDoubleByteCharacter(name));
    }
  }
  CHECK(RunRecord::FromText(record->Text())->Text() == record->Text());
}

void CheckTotals(std::mt19937_64& random) {
  const auto extreme = [&]() -> std::int64_t {
    switch (random() % 4) {
      case 0: return INT64_MAX - static_cast<std::int64_t>(random() % 3);
      case 1: return -static_cast<std::int64_t>(random() % 3);
      case 2: return static_cast<std::int64_t>(random() >> (random() % 64));
      default: return static_cast<std::int64_t>(random() % 1000000);
    }
  };
  const std::int64_t parents = extreme(), children = extreme();
  const unsigned __int128 exact = static_cast<unsigned __int128>(parents > 0 ? parents : 0) *
                                  (1 + static_cast<unsigned __int128>(children > 0 ? children : 0));
  const std::uint64_t expected =
      exact > UINT64_MAX ? UINT64_MAX : static_cast<std::uint64_t>(exact);
  CHECK(TotalFolders(parents, children, true) == expected);
  const std::string grouped = GroupedNumber(expected);
  CHECK(grouped.size() <= 26);
}

// A folder said to be the run's, changed since, is the very folder the run made; one said to be
// another is not. (A name with a trailing dot or space is read under the name Windows makes of it,
// which may be another of the model's folders.)
void CheckReasons(const ModelFileSystem& model, const UndoOutcome& result) {
  const auto node = [&](const FolderTally& tally) -> const Node* {
    if (tally.count == 0 || tally.first.back() == '.' || tally.first.back() == ' ') return nullptr;
    const auto found = model.nodes.find(tally.first);
    return found == model.nodes.end() ? nullptr : &found->second;
  };
  if (const Node* changed = node(result.changed))
    CHECK(changed->folder && model.madeIds.count(changed->id) == 1);
  if (const Node* standIn = node(result.standIns))
    CHECK(!standIn->folder || model.madeIds.count(standIn->id) == 0);
}

void OneCase(std::mt19937_64& random) {
  auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
  ModelFileSystem model;
  model.stamping = static_cast<Stamping>(random() % 3);
  const std::string base = "B";
  model.nodes[base] = {true, model.clock, model.clock, model.nextId++, false};
  TestTier parent, child;
  TestSettings settings;
  settings.base = base;
  settings.childFolders = chance(60);
  RandomTier(random, parent);
  RandomTier(random, child);
  // Some of the names there before the run, as folders or files; now and then many files, so that
  // the base holds mostly other things.
  for (int i = static_cast<int>(random() % 3); i > 0; --i) {
    const std::string path = FolderPath(base, kPieces[1 + random() % 7]);
    if (!model.nodes.count(path)) model.Put(path, base, chance(70));
  }
  if (chance(10)) {
    for (int i = static_cast<int>(random() % 150); i > 0; --i)
      model.Put(FolderPath(base, "~" + std::to_string(i)), base, false);
  }
  const std::set<std::uint64_t> before = [&] {
    std::set<std::uint64_t> ids;
    for (const auto& [_, node] : model.nodes) ids.insert(node.id);
    return ids;
  }();

  const DateFormatTable table = DateTypeInit(nullptr);
  Creator creator(model, base);
  Stopper stopper;
  if (chance(20)) stopper.stopAt = random() % 40;
  RunOutcome outcome = RunCreation({parent, child, settings, table}, creator, &stopper);
  if (outcome.kind != RunOutcome::Kind::Created) return;
  RunRecord& record = outcome.record;
  CHECK(record.Made() == outcome.made);
  CHECK(record.Made() == model.madeIds.size());

  for (int undo = 0; undo < 4 && record.Made() > 0; ++undo) {
    const bool quiet = !chance(50);  // no change by the user before this undo
    if (!quiet) {
      std::vector<std::string> paths;
      for (const auto& [path, _] : model.nodes)
        if (path != base) paths.push_back(path);
      for (int i = 1 + static_cast<int>(random() % 3); i > 0 && !paths.empty(); --i) {
        const std::string path = paths[random() % paths.size()];
        if (!model.nodes.count(path)) continue;
        switch (random() % 5) {
          case 0:  // renamed away and an empty folder made in its place
            if (model.nodes[path].folder && !model.HasChildren(path)) {
              model.Erase(path);
              model.Put(path, model.parentOf[path], true);
            }
            break;
          case 1: model.Put(path + "\\f", path, false); break;
          case 2:  // filled and emptied again
            model.Put(path + "\\g", path, false);
            model.Erase(path + "\\g");
            break;
          case 3:
            if (!model.HasChildren(path)) model.Erase(path);
            break;
          default: model.nodes[path].undeletable = true; break;
        }
      }
    }
    if (chance(50)) {  // through the file, as after a restart
      std::optional<RunRecord> read = RunRecord::FromText(record.Text());
      CHECK(read && read->Text() == record.Text());
      record = std::move(*read);
    }
    CheckDamagedText(random, record.Text());

    const std::size_t removedBefore = model.removed.size();
    const std::uint64_t heldBefore = record.Made();
    Stopper undoStopper;
    if (chance(30)) undoStopper.stopAt = random() % (heldBefore + 1);
    model.random = &random;
    const UndoOutcome result = UndoRun(record, model, &undoStopper);
    model.random = nullptr;
    const std::size_t removedNow = model.removed.size() - removedBefore;

    for (std::size_t i = removedBefore; i < model.removed.size(); ++i) {
      CHECK(model.madeIds.count(model.removed[i]) == 1);  // only the run's own folders
      CHECK(before.count(model.removed[i]) == 0);
    }
    // Never more than went; fewer only where a name differs from another in trailing dots or
    // spaces alone, which the check reads as the one name Windows makes of both.
    CHECK(result.removed <= removedNow && removedNow <= result.removed + result.stillThere.count);
    CHECK(record.Made() == result.left);
    CHECK(record.Made() <= heldBefore - result.removed - result.gone.count);
    // What the record still holds is not known gone, nor known never to be taken: each is there and
    // may be taken later, or was left unreached.
    if (!result.stopped) {
      CHECK(record.Made() == result.notEmpty.count + result.stillThere.count + result.failed.count);
    }
    CheckReasons(model, result);
    CHECK(result.BoxText().find("作成したフォルダを") != std::string::npos ||
          result.BoxText().find("中止") != std::string::npos);
    // Undisturbed and unstopped, the undo takes all it can: what stays is undeletable or holds
    // something that is.
    // (Another program's removal restamps the folder it was in.)
    if (quiet && model.removedMeanwhile == 0 && !result.stopped && undo == 0) {
      CHECK(result.standIns.count == 0 && result.changed.count == 0 &&
            result.changedOrReplaced.count == 0);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 10;
  seed = static_cast<std::uint64_t>(std::random_device{}());
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--seconds") seconds = std::atof(argv[i + 1]);
    if (option == "--seed") seed = std::strtoull(argv[i + 1], nullptr, 10);
  }
  // <ctime>, not <chrono>: the standard <chrono> holds a character code page 932 lacks.
  const std::time_t start = std::time(nullptr);
  std::uint64_t runs = 0;
  const std::uint64_t first = seed;
  for (;; ++runs, ++seed) {
    if (runs % 64 == 0 && std::difftime(std::time(nullptr), start) >= seconds) break;
    std::mt19937_64 random(seed);
    OneCase(random);
    CheckTotals(random);
  }
  std::printf("undo_fuzz: %llu cases from seed %llu, no failure\n",
              static_cast<unsigned long long>(runs), static_cast<unsigned long long>(first));
  return 0;
}
