#include "tests/support/MessagePump.h"

#include <algorithm>

#include "framework/Application.h"

bool PumpMessagesUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    Application().ProcessMessages();
    if (condition()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    const DWORD slice = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 10));
    MsgWaitForMultipleObjectsEx(0, nullptr, slice, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

void PumpMessagesFor(DWORD durationMs) {
  PumpMessagesUntil([] { return false; }, durationMs);
}

double MillisecondsNow() {
  static const LARGE_INTEGER frequency = [] {
    LARGE_INTEGER value;
    QueryPerformanceFrequency(&value);
    return value;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}
