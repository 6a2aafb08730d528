#pragma once
// The checks a new name typed into a shell control's label edit passes before the shell is asked
// to rename: the shell would refuse a bad name without a word (or cut a long one short), so the
// user is told why, and the edit opens again with what was typed.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Why the item at `itemPath` (its file-system path; empty outside the file system) cannot take
// `newName`: empty, a forbidden character, too long for its folder, another item's name. The
// message to show; empty when the name may be tried.
std::string NewNameRefusal(const std::string& itemPath, const std::string& newName);

// Why a name typed with characters the code page lacks (`refused`) cannot be taken.
std::wstring UnknownCharactersRefusal(const std::vector<char32_t>& refused);

// Lets the label edit `edit` take no longer a name than fits the folder of the item at `itemPath`.
void LimitNameEdit(HWND edit, const std::string& itemPath);

// A refused name on its way back into the label edit. The control starts it when an edit ends
// with a refused name and runs Step on every `message` it is posted: the first step tells the user
// why, the second (once the window has taken back the focus the box had) opens the edit again with
// the typed name in it, exactly as typed, all selected.
class TRefusedName {
 public:
  explicit TRefusedName(UINT message) : message_(message) {}

  void Start(HWND window, std::wstring typed, std::wstring why);
  // `reopen` opens the edit again and answers its window; null when the item is gone.
  void Step(HWND window, const std::function<HWND()>& reopen);

 private:
  UINT message_;
  std::wstring typed_;
  std::wstring why_;
};
