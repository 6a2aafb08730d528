#pragma once
// The common controls' progress bar, showing how far a task of any size has come.

#include <cstdint>

#include "framework/Window.h"

class TProgressBar : public TWinControl {
 public:
  // The bar's own range; any task is scaled to it, so totals beyond 32 bits fit.
  static constexpr int kSteps = 1000;

  TProgressBar(TContainer& parent, const TBounds& layout);

  // `done` of `total`; a total of 0 shows an empty bar.
  void SetProgress(std::uint64_t done, std::uint64_t total);
  // 0 to kSteps.
  int Position() const;
};
