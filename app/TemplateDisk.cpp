#include "app/TemplateDisk.h"

#include <commdlg.h>

#include <vector>

#include "framework/KernelHandle.h"

namespace app {

namespace {

// 10,000 free lines of some hundred bytes each fit many times over; the limit keeps a wrong
// choice (a disk image, a video) from taking the 32-bit address space.
constexpr DWORD kLargestTemplate = 64u << 20;

// The filters' pairs of text and pattern, each ended by a NUL, the list by a second one.
constexpr char kTemplateFilter[] =
    "Tessarin テンプレート (*.tsnt)\0*.tsnt\0すべてのファイル (*.*)\0*.*\0";
constexpr char kTextFilter[] = "テキスト ファイル (*.txt)\0*.txt\0すべてのファイル (*.*)\0*.*\0";

std::optional<std::string> Choose(HWND owner, const std::string& folder, bool save,
                                  const char* filter, const char* extension) {
  std::vector<char> path(32768, '\0');
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrDefExt = extension;
  dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                 (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  const BOOL chosen = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
  if (!chosen) return std::nullopt;
  return std::string(path.data());
}

}  // namespace

std::optional<std::string> ChooseTemplateToOpen(HWND owner, const std::string& folder) {
  return Choose(owner, folder, false, kTemplateFilter, kTemplateExtension);
}

std::optional<std::string> ChooseTemplateToSave(HWND owner, const std::string& folder) {
  return Choose(owner, folder, true, kTemplateFilter, kTemplateExtension);
}

std::optional<std::string> ChooseTextToSave(HWND owner) {
  return Choose(owner, {}, true, kTextFilter, "txt");
}

std::optional<std::string> ReadTemplateText(const std::string& path) {
  TFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > kLargestTemplate) return std::nullopt;
  std::string text(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!text.empty() &&
      !ReadFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr))
    return std::nullopt;
  text.resize(read);
  return text;
}

bool WriteTemplateText(const std::string& path, const std::string& text) {
  const std::string written = path + ".new";
  bool whole = false;
  {
    TFileHandle file(CreateFileA(written.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD done = 0;
    whole = WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &done, nullptr) &&
            done == text.size() && FlushFileBuffers(file.Get());
  }
  if (whole && MoveFileExA(written.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  DeleteFileA(written.c_str());
  return false;
}

std::string FolderOf(const std::string& path) {
  // Backward search over double-byte text: walk forward and remember the last separator.
  std::size_t last = std::string::npos;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(path[i]))) {
      ++i;
      continue;
    }
    if (path[i] == '\\' || path[i] == '/') last = i;
  }
  if (last == std::string::npos) return {};
  // A drive root keeps its backslash.
  if (last == 2 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, last);
}

}  // namespace app
