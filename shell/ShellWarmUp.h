#pragma once
// The shell's caches that a program's first window needs, filled on a thread of its own while the
// user-interface thread makes the window: the system image list, which takes Wine some 50 ms to
// build, and the small icons of the desktop, its items and its first item's items, which a folder
// tree shows at once.
//
// The system image list is not safe to draw from while another thread adds to it: Wait before
// anything of the process draws from it or asks the shell for an icon.

#include <thread>

class TShellWarmUp {
 public:
  TShellWarmUp();
  ~TShellWarmUp();  // waits

  TShellWarmUp(const TShellWarmUp&) = delete;
  TShellWarmUp& operator=(const TShellWarmUp&) = delete;

  // Returns when the caches are filled; at once after the first time.
  void Wait();

 private:
  std::thread thread_;
};
