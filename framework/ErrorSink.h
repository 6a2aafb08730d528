#pragma once
// Where the window layer sends an exception that escaped a message handler or a worker thread.
// The layer shows nothing itself: the application installs the sink (its error box), so windows
// and threads need not know the application. Without a sink the error is dropped.

#include <exception>

using TErrorSink = void (*)(const std::exception& error);

void SetErrorSink(TErrorSink sink) noexcept;

// Hands `error` to the sink; an exception of another kind arrives as `unknownText`. Never throws: a
// sink that fails has nothing left to tell the user with.
void ReportError(std::exception_ptr error, const char* unknownText) noexcept;
