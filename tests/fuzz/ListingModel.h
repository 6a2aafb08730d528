#pragma once
// A model of the disk as Windows shows it to a run and to its listing, and the property that ties
// the two: for a random template over a random disk, the listing's state of every path is what the
// run then does there, in whatever order the listing is read, and the folders the run makes are
// exactly the paths listed 作成. The native tests check a fixed sample; `scripts/fuzz list` checks
// as many cases as its minutes allow.

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "naming/Calendar.h"
#include "naming/Composition.h"
#include "naming/CreationRun.h"
#include "naming/FolderRule.h"
#include "naming/RunListing.h"
#include "testkit/TestTier.h"

namespace naming::test {

inline bool IsLeadByte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Upper-cases the ASCII letters and the full-width and Greek letters of code page 932; any other
// character is its own key.
class ModelFolding final : public NameFolding {
 public:
  std::string Fold(std::string_view name) const override {
    std::string key(name);
    for (std::size_t i = 0; i < key.size(); ++i) {
      if (IsLeadByte(key[i]) && i + 1 < key.size()) {
        const auto lead = static_cast<unsigned char>(key[i]);
        const auto second = static_cast<unsigned char>(key[++i]);
        if (lead == 0x82 && second >= 0x81 && second <= 0x9A)
          key[i] = static_cast<char>(second - 0x21);
        if (lead == 0x83 && second >= 0xBF && second <= 0xD6)
          key[i] = static_cast<char>(second - 0x20);
      } else if (key[i] >= 'a' && key[i] <= 'z') {
        key[i] = static_cast<char>(key[i] - 'a' + 'A');
      }
    }
    return key;
  }
};

// The names of a path as Windows reads it: split at separators that are not the second byte of a
// character, a doubled or closing separator naming nothing.
inline std::vector<std::string> NamesOf(std::string_view path) {
  std::vector<std::string> names(1);
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '\\') {
      if (!names.back().empty()) names.emplace_back();
      continue;
    }
    names.back() += path[i];
    if (IsLeadByte(path[i]) && i + 1 < path.size()) names.back() += path[++i];
  }
  if (names.back().empty()) names.pop_back();
  return names;
}

inline std::string JoinNames(const std::vector<std::string>& names) {
  std::string path = names[0] + "\\";
  for (std::size_t i = 1; i < names.size(); ++i) path += (i > 1 ? "\\" : "") + names[i];
  return path;
}

// Folders and files of drive C:, some of them folders nothing can be made in or read. It makes
// folders as Windows does, and notes every path Windows would have read otherwise than the run
// meant it: a name it would shorten, a device, a path longer than a folder's may be.
class ModelDisk final : public DirectoryCreator, public DiskReader {
 public:
  static constexpr const char* kNoPath = "パスが見つかりません";

  struct Node {
    bool folder = true;
    std::string refusal;  // nothing can be made in it or read from it: it holds nothing
    std::map<std::string, Node> entries;
  };

  // Adds what `path` names, and the folders above it; false where a file or a refusing folder is
  // in the way, or the name is taken.
  bool Add(const std::string& path, bool folder, std::string refusal = {}) {
    const std::vector<std::string> names = NamesOf(path);
    Node* node = &drive_;
    for (std::size_t i = 1; i < names.size(); ++i) {
      if (!node->folder || !node->refusal.empty()) return false;
      const std::string key = folding_.Fold(names[i]);
      const bool last = i + 1 == names.size();
      if (last && node->entries.count(key)) return false;
      node = &node->entries[key];
      if (last) *node = Node{folder, std::move(refusal), {}};
    }
    return true;
  }

  CreateResult Create(const std::string& path) override {
    const std::vector<std::string> names = NamesOf(path);
    std::size_t characters = names[0].size() + 1;
    for (std::size_t i = 1; i < names.size(); ++i) {
      const std::string& name = names[i];
      characters += static_cast<std::size_t>(CharacterCount(name)) + (i > 1 ? 1 : 0);
      const bool shortened = name.back() == '.' || name.back() == ' ';
      if (shortened || (i + 1 == names.size() && FolderRefusal(name, 0) == kDeviceName))
        misuses.push_back(path);
    }
    if (characters > kLongestFolderPath) misuses.push_back(path);
    if (names.size() == 1) return {CreateStatus::AlreadyThere, {}};
    Node* parent = Find({names.begin(), names.end() - 1});
    if (!parent || !parent->folder) return {CreateStatus::Failed, kNoPath};
    const std::string key = folding_.Fold(names.back());
    const auto there = parent->entries.find(key);
    if (there != parent->entries.end()) {
      if (there->second.folder) return {CreateStatus::AlreadyThere, {}};
      return {CreateStatus::Failed, std::string(kFileInTheWay)};
    }
    if (!parent->refusal.empty()) return {CreateStatus::Failed, parent->refusal};
    parent->entries[key] = Node{};
    made.push_back(JoinNames(names));
    return {};
  }
  FolderFacts Inspect(const std::string&) override { return {}; }

