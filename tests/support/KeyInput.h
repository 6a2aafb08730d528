#pragma once
// Keys and typed text as the keyboard sends them (SendInput), for tests that play the user. They go
// to the focused window of the foreground window and wait in the thread's queue for the program's
// own loop (Application().ProcessMessages()).

#include <windows.h>

#include <initializer_list>
#include <string>
#include <thread>

// Types `text` (in the program's code page) as Unicode key events, one per UTF-16 unit, as
// on-screen keyboards and input tools do.
void TypeAsUnicodeKeys(const std::string& text);
// The same for text the code page need not have (é, 😀): a surrogate pair comes as two events.
void TypeAsUnicodeKeys(const std::wstring& text);

// Presses `keys` (virtual-key codes) one after another and lets them go in reverse order: a
// chord such as {VK_MENU, VK_UP}, or a single key.
void PressKeys(std::initializer_list<WORD> keys);

// Runs the program's loop until `window` shows `text`, for three seconds at most.
bool WaitForText(HWND window, const std::string& text);

// Presses `key` from a thread of its own as soon as a menu shows: the item's access key, for a test
// that opens a menu of the menu bar with Alt and a letter and then runs the program's loop. The
// menu's own loop reads the key. Waits for its thread when it goes.
class TKeyWhenMenuShows {
 public:
  explicit TKeyWhenMenuShows(WORD key);
  ~TKeyWhenMenuShows();
  TKeyWhenMenuShows(const TKeyWhenMenuShows&) = delete;
  TKeyWhenMenuShows& operator=(const TKeyWhenMenuShows&) = delete;

 private:
  std::thread presser_;
};
