#include "shell/ShellNewName.h"

#include <shlwapi.h>

#include <utility>

#include "naming/Characters.h"
#include "naming/Composition.h"

namespace {

// The folder part of a path, with its separator ("C:\work\" of "C:\work\a", "C:\" of "C:\a");
// empty outside the file system.
std::string FolderOf(const std::string& itemPath) {
  if (itemPath.empty()) return {};
  // The ANSI call steps over double-byte characters: a second byte 5C is no separator.
  const char* name = PathFindFileNameA(itemPath.c_str());
  return itemPath.substr(0, static_cast<std::size_t>(name - itemPath.c_str()));
}

}  // namespace

std::string NewNameRefusal(const std::string& itemPath, const std::string& newName) {
  const std::string folder = FolderOf(itemPath);
  naming::NameRefusal refusal = naming::CheckNewName(newName, folder);
  // Another item's name; a change of case only names the item itself.
  const std::string target = folder + newName;
  if (refusal == naming::NameRefusal::None && !folder.empty() &&
      GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES &&
      lstrcmpiA(target.c_str(), itemPath.c_str()) != 0)
    refusal = naming::NameRefusal::Taken;
  if (refusal == naming::NameRefusal::None) return {};
  return naming::NameRefusalMessage(refusal, newName, naming::LongestName(folder));
}

void LimitNameEdit(HWND edit, const std::string& itemPath) {
  if (!edit) return;
  // 0 would mean no limit at all.
  const int longest = naming::LongestName(FolderOf(itemPath));
  SendMessageA(edit, EM_LIMITTEXT, static_cast<WPARAM>(longest > 0 ? longest : 1), 0);
}

std::wstring UnknownCharactersRefusal(const std::vector<char32_t>& refused) {
  const std::u16string names = naming::NamesOf(refused);
  return std::wstring(names.begin(), names.end()) +
         L" は Shift-JIS にない文字のため、名前に使えません。";
}

void TRefusedName::Start(HWND window, std::wstring typed, std::wstring why) {
  typed_ = std::move(typed);
  why_ = std::move(why);
  // Not while the control is still closing the edit.
  PostMessageA(window, message_, 0, 0);
}

void TRefusedName::Step(HWND window, const std::function<HWND()>& reopen) {
  if (!why_.empty()) {
    MessageBoxW(window, why_.c_str(), L"名前の変更", MB_OK | MB_ICONWARNING);
    why_.clear();
    PostMessageA(window, message_, 0, 0);
    return;
  }
  const HWND edit = reopen();
  if (!edit) return;
  SetWindowTextW(edit, typed_.c_str());
  SendMessageA(edit, EM_SETSEL, 0, -1);
}
