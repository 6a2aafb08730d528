#pragma once
// Worker threads whose results reach the user-interface thread through synchronous calls.
//
// The thread that creates a TThread is its user-interface thread. Calls from the worker onto it are
// window messages sent to a hidden window of that thread, so they run whenever the thread takes
// messages: in the main loop and equally inside any modal loop (a message box, a popup menu, a
// drag loop). A thread blocked without taking messages runs none of them.

#include <windows.h>

#include <atomic>
#include <functional>

#include "framework/KernelHandle.h"

// A Win32 event; throws std::system_error when it cannot be made.
enum class TEventReset { erManual, erAuto };
TKernelHandle CreateEventHandle(TEventReset reset);

class TThread {
 public:
  using TNotifyEvent = std::function<void(TThread& sender)>;

  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;
  // An owner frees only a thread that does not free itself, after Terminate and WaitFor. As a
  // last resort the destructor terminates and waits, but by then a derived part that Execute
  // still uses is gone.
  virtual ~TThread();

  // Marks the thread terminated; Execute is expected to notice and return.
  void Terminate() noexcept { terminated_ = true; }
  bool Terminated() const noexcept { return terminated_; }

  // When set, the object releases itself right after its termination handler has run. An owner
  // then never frees it and must not use it once the handler has run. User-interface thread.
  bool FreeOnTerminate() const noexcept { return freeOnTerminate_; }
  void SetFreeOnTerminate(bool value) noexcept { freeOnTerminate_ = value; }

  // Runs on the user-interface thread once Execute has returned, while the worker waits.
  TNotifyEvent OnTerminate;

  // Waits on the user-interface thread until the worker has ended, running the worker's
  // synchronous calls and termination handler meanwhile. Only for a thread that does not free
  // itself, and never from inside one of its own synchronous calls.
  void WaitFor();

  DWORD ThreadID() const noexcept { return threadId_; }

 protected:
  // Creates the hidden window on the calling (user-interface) thread; the worker starts with
  // Start, which a derived class calls last in its constructor, once Execute can run.
  TThread();
  void Start();

  // The worker's run. An error escaping it is shown in the application's error box; the thread
  // then ends as usual.
  virtual void Execute() = 0;

  // Runs `method` on the user-interface thread and returns when it has; an error it raises is
  // raised again here, on the worker. Called from the user-interface thread, it runs directly.
  void Synchronize(const std::function<void()>& method);

 private:
  struct TSyncCall;
  static unsigned __stdcall ThreadProc(void* parameter);
  static LRESULT CALLBACK SyncWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void RunOnUIThread(TSyncCall& call);
  void Finish();  // user-interface thread, after Execute

  std::atomic<bool> terminated_{false};
  bool freeOnTerminate_ = false;
  bool finished_ = false;  // termination handled; user-interface thread only
  DWORD uiThreadId_ = 0;
  DWORD threadId_ = 0;
  HWND syncWindow_ = nullptr;  // owned: destroyed with the object, on the user-interface thread
  TKernelHandle thread_;
};
