#pragma once
// Every path a run would make, in run order, each made only when asked for, with what the run
// would do there. Nothing is kept per path, so a listing of a million folders costs no more than
// one of ten; its paths may be asked for from several threads at once.

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <string>

#include "naming/CreationRun.h"
#include "naming/TierRun.h"

namespace naming {

// What the run would find at a path, without making anything (on Windows the file attributes).
// The answer's reason is filled for Failed only.
class PathProbe {
 public:
  virtual ~PathProbe() = default;
  virtual CreateResult Probe(const std::string& path) const = 0;
};

// The state as the listings show it: "作成", "既存" or "作成不可".
std::string StateText(CreateStatus status);

struct ListedPath {
  std::string path;   // the whole path
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
  // path refused for that reason, as the run makes none of them.
  static std::optional<RunListing> Make(const RunInputs& inputs, RunOutcome& refusal);

  std::uint64_t Count() const { return total_; }
  // Path `k` of the run, counted from 0 in creation order.
  ListedPath Path(std::uint64_t k) const;
  // What the run would do at path `k`. A child folder whose parent the run cannot make cannot be
  // made either, whatever is at its own path.
  CreateResult State(std::uint64_t k, const PathProbe& probe) const;
  const std::string& Base() const { return base_; }

 private:
  RunListing() = default;
  std::uint64_t Stride() const;

  std::string base_;
  std::shared_ptr<const TierRun> parent_;
  std::shared_ptr<const TierRun> child_;  // null without child folders
  std::uint64_t total_ = 0;
  std::string refusedTemplate_;  // why the run makes nothing; empty when it runs
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
