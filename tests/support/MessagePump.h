#pragma once
// Message pumping for tests that play the user-interface thread: worker threads' synchronous
// calls, sent and posted window messages and timers run while a test waits.

#include <windows.h>

#include <functional>

// Runs the calling thread's messages through the program's own loop until `condition` holds or
// `timeoutMs` milliseconds have passed; the answer is the condition's last value. The condition is
// checked at least every 10 ms, so it may watch values that other threads change.
bool PumpMessagesUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// Runs the calling thread's messages for `durationMs` milliseconds.
void PumpMessagesFor(DWORD durationMs);

// Milliseconds since an arbitrary start, for measuring delays in tests.
double MillisecondsNow();
