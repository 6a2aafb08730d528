#pragma once
// One tier's part of a run: its parameters and free lines, read from the controls once when the
// run starts, and the name of its folder k. It keeps no reference to the controls, so the record
// of a run can make the same names again after the templates have changed.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "naming/DateFormats.h"
#include "naming/Sequence.h"
#include "naming/Template.h"

namespace naming {

class TierRun {
 public:
  // Converts the tier's fields (Sequence: may throw ConversionError). `formats` must outlive it.
  TierRun(const TierTemplate& tier, const DateFormatTable& formats);

  std::int64_t Count() const { return sequence_->Count(); }
  // Free lines count from 0 in every call of a tier's run, so each parent folder gets the same
  // child names; a folder past the last free line gets an empty one.
  std::string Name(std::int64_t k) const;

  // Folders 0 to Lined() - 1 take a free line; the names of those after them are front text,
  // sequence text and back text alone, so they differ where their sequence texts differ.
  std::int64_t Lined() const { return static_cast<std::int64_t>(freeLines_.size()); }
  // For k >= Lined(): the first folder from Lined() on whose name is folder k's.
  std::int64_t FirstSameUnlinedName(std::int64_t k) const {
    return sequence_->FirstSameText(k, Lined());
  }
  // The first folder whose name is empty.
  std::optional<std::int64_t> FirstEmptyName() const;

 private:
  std::string front_;
  std::string back_;
  int pattern_;
  std::unique_ptr<Sequence> sequence_;
  std::vector<std::string> freeLines_;  // only those a folder of the run takes
};

// How many folders the tier's run makes, by the run's own reading of its fields; empty when a
// field cannot be converted.
std::optional<std::int64_t> TierFolderCount(const TierTemplate& tier,
                                            const DateFormatTable& formats);

}  // namespace naming
