// libFuzzer harness for reading template files (scripts/fuzz builds and runs it natively). Any
// text is read without a fault, and what a reading takes is a template that writes and reads back
// the same, with nothing replaced.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "naming/TemplateFile.h"

namespace {

naming::TemplateValues Defaults() {
  naming::TemplateValues values;
  for (naming::TierValues* tier : {&values.parent, &values.child}) {
    tier->startDate = {2026, 12, 8};
    tier->endDate = {2026, 12, 9};
  }
  return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const naming::TemplateValues defaults = Defaults();
  const naming::TemplateReading reading = naming::ReadTemplate(text, defaults);
  naming::ReplacedValuesText(reading.replaced);
  if (reading.status != naming::TemplateReading::Status::Read) {
    if (!(reading.values == defaults) || !reading.replaced.empty()) std::abort();
    return 0;
  }
  const naming::TemplateReading again =
      naming::ReadTemplate(naming::WriteTemplate(reading.values), defaults);
  if (again.status != naming::TemplateReading::Status::Read || !again.replaced.empty() ||
      !(again.values == reading.values))
    std::abort();
  return 0;
}
