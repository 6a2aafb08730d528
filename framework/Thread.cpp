#include "framework/Thread.h"

#include <process.h>

#include <cerrno>
#include <exception>
#include <system_error>

#include "framework/ErrorSink.h"

namespace {

// Private messages of the hidden window; lParam points at the call or the thread.
constexpr UINT kSyncCallMessage = WM_APP + 1;
constexpr UINT kThreadEndedMessage = WM_APP + 2;

constexpr char kSyncWindowClass[] = "TessarinThreadSync";

[[noreturn]] void ThrowLastError(const char* what) {
  throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

ATOM RegisterSyncWindowClass(WNDPROC procedure) {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kSyncWindowClass;
  return RegisterClassExA(&windowClass);
}

// Reports an error of the worker or of a termination handler; on the user-interface thread only.
void ReportThreadError(std::exception_ptr error) noexcept {
  ReportError(error, "unknown error in a worker thread");
}

}  // namespace

TKernelHandle CreateEventHandle(TEventReset reset) {
  HANDLE event = CreateEventA(nullptr, reset == TEventReset::erManual, FALSE, nullptr);
  if (!event) ThrowLastError("CreateEvent");
  return TKernelHandle(event);
}

struct TThread::TSyncCall {
  const std::function<void()>& method;
  std::exception_ptr error;
};

TThread::TThread() : uiThreadId_(GetCurrentThreadId()) {
  static const ATOM windowClass = RegisterSyncWindowClass(&SyncWindowProc);
  if (!windowClass) ThrowLastError("RegisterClassEx");
  // A message-only window: it takes sent messages but no broadcasts and is never shown.
  syncWindow_ = CreateWindowExA(0, kSyncWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  if (!syncWindow_) ThrowLastError("CreateWindowEx");
}

TThread::~TThread() {
  if (thread_ && !finished_) {
    // An owner freeing the thread has no use for hearing that it ended.
    OnTerminate = nullptr;
    Terminate();
    WaitFor();
  }
  DestroyWindow(syncWindow_);
}

void TThread::Start() {
  unsigned id = 0;
  uintptr_t handle = _beginthreadex(nullptr, 0, &ThreadProc, this, 0, &id);
  if (!handle) throw std::system_error(errno, std::generic_category(), "_beginthreadex");
  thread_ = TKernelHandle(reinterpret_cast<HANDLE>(handle));
  threadId_ = id;
}

void TThread::WaitFor() {
  HANDLE thread = thread_.Get();
  if (!thread) return;
  // Once the termination has been handled the worker touches nothing more, though it may not
  // have returned yet (it is waiting for that very handler when the handler frees the object).
  while (!finished_) {
    // Sent messages only: the worker's calls run, the application's posted messages wait.
    DWORD answer = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
    if (answer != WAIT_OBJECT_0 + 1) return;
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

void TThread::Synchronize(const std::function<void()>& method) {
  TSyncCall call{method, nullptr};
  RunOnUIThread(call);
  if (call.error) std::rethrow_exception(call.error);
}

void TThread::RunOnUIThread(TSyncCall& call) {
  if (GetCurrentThreadId() == uiThreadId_) {
    call.method();
    return;
  }
  SendMessageA(syncWindow_, kSyncCallMessage, 0, reinterpret_cast<LPARAM>(&call));
}

unsigned __stdcall TThread::ThreadProc(void* parameter) {
  auto* self = static_cast<TThread*>(parameter);
  try {
    self->Execute();
  } catch (...) {
    std::exception_ptr error = std::current_exception();
    try {
      self->Synchronize([error] { ReportThreadError(error); });
    } catch (...) {
      // Reporting is best effort; the thread still ends in order.
    }
  }
  // The last touch of the object: on a free-on-terminate thread the handler releases it.
  SendMessageA(self->syncWindow_, kThreadEndedMessage, 0, reinterpret_cast<LPARAM>(self));
  return 0;
}

void TThread::Finish() {
  finished_ = true;
  // Read first: an owner may free a thread that does not free itself from this very handler.
  const bool release = freeOnTerminate_;
  // A copy: the handler may clear or replace OnTerminate while it runs.
  if (TNotifyEvent handler = OnTerminate) {
    try {
      handler(*this);
    } catch (...) {
      ReportThreadError(std::current_exception());
    }
  }
  if (release) delete this;
}

LRESULT CALLBACK TThread::SyncWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kSyncCallMessage: {
      auto* call = reinterpret_cast<TSyncCall*>(lParam);
      try {
        call->method();
      } catch (...) {
        call->error = std::current_exception();
      }
      return 0;
    }
    case kThreadEndedMessage: reinterpret_cast<TThread*>(lParam)->Finish(); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}
