#pragma once
// The sequence part (01) of a tier: how many folders a run makes and the text of each.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "naming/DateFormats.h"
#include "naming/Template.h"

namespace naming {

class Sequence {
 public:
  virtual ~Sequence() = default;
  // Folders the tier's run makes; 0 when the range is empty.
  virtual std::int64_t Count() const = 0;
  // The sequence text of folder k, 0 <= k < Count().
  virtual std::string Text(std::int64_t k) const = 0;
  // The first folder i, from <= i <= k, whose text is folder k's. Texts of one sequence that
  // differ also differ as the file system compares names (its letters are all of one case).
  virtual std::int64_t FirstSameText(std::int64_t k, std::int64_t from) const = 0;
  // The first folder from `from` on whose text is empty.
  virtual std::optional<std::int64_t> FirstEmptyText(std::int64_t from) const = 0;
};

// Reads the run parameters of the tier's kind once. Number fields are converted in the order
// digit count, start number, end number; the first that is not an integer throws
// ConversionError. Letters fields that are not integers count as 1. `formats` must outlive the
// sequence.
std::unique_ptr<Sequence> ReadSequence(const TierTemplate& tier, const DateFormatTable& formats);

// The sequence text the sample line shows: the first folder's, reading only the fields the
// sample needs (digit count and start number for the number kind, which may throw
// ConversionError; the end of a range is never read).
std::string FirstSequenceText(const TierTemplate& tier, const DateFormatTable& formats);

// k in base 26 with exactly `letters` digits, most significant first, digit 0 being "A" (or
// "a"): AA, AB, ... ZZ, then AA again. Empty when `letters` is 0 or less.
std::string LetterText(std::int64_t k, int letters, bool lowerCase);

}  // namespace naming
