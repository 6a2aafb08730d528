#include "framework/ErrorSink.h"

#include <stdexcept>

namespace {

// Constant-initialised, so it is in place before any other initialiser runs.
TErrorSink installedSink = nullptr;

}  // namespace

void SetErrorSink(TErrorSink sink) noexcept { installedSink = sink; }

void ReportError(std::exception_ptr error, const char* unknownText) noexcept {
  if (!installedSink || !error) return;
  try {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& known) {
      installedSink(known);
    } catch (...) {
      installedSink(std::runtime_error(unknownText));
    }
  } catch (...) {
    // The sink itself failed.
  }
}
