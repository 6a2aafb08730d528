#include "framework/UpDown.h"

#include <commctrl.h>

#include "framework/Container.h"

namespace {
// The arrows report each step and the field keeps the value, so their own position must never
// reach a bound, where they would stop reporting.
constexpr int kPositionRange = 1 << 20;
}  // namespace

TUpDown::TUpDown(TContainer& parent, TWinControl& buddy) : TWinControl(&parent) {
  CreateHandle({UPDOWN_CLASSA, "", UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, {}});
  SendMessageA(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(-kPositionRange), kPositionRange);
  SendMessageA(Handle(), UDM_SETPOS32, 0, 0);
  // Takes its place at the field's right end, inside the field's bounds.
  SendMessageA(Handle(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy.Handle()), 0);
}

LRESULT TUpDown::Notify(const NMHDR& header) {
  if (header.code != UDN_DELTAPOS) return 0;
  const auto& change = reinterpret_cast<const NMUPDOWN&>(header);
  if (change.iDelta != 0 && OnStep) OnStep(change.iDelta > 0 ? 1 : -1);
  return 1;  // the position stays; the field holds the value
}
