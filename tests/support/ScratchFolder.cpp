#include "tests/support/ScratchFolder.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>

namespace {

std::string TempRoot() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(sizeof buffer, buffer);
  if (length == 0 || length > MAX_PATH) throw std::runtime_error("no temporary directory");
  return std::string(buffer, length) + "TessarinTests";
}

void CreateFolderChain(const std::string& path) {
  for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
    CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
  if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
    throw std::runtime_error("cannot create " + path);
}

}  // namespace

TScratchFolder::TScratchFolder(const std::string& name) {
  static std::atomic<int> serial{0};
  path_ = TempRoot() + "\\" + name + "-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(++serial);
  RemoveFolderTree(path_);
  CreateFolderChain(path_);
}

TScratchFolder::~TScratchFolder() {
  RemoveFolderTree(path_);
  RemoveDirectoryA(TempRoot().c_str());  // only once no other test's folder is left in it
}

std::string TScratchFolder::PathOf(const std::string& relative) const {
  return path_ + "\\" + relative;
}

std::string TScratchFolder::MakeFolder(const std::string& relative) const {
  const std::string path = PathOf(relative);
  CreateFolderChain(path);
  return path;
}

std::string TScratchFolder::MakeFile(const std::string& relative,
                                     const std::string& content) const {
  const std::string path = PathOf(relative);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + path);
  DWORD written = 0;
  const BOOL ok =
      WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok) throw std::runtime_error("cannot write " + path);
  return path;
}

bool RemoveFolderTree(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string child = path + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveFolderTree(child);
      } else {
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path.c_str());
  return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> FolderNames(const std::string& path) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..")
      names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> FolderTree(const std::string& path) {
  std::vector<std::string> names;
  for (const std::string& name : FolderNames(path)) {
    names.push_back(name);
    for (const std::string& below : FolderTree(path + "\\" + name))
      names.push_back(name + "\\" + below);
  }
  return names;
}
