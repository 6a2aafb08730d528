#include "naming/NameIndex.h"

#include <algorithm>
#include <stdexcept>

namespace naming {

namespace {

// FNV-1a: quick, and spread well enough that few keys share a hash.
std::uint32_t Hash(const std::string& key) {
  std::uint32_t hash = 2166136261u;
  for (const char c : key) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  return hash;
}

}  // namespace

KeyIndex::KeyIndex(std::uint64_t count, const KeyAt& keyAt) {
  if (count > UINT32_MAX) throw std::length_error("too many names to index");
  entries_.reserve(static_cast<std::size_t>(count));
  for (std::uint64_t position = 0; position < count; ++position)
    entries_.push_back({Hash(keyAt(position)), static_cast<std::uint32_t>(position)});
  std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
    return a.hash != b.hash ? a.hash < b.hash : a.position < b.position;
  });
}

std::optional<std::uint64_t> KeyIndex::First(const std::string& key, const KeyAt& keyAt) const {
  const std::uint32_t hash = Hash(key);
  auto entry = std::lower_bound(entries_.begin(), entries_.end(), hash,
                                [](const Entry& e, std::uint32_t h) { return e.hash < h; });
  for (; entry != entries_.end() && entry->hash == hash; ++entry)
    if (keyAt(entry->position) == key) return entry->position;
  return std::nullopt;
}

TierNames::TierNames(std::shared_ptr<const TierRun> run, const NameFolding& folding)
    : run_(std::move(run)), folding_(&folding) {
  lined_ = KeyIndex(static_cast<std::uint64_t>(run_->Lined()),
                    [this](std::uint64_t k) { return Key(static_cast<std::int64_t>(k)); });
}

std::int64_t TierNames::FirstOf(std::int64_t k, const std::string& key) const {
  const auto lined =
      lined_.First(key, [this](std::uint64_t i) { return Key(static_cast<std::int64_t>(i)); });
  if (lined) return static_cast<std::int64_t>(*lined);
  return run_->FirstSameUnlinedName(k);
}

}  // namespace naming
