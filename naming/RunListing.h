#pragma once
// Every path a run would make, in run order, each made only when asked for, with what the run
// would do there: the run's own rule for names and lengths, the names the run has made before it,
// and each folder of the disk read once. Nothing is kept per path, so a listing of a million
// folders costs no more than one of ten; its paths may be asked for from several threads at once,
// each with a DiskCache of its own.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "naming/CreationRun.h"
#include "naming/DiskView.h"
#include "naming/FolderRule.h"
#include "naming/NameIndex.h"

namespace naming {

// The state as the listings show it: "作成", "既存" or "作成不可".
std::string StateText(CreateStatus status);

struct ListedPath {
  std::string path;   // the whole path, as Windows reads the run's
  std::string below;  // below the target folder
};

// A run's settings as plain values: a template file's, or the window's at one moment.
class FixedRunSettings final : public RunSettings {
 public:
  FixedRunSettings(bool childFolders, std::string base)
      : childFolders_(childFolders), base_(std::move(base)) {}
  bool ChildFolders() const override { return childFolders_; }
  std::string BasePath() const override { return base_; }

 private:
  bool childFolders_;
  std::string base_;
};

class RunListing {
 public:
  // The listing of the run `inputs` would start, or none when that run would end before its first
  // folder with a box (conversion error, no target folder): `refusal` then holds that outcome.
  // A template whose texts the run refuses (forbidden or broken characters) is listed with every
  // path refused for that reason, as the run makes none of them; `refusal` says which. `folding`
  // must outlive the listing.
  static std::optional<RunListing> Make(const RunInputs& inputs, const NameFolding& folding,
                                        RunOutcome& refusal);

  std::uint64_t Count() const { return total_; }
  // Path `k` of the run, counted from 0 in creation order.
  ListedPath Path(std::uint64_t k) const;
  // What the run would do at path `k`, with the disk as `disk` reads it before the run.
  CreateResult State(std::uint64_t k, DiskCache& disk) const;
  const std::string& Base() const { return base_; }

 private:
  // A path of the run: a parent folder (child -1) or one of its children.
  struct Place {
    std::int64_t parent;
    std::int64_t child;
  };
  // A state, and whether the folder there is one the run made (where it first came).
  struct Found {
    CreateResult result;
    bool made = false;
  };

  explicit RunListing(std::string base) : base_(std::move(base)), measure_(base_) {}
  Place PlaceOf(std::uint64_t k) const;
  std::uint64_t IndexOf(Place place) const;
  Found At(Place place, DiskCache& disk) const;
  Found Again(std::uint64_t first, DiskCache& disk) const;
  // A folder made directly in the target: a parent, or a child of a parent with an empty name.
  Found InTarget(std::uint64_t own, const std::string& name, std::optional<std::int64_t> parent,
                 DiskCache& disk) const;
  Found Child(Place place, DiskCache& disk) const;
  std::uint64_t FirstInTarget(const std::string& key, std::optional<std::int64_t> parent) const;
  Place TargetPlace(std::uint64_t position) const;
  std::string TargetKey(std::uint64_t position) const;

  std::string base_;
  PathMeasure measure_;
  const NameFolding* folding_ = nullptr;  // not owned
  std::shared_ptr<const TierNames> parent_;
  std::shared_ptr<const TierNames> child_;  // null without child folders
  std::uint64_t stride_ = 1;                // a parent and its children
  std::uint64_t total_ = 0;
  std::string refusedTemplate_;  // why the run makes nothing; empty when it runs
  // The first parent with an empty name: its children go into the target folder itself, among
  // the parents. Then, with children, the names made in the target, in run order, are indexed.
  std::optional<std::int64_t> emptyParent_;
  std::shared_ptr<const KeyIndex> inTarget_;
};

// The states of a listing, counted.
struct ListingTally {
  std::uint64_t made = 0;
  std::uint64_t existing = 0;
  std::uint64_t refused = 0;

  void Add(CreateStatus status);
  // "作成 1,200  既存 3  作成不可 0"
  std::string Text() const;
};

}  // namespace naming
