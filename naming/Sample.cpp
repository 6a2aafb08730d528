#include "naming/Sample.h"

#include "naming/Composition.h"
#include "naming/Sequence.h"

namespace naming {

std::string SampleName(const TierTemplate& tier, const DateFormatTable& formats) {
  const int pattern = tier.PositionPattern();
  const std::string sequence = FirstSequenceText(tier, formats);
  const std::string freeLine = UsesFreeLines(pattern) ? tier.FreeLine(0) : "";
  return ComposeName(pattern, tier.FrontText(), sequence, tier.BackText(), freeLine);
}

}  // namespace naming
