#pragma once
// The sample line of a tier: the name of the first folder its run would make.

#include <string>

#include "naming/DateFormats.h"
#include "naming/Template.h"

namespace naming {

// Joins the first sequence text with the first free line as the tier's position pattern says.
// Reads only what the sample needs; a number-kind digit count or start number that is not an
// integer throws ConversionError (the window reports it and leaves the line as it was).
std::string SampleName(const TierTemplate& tier, const DateFormatTable& formats);

}  // namespace naming
