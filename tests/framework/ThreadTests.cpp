#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "framework/Application.h"
#include "framework/Thread.h"
#include "tests/support/MessageBoxCloser.h"
#include "tests/support/MessagePump.h"

namespace {

// A thread running a test's body. One that does not free itself is stopped by its destructor.
class TTestThread final : public TThread {
 public:
  using TBody = std::function<void(TTestThread&)>;

  TTestThread(TBody body, bool freeOnTerminate, std::atomic<bool>* destroyed = nullptr)
      : body_(std::move(body)), destroyed_(destroyed) {
    SetFreeOnTerminate(freeOnTerminate);
    Start();
  }
  ~TTestThread() override {
    if (!FreeOnTerminate()) {
      Terminate();
      WaitFor();
    }
    if (destroyed_) *destroyed_ = true;
  }

  using TThread::Synchronize;

 protected:
  void Execute() override { body_(*this); }

 private:
  TBody body_;
  std::atomic<bool>* destroyed_;
};

// Sends `command` to the window of class `className` titled `title`, if it still exists after
// `timeoutMs`: a safety net so that a modal loop a test opens ends even when the behaviour under
// test fails.
void CommandWindowLater(const char* className, const char* title, DWORD timeoutMs, WPARAM command) {
  std::thread([=] {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (GetTickCount64() < deadline) Sleep(20);
    if (HWND window = FindWindowA(className, title)) PostMessageA(window, WM_COMMAND, command, 0);
  }).detach();
}

// The window of class `className` titled `title` (any title for null) once it shows; null when
// none shows within `timeoutMs`.
HWND WaitForWindow(const char* className, const char* title, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (GetTickCount64() < deadline) {
    HWND window = FindWindowA(className, title);
    if (window && IsWindowVisible(window)) return window;
    Sleep(10);
  }
  return nullptr;
}

TEST(ThreadSynchronize, RunsOnTheCreatingThreadWhileTheWorkerWaitsAndRaisesItsErrorThere) {
  const DWORD uiThread = GetCurrentThreadId();
  std::atomic<DWORD> ranOn{0};
  std::atomic<bool> workerSawResult{false};
  std::atomic<bool> workerCaught{false};
  std::atomic<bool> done{false};
  int value = 0;  // touched by the routine only, read by the worker after the call returned

  TTestThread thread(
      [&](TTestThread& self) {
        self.Synchronize([&] {
          ranOn = GetCurrentThreadId();
          Sleep(50);
          value = 42;
        });
        workerSawResult = value == 42;
        try {
          self.Synchronize([] { throw std::runtime_error("from the routine"); });
        } catch (const std::runtime_error& error) {
          workerCaught = std::string(error.what()) == "from the routine";
        }
        done = true;
      },
      false);

  ASSERT_TRUE(PumpMessagesUntil([&] { return done.load(); }, 10000));
  EXPECT_EQ(ranOn, uiThread);
  EXPECT_NE(ranOn, thread.ThreadID());
  EXPECT_TRUE(workerSawResult);
  EXPECT_TRUE(workerCaught);
}

TEST(ThreadSynchronize, RunsInsideAMessageBoxLoop) {
  static constexpr char kTitle[] = "ThreadTestsModalBox";
  std::atomic<bool> ranWhileBoxOpen{false};
  std::atomic<bool> done{false};
  CommandWindowLater("#32770", kTitle, 30000, IDCANCEL);  // safety net only

  TTestThread thread(
      [&](TTestThread& self) {
        HWND box = WaitForWindow("#32770", kTitle, 20000);
        self.Synchronize([&] {
          ranWhileBoxOpen = box && IsWindow(box);
          if (box) PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        done = true;
      },
      false);

  // The user-interface thread sits in the box's own loop until the worker's call closes it.
  const int answer = MessageBoxA(nullptr, "modal", kTitle, MB_OKCANCEL);
  EXPECT_EQ(answer, IDOK);
  ASSERT_TRUE(PumpMessagesUntil([&] { return done.load(); }, 10000));
  EXPECT_TRUE(ranWhileBoxOpen);
}

TEST(ThreadSynchronize, RunsInsideAPopupMenuLoop) {
  HWND owner = CreateWindowExA(0, "STATIC", "ThreadTestsMenuOwner", WS_POPUP, 0, 0, 10, 10, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(owner, nullptr);
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 1, "item");
  std::atomic<bool> menuShown{false};
  std::atomic<bool> ranInMenu{false};
  std::atomic<bool> done{false};

  TTestThread thread(
      [&](TTestThread& self) {
        // Once the menu window shows, the user-interface thread is inside TrackPopupMenu, and
        // the call below is taken by the menu's own loop.
        WaitForWindow("#32768", nullptr, 20000);
        self.Synchronize([&] {
          ranInMenu = menuShown.load();
          EndMenu();
        });
        done = true;
      },
      false);

  menuShown = true;
  // Returns when the menu closes: by the worker's EndMenu, or not at all if calls are stuck.
  TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, 5, 5, 0, owner, nullptr);
  menuShown = false;
  ASSERT_TRUE(PumpMessagesUntil([&] { return done.load(); }, 10000));
  EXPECT_TRUE(ranInMenu);
  DestroyMenu(menu);
  DestroyWindow(owner);
}

TEST(ThreadTermination, HandlerRunsOnTheCreatingThreadThenTheThreadReleasesItself) {
  const DWORD uiThread = GetCurrentThreadId();
  std::atomic<bool> executed{false};
  std::atomic<bool> destroyed{false};
  DWORD handlerThread = 0;
  bool aliveInHandler = false;
  bool executedBeforeHandler = false;

  // Released by itself: the pointer is only a reference.
  auto* thread = new TTestThread([&](TTestThread&) { executed = true; }, true, &destroyed);
  thread->OnTerminate = [&](TThread&) {
    handlerThread = GetCurrentThreadId();
    aliveInHandler = !destroyed;
    executedBeforeHandler = executed;
  };

  ASSERT_TRUE(PumpMessagesUntil([&] { return destroyed.load(); }, 10000));
  EXPECT_EQ(handlerThread, uiThread);
  EXPECT_TRUE(aliveInHandler);
  EXPECT_TRUE(executedBeforeHandler);
}

TEST(ThreadTermination, WaitForRunsTheWorkersCallsUntilItEnds) {
  std::atomic<int> calls{0};
  bool handlerRan = false;
  auto thread = std::make_unique<TTestThread>(
      [&](TTestThread& self) {
        while (!self.Terminated()) {
          self.Synchronize([&] { ++calls; });
          Sleep(1);
        }
      },
      false);
  thread->OnTerminate = [&](TThread&) { handlerRan = true; };
  ASSERT_TRUE(PumpMessagesUntil([&] { return calls >= 3; }, 10000));

  // No message loop here: the worker is likely blocked in a call when WaitFor starts.
  thread->Terminate();
  thread->WaitFor();
  EXPECT_TRUE(handlerRan);
  const int callsAtEnd = calls;
  thread.reset();
  EXPECT_EQ(calls, callsAtEnd);
}

TEST(ThreadErrors, ErrorsOfTheRunAndOfTheHandlerReachTheErrorBoxAndTheThreadStillEnds) {
  TMessageBoxCloser boxes;
  std::atomic<bool> destroyed{false};
  auto* thread = new TTestThread([](TTestThread&) { throw std::runtime_error("run failed"); }, true,
                                 &destroyed);
  thread->OnTerminate = [](TThread&) { throw std::runtime_error("handler failed"); };

  ASSERT_TRUE(PumpMessagesUntil([&] { return destroyed.load(); }, 10000));
  const std::vector<std::string> texts = boxes.Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_NE(texts[0].find("run failed"), std::string::npos);
  EXPECT_NE(texts[1].find("handler failed"), std::string::npos);
  EXPECT_EQ(boxes.Captions()[0], Application().Title());
}

}  // namespace
