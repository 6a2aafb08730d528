#include "framework/ProgressBar.h"

#include <commctrl.h>

#include <algorithm>

TProgressBar::TProgressBar(TContainer& parent, const TBounds& layout)
    : TWinControl(parent, layout) {
  CreateHandle({PROGRESS_CLASSA, "", 0, 0, LaidBounds()});
  SendMessageA(Handle(), PBM_SETRANGE32, 0, kSteps);
}

void TProgressBar::SetProgress(std::uint64_t done, std::uint64_t total) {
  const std::uint64_t step = total == 0 ? 0 : std::min(done, total) * kSteps / total;
  SendMessageA(Handle(), PBM_SETPOS, static_cast<WPARAM>(step), 0);
}

int TProgressBar::Position() const {
  return static_cast<int>(SendMessageA(Handle(), PBM_GETPOS, 0, 0));
}