  const NameFolding& Folding() const override { return folding_; }
  FolderContents Read(const std::string& path) const override {
    const Node* node = const_cast<ModelDisk*>(this)->Find(NamesOf(path));
    if (!node || !node->folder) return FolderContents::Missing(kNoPath);
    if (!node->refusal.empty()) return FolderContents::Unreadable(node->refusal);
    std::vector<std::pair<std::string, bool>> entries;
    for (const auto& [key, entry] : node->entries) entries.emplace_back(key, entry.folder);
    return FolderContents::Listed(std::move(entries));
  }

  std::vector<std::string> made;     // the folders made, as Windows names them
  std::vector<std::string> misuses;  // paths Windows would have read otherwise

 private:
  Node* Find(const std::vector<std::string>& names) {
    Node* node = &drive_;
    for (std::size_t i = 1; i < names.size(); ++i) {
      if (!node->folder) return nullptr;
      const auto found = node->entries.find(folding_.Fold(names[i]));
      if (found == node->entries.end()) return nullptr;
      node = &found->second;
    }
    return node;
  }

  ModelFolding folding_;
  Node drive_;
};

// A random template over a random disk.
struct ListingCase {
  TestTier parent, child;
  TestSettings settings;
  ModelDisk disk;
};

// Texts that make names come again, differ only in case, end as Windows would not keep them,
// name devices, run long, or hold a character the run refuses.
inline std::string RandomText(std::mt19937_64& random, bool rare) {
  static const std::vector<std::string> kPieces = {"a",  "A",  "ａ",  "Ａ",     "α",  "Α",
                                                   "ソ", "表", "-",   "1",      "01", "x.y",
                                                   ".",  " ",  "CON", "nul.txt"};
  std::string text;
  const int pieces = static_cast<int>(random() % 3);
  for (int i = 0; i < pieces; ++i) text += kPieces[random() % kPieces.size()];
  if (rare && random() % 12 == 0)
    text += std::string(40 + random() % 160, random() % 2 ? 'x' : 'X');
  if (rare && random() % 60 == 0) text += random() % 2 ? "?" : "\x82";
  return text;
}

// `most`: about the most folders the tier makes; `longDates`: now and then more than a year of
// days, so that dates without the year come again.
inline void RandomTier(std::mt19937_64& random, TestTier& tier, int most, bool longDates) {
  static const std::vector<CalendarDate> kStarts = {{1988, 12, 25}, {1989, 1, 1},   {2019, 4, 20},
                                                    {2020, 2, 25},  {1867, 12, 20}, {2004, 2, 3}};
  tier.kind = static_cast<SequenceKind>(random() % 4);
  tier.front = RandomText(random, true);
  tier.back = RandomText(random, true);
  tier.pattern = static_cast<int>(random() % 5);
  tier.lines.clear();
  for (int lines = static_cast<int>(random() % 7); lines > 0; --lines)
    tier.lines.push_back(RandomText(random, false));
  const int first = static_cast<int>(random() % 12) - 3;
  tier.start = std::to_string(first);
  tier.end = std::to_string(first - 2 + static_cast<int>(random() % (most + 2)));
  tier.digits = std::to_string(random() % 4);
  tier.startDate = kStarts[random() % kStarts.size()];
  const bool years = longDates && random() % 4 == 0;
  const int days = static_cast<int>(random() % (years ? 800 : most + 1));
  tier.endDate = DateOfDayNumber(DayNumber(tier.startDate) + days);
  tier.dateFormat = static_cast<int>(random() % 12) - 1;
  tier.folderCount = std::to_string(random() % (most + 1));
  tier.lettersPerName = std::to_string(random() % 3);
  tier.letterCase = static_cast<int>(random() % 2);
}

// A path to sample: a name the tier makes (its case changed at times), or one of its own.
inline std::string SampleName(std::mt19937_64& random, const TestTier& tier,
                              const DateFormatTable& table) {
  const TierRun run(tier, table);
  if (run.Count() == 0 || random() % 4 == 0) return RandomText(random, false);
  std::string name = run.Name(static_cast<std::int64_t>(random() % run.Count()));
  if (random() % 3 == 0) name = ModelFolding().Fold(name);
  return name;
}

