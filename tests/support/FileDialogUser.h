#pragma once
// For tests in which the user picks a file in the system's open or save dialog: a thread of its own
// waits for the dialog, types the file's name into its name field as keys and presses Enter, then
// reads every message box that follows and answers it as a user who agrees (Yes where it asks,
// else OK). The dialog runs inside the test's own pumping.

#include <windows.h>

#include <atomic>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

class TFileDialogUser {
 public:
  explicit TFileDialogUser(std::string path);
  ~TFileDialogUser();
  TFileDialogUser(const TFileDialogUser&) = delete;
  TFileDialogUser& operator=(const TFileDialogUser&) = delete;

  // Whether the name has been typed into a dialog and Enter pressed.
  bool Typed() const { return typed_; }
  // Stops the thread; then the folder the dialog opened in and the texts of the boxes it closed.
  void Finish();
  const std::string& StartFolder() const { return startFolder_; }
  const std::vector<std::string>& BoxTexts() const { return texts_; }

 private:
  void Play();

  const std::string path_;
  std::atomic<bool> typed_{false};
  std::atomic<bool> stop_{false};
  std::string startFolder_;         // the thread's until it is joined
  std::vector<std::string> texts_;  // the same
  std::thread user_;
};

// Presses `keys` on `window` (made the foreground window) and plays the user at the file dialog
// they open, with `path`; pumps the program's loop until the command is done. The boxes' texts.
std::vector<std::string> UseFileDialog(HWND window, std::initializer_list<WORD> keys,
                                       const std::string& path, std::string* startFolder = nullptr);
