#include "tests/support/MouseDrag.h"

#include <atomic>
#include <thread>

#include "tests/support/MessagePump.h"

void DragWithTheMouse(const std::vector<POINT>& points) {
  if (points.empty()) return;
  std::atomic<bool> done{false};
  std::thread hand([&] {
    constexpr DWORD kStepMs = 250;
    SetCursorPos(points.front().x, points.front().y);
    Sleep(kStepMs);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    Sleep(kStepMs);
    for (std::size_t i = 1; i < points.size(); ++i) {
      SetCursorPos(points[i].x, points[i].y);
      Sleep(kStepMs);
    }
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    Sleep(kStepMs);
    done = true;
  });
  PumpMessagesUntil([&] { return done.load(); }, 15000);
  hand.join();
}