inline ListingCase RandomCase(std::mt19937_64& random, const DateFormatTable& table) {
  ListingCase c;
  c.settings.childFolders = random() % 3 != 0;
  RandomTier(random, c.parent, c.settings.childFolders ? 20 : 60, !c.settings.childFolders);
  RandomTier(random, c.child, random() % 4 == 0 ? 30 : 6, false);
  static const std::vector<std::string> kBases = {"C:\\w", "C:\\", "C:\\ソ", "C:\\d\\e",
                                                  "C:\\" + std::string(150, 'b')};
  c.settings.base = kBases[random() % kBases.size()];
  c.disk.Add(c.settings.base, true, random() % 10 == 0 ? "拒否" : "");
  for (int entries = static_cast<int>(random() % 16); entries > 0; --entries) {
    const std::string name = SampleName(random, c.parent, table);
    if (name.empty()) continue;
    const std::string path = JoinedPath(c.settings.base, name);
    const int kind = static_cast<int>(random() % 6);
    c.disk.Add(path, kind != 0, kind == 1 ? "拒否" : "");
    for (int below = static_cast<int>(random() % 3); below > 0 && kind > 1; --below) {
      const std::string childName = SampleName(random, c.child, table);
      if (!childName.empty()) c.disk.Add(JoinedPath(path, childName), random() % 3 != 0);
    }
  }
  return c;
}

// Records each step of the run: the path it names and, when the run asked the disk, the answer.
class RecordedRun final : public RunControl, public DirectoryCreator {
 public:
  explicit RecordedRun(ModelDisk& disk) : disk_(disk) {}
  bool Confirm(const RunPlan&) override { return true; }
  bool Continue(std::uint64_t, std::uint64_t, const std::string& path) override {
    paths.push_back(path);
    asked.emplace_back();
    return true;
  }
  CreateResult Create(const std::string& path) override {
    asked.back() = disk_.Create(path);
    return *asked.back();
  }
  FolderFacts Inspect(const std::string&) override { return {}; }

  std::vector<std::string> paths;
  std::vector<std::optional<CreateResult>> asked;  // none: refused by the rule, not asked

 private:
  ModelDisk& disk_;
};

// Checks one random case; empty when the property holds, else what broke first.
inline std::string CheckListing(std::mt19937_64& random, const DateFormatTable& table) {
  ListingCase c = RandomCase(random, table);
  const RunInputs inputs{c.parent, c.child, c.settings, table};
  RunOutcome refusal;
  const std::optional<RunListing> listing = RunListing::Make(inputs, c.disk.Folding(), refusal);
  std::vector<CreateResult> listed;
  DiskCache inOrder(c.disk);
  for (std::uint64_t k = 0; listing && k < listing->Count(); ++k)
    listed.push_back(listing->State(k, inOrder));
  // As the window's rows are drawn: in any order, with a cache of their own.
  std::vector<std::uint64_t> order(listed.size());
  for (std::uint64_t k = 0; k < order.size(); ++k) order[k] = k;
  std::shuffle(order.begin(), order.end(), random);
  DiskCache drawn(c.disk);
  for (const std::uint64_t k : order) {
    const CreateResult state = listing->State(k, drawn);
    if (state.status != listed[k].status || state.reason != listed[k].reason)
      return "row " + std::to_string(k) + " differs when drawn out of order";
  }
  RecordedRun run(c.disk);
  const RunOutcome outcome = RunCreation(inputs, run, &run);
  if (!c.disk.misuses.empty()) return "the run handed Windows " + c.disk.misuses[0];
  if (outcome.kind != RunOutcome::Kind::Created || refusal.kind != RunOutcome::Kind::Created) {
    const bool allRefused = std::all_of(listed.begin(), listed.end(), [](const CreateResult& s) {
      return s.status == CreateStatus::Failed;
    });
    if (outcome.kind != refusal.kind || !allRefused || !c.disk.made.empty())
      return "the run and the listing refuse the template differently";
    return {};
  }
  if (listed.size() != run.paths.size()) return "the counts differ";
  std::set<std::string> made;
  std::optional<std::size_t> firstFailure;
  std::uint64_t failures = 0;
  for (std::size_t k = 0; k < listed.size(); ++k) {
    const std::string path = listing->Path(k).path;
    const std::optional<CreateResult>& asked = run.asked[k];
    const CreateResult ran = asked.value_or(CreateResult{CreateStatus::Failed, {}});
    const std::string where = "path " + std::to_string(k) + " " + path + ": ";
    if (path != JoinNames(NamesOf(run.paths[k]))) return where + "not the run's";
    if (listed[k].status != ran.status) return where + "listed " + StateText(listed[k].status);
    if (asked && ran.status == CreateStatus::Failed && listed[k].reason != kParentNotMade &&
        ran.reason != listed[k].reason)
      return where + "listed for " + listed[k].reason + ", failed for " + ran.reason;
    if (ran.status == CreateStatus::Made && !made.insert(path).second) return where + "made twice";
    if (ran.status == CreateStatus::Failed && failures++ == 0) firstFailure = k;
  }
  if (made != std::set<std::string>(c.disk.made.begin(), c.disk.made.end()))
    return "the run made other folders than those listed";
  if (outcome.failures != failures ||
      (firstFailure && (outcome.firstFailedPath != run.paths[*firstFailure] ||
                        outcome.firstFailureReason != listed[*firstFailure].reason)))
    return "the run's summary names another failure: " + outcome.firstFailedPath;
  return {};
}

}  // namespace naming::test
