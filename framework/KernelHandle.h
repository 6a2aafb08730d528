#pragma once
// Owners of kernel handles. One template; its traits say how a kind of handle is closed and which
// value stands for none, which is what the kind's opening call answers when it fails: null from
// CreateEvent and _beginthreadex, INVALID_HANDLE_VALUE from CreateFile and the Find calls.

#include <windows.h>

#include <utility>

template <typename Traits>
class TOwnedHandle {
 public:
  TOwnedHandle() noexcept = default;
  // Takes `adopted` over, which may be the kind's none.
  explicit TOwnedHandle(HANDLE adopted) noexcept : handle_(adopted) {}
  TOwnedHandle(TOwnedHandle&& other) noexcept : handle_(other.Release()) {}
  TOwnedHandle& operator=(TOwnedHandle&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = other.Release();
    }
    return *this;
  }
  TOwnedHandle(const TOwnedHandle&) = delete;
  TOwnedHandle& operator=(const TOwnedHandle&) = delete;
  ~TOwnedHandle() { Close(); }

  // Closes the handle now; false when the system refused (the handle is given up either way).
  // Holding none, there is nothing to refuse.
  bool Close() noexcept {
    const HANDLE handle = Release();
    return handle == Traits::None() || Traits::Close(handle);
  }

  HANDLE Get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != Traits::None(); }

 private:
  HANDLE Release() noexcept { return std::exchange(handle_, Traits::None()); }

  HANDLE handle_ = Traits::None();
};

// Threads, events and other objects closed with CloseHandle.
struct TKernelObjectTraits {
  static HANDLE None() noexcept { return nullptr; }
  static bool Close(HANDLE handle) noexcept { return CloseHandle(handle) != FALSE; }
};

// Files from CreateFileA, closed with CloseHandle.
struct TFileTraits {
  static HANDLE None() noexcept { return INVALID_HANDLE_VALUE; }
  static bool Close(HANDLE handle) noexcept { return CloseHandle(handle) != FALSE; }
};

// Directory searches of FindFirstFileA and FindFirstFileExA.
struct TFindTraits {
  static HANDLE None() noexcept { return INVALID_HANDLE_VALUE; }
  static bool Close(HANDLE handle) noexcept { return FindClose(handle) != FALSE; }
};

// Change notifications of FindFirstChangeNotificationA.
struct TChangeNotificationTraits {
  static HANDLE None() noexcept { return INVALID_HANDLE_VALUE; }
  static bool Close(HANDLE handle) noexcept { return FindCloseChangeNotification(handle) != FALSE; }
};

using TKernelHandle = TOwnedHandle<TKernelObjectTraits>;
using TFileHandle = TOwnedHandle<TFileTraits>;
using TFindHandle = TOwnedHandle<TFindTraits>;
using TChangeHandle = TOwnedHandle<TChangeNotificationTraits>;
