#pragma once
// For tests in which a message box may or must appear (the application's error box, a creation
// run's closing box): a thread of its own closes every message box of this process as soon as it
// shows and keeps the texts the boxes showed.

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TMessageBoxCloser {
 public:
  // Closes each box as if its `command` button (IDOK, IDCANCEL, ...) had been pressed.
  explicit TMessageBoxCloser(WPARAM command = IDOK);
  ~TMessageBoxCloser();
  TMessageBoxCloser(const TMessageBoxCloser&) = delete;
  TMessageBoxCloser& operator=(const TMessageBoxCloser&) = delete;

  // The message texts of the boxes closed so far, in the order they showed.
  std::vector<std::string> Texts() const;
  // The same as the boxes showed them in UTF-16, characters the code page lacks included.
  std::vector<std::wstring> WideTexts() const;
  // The captions of those boxes.
  std::vector<std::string> Captions() const;
  // Where they stood on the screen.
  std::vector<RECT> Places() const;

 private:
  void Watch();
  void CloseNewBoxes();

  const WPARAM command_;
  std::atomic<bool> stop_{false};
  mutable std::mutex lock_;
  std::vector<HWND> closed_;
  std::vector<std::string> texts_;
  std::vector<std::wstring> wideTexts_;
  std::vector<std::string> captions_;
  std::vector<RECT> places_;
  std::thread watcher_;
};

// The visible dialog windows (class "#32770") of this process: message boxes and others.
std::vector<HWND> VisibleDialogsOfThisProcess();
