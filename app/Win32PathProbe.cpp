#include "app/Win32PathProbe.h"

#include <windows.h>

namespace app {

naming::CreateResult Win32PathProbe::Probe(const std::string& path) const {
  // Longer paths cannot name a directory (MAX_PATH less room for a 8.3 file name).
  constexpr std::size_t kLongestFolderPath = MAX_PATH - 12;
  if (path.size() > kLongestFolderPath) return {naming::CreateStatus::Failed, "パスが長すぎます"};
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return {};
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return {naming::CreateStatus::AlreadyThere, {}};
  return {naming::CreateStatus::Failed, "同じ名前のファイルがあります"};
}

}  // namespace app
