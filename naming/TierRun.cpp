#include "naming/TierRun.h"

#include <algorithm>

#include "naming/Composition.h"
#include "naming/Integer.h"

namespace naming {

TierRun::TierRun(const TierTemplate& tier, const DateFormatTable& formats)
    : front_(tier.FrontText()),
      back_(tier.BackText()),
      pattern_(tier.PositionPattern()),
      sequence_(ReadSequence(tier, formats)) {
  // One reading of the box per run: the values cannot change while the run goes on.
  if (UsesFreeLines(pattern_)) freeLines_ = tier.FreeLines(sequence_->Count());
}

std::string TierRun::Name(std::int64_t k) const {
  const bool hasLine = k < static_cast<std::int64_t>(freeLines_.size());
  const std::string_view freeLine =
      hasLine ? std::string_view(freeLines_[static_cast<std::size_t>(k)]) : "";
  return ComposeName(pattern_, front_, sequence_->Text(k), back_, freeLine);
}

std::optional<std::int64_t> TierRun::FirstEmptyName() const {
  if (!front_.empty() || !back_.empty()) return std::nullopt;
  for (std::int64_t k = 0; k < Lined(); ++k)
    if (freeLines_[static_cast<std::size_t>(k)].empty() && sequence_->Text(k).empty()) return k;
  return sequence_->FirstEmptyText(Lined());
}

std::optional<std::int64_t> TierFolderCount(const TierTemplate& tier,
                                            const DateFormatTable& formats) {
  try {
    return ReadSequence(tier, formats)->Count();
  } catch (const ConversionError&) {
    return std::nullopt;
  }
}

}  // namespace naming
