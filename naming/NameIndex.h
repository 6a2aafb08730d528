#pragma once
// Where a name first comes in a run, as the file system compares names, without keeping the names:
// an index of hashes for the names that need one, the sequence's own rule for the others.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "naming/DiskView.h"
#include "naming/TierRun.h"

namespace naming {

// Positions 0 to count - 1 by the hash of their keys, in position order: the first position of a
// key is found by one search and a check of the keys that share its hash. 8 bytes a position.
class KeyIndex {
 public:
  using KeyAt = std::function<std::string(std::uint64_t position)>;

  KeyIndex() = default;
  KeyIndex(std::uint64_t count, const KeyAt& keyAt);

  std::optional<std::uint64_t> First(const std::string& key, const KeyAt& keyAt) const;

 private:
  struct Entry {
    std::uint32_t hash;
    std::uint32_t position;
  };
  std::vector<Entry> entries_;
};

// One tier's names and where each first comes in the tier. Only the folders that take a free line
// are indexed; the others differ where their sequence texts do.
class TierNames {
 public:
  // `folding` must outlive it.
  TierNames(std::shared_ptr<const TierRun> run, const NameFolding& folding);

  std::int64_t Count() const { return run_->Count(); }
  std::string Name(std::int64_t k) const { return run_->Name(k); }
  std::string Key(std::int64_t k) const { return folding_->Fold(run_->Name(k)); }
  // The first folder of the tier whose name has `key`, the key of folder k.
  std::int64_t FirstOf(std::int64_t k, const std::string& key) const;
  std::optional<std::int64_t> FirstEmptyName() const { return run_->FirstEmptyName(); }

 private:
  std::shared_ptr<const TierRun> run_;
  const NameFolding* folding_;  // not owned
  KeyIndex lined_;
};

}  // namespace naming
