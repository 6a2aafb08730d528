#include "app/Win32Naming.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "naming/FolderRule.h"

#include "framework/KernelHandle.h"

namespace app {

namespace {

std::optional<std::string> FormatDate(const SYSTEMTIME& time, const char* picture) {
  char buffer[64];
  const int length = GetDateFormatA(GetThreadLocale(), DATE_USE_ALT_CALENDAR, &time, picture,
                                    buffer, sizeof buffer);
  if (length <= 0) return std::nullopt;
  return std::string(buffer, static_cast<std::size_t>(length - 1));  // length counts the NUL
}

// The text as the ANSI calls pass it on to the system.
std::wstring Wide(std::string_view text) {
  std::wstring wide(text.size(), L'\0');
  const int size = static_cast<int>(text.size());
  wide.resize(static_cast<std::size_t>(
      MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), size)));
  return wide;
}

// A name's key: its UTF-16 text upper-cased as the system upper-cases, in the invariant locale (no
// language's own casing: the file system has none).
std::string WideKey(std::wstring name) {
  const int length = static_cast<int>(name.size());
  LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, name.data(), length, name.data(), length);
  return std::string(reinterpret_cast<const char*>(name.data()), name.size() * sizeof(wchar_t));
}

naming::FileTime Moment(const FILETIME& time) {
  return (static_cast<naming::FileTime>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

naming::FolderFacts FactsOf(DWORD attributes, const FILETIME& created, const FILETIME& written) {
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return {naming::FolderFacts::Kind::Other};
  return {naming::FolderFacts::Kind::Folder, Moment(created), Moment(written)};
}

}  // namespace

std::optional<naming::EraText> Win32AlternativeCalendar::EraOf(
    const naming::CalendarDate& date) const {
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(date.year);
  time.wMonth = static_cast<WORD>(date.month);
  time.wDay = static_cast<WORD>(date.day);
  std::optional<std::string> name = FormatDate(time, "gg");
  std::optional<std::string> year = FormatDate(time, "yy");
  if (!name || !year) return std::nullopt;
  return naming::EraText{std::move(*name), std::move(*year)};
}

naming::CreateResult Win32DirectoryCreator::Create(const std::string& path) {
  if (CreateDirectoryA(path.c_str(), nullptr)) return {};
  const DWORD error = GetLastError();
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return {naming::CreateStatus::Failed, SystemErrorText(error)};
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return {naming::CreateStatus::AlreadyThere, {}};
  return {naming::CreateStatus::Failed, std::string(naming::kFileInTheWay)};
}

std::string Win32DiskReader::Fold(std::string_view name) const {
  // ASCII needs no call: its letters upper-cased, each character with a zero high byte.
  if (std::any_of(name.begin(), name.end(), [](char c) { return (c & 0x80) != 0; }))
    return WideKey(Wide(name));
  std::string key(name.size() * 2, '\0');
  for (std::size_t i = 0; i < name.size(); ++i)
    key[2 * i] =
        name[i] >= 'a' && name[i] <= 'z' ? static_cast<char>(name[i] - 'a' + 'A') : name[i];
  return key;
}

// In UTF-16, as the names are: an ANSI listing would give a name the code page lacks with a
// character it has in its place (é as e).
naming::FolderContents Win32DiskReader::Read(const std::string& folder) const {
  const std::wstring pattern = Wide(naming::JoinedPath(folder, "*"));
  WIN32_FIND_DATAW found;
  TFindHandle search(FindFirstFileExW(pattern.c_str(), FindExInfoStandard, &found,
                                      FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  // Systems before Windows 7 know no large batches.
  if (!search && GetLastError() == ERROR_INVALID_PARAMETER)
    search = TFindHandle(FindFirstFileW(pattern.c_str(), &found));
  std::vector<std::pair<std::string, bool>> entries;
  if (!search) {
    switch (const DWORD error = GetLastError()) {
      case ERROR_FILE_NOT_FOUND: return naming::FolderContents::Listed({});  // a root holds nothing
      case ERROR_PATH_NOT_FOUND:
      case ERROR_INVALID_NAME:  // a file's name, read as a folder's
      case ERROR_DIRECTORY:
        return naming::FolderContents::Missing(SystemErrorText(ERROR_PATH_NOT_FOUND));
      default: return naming::FolderContents::Unreadable(SystemErrorText(error));
    }
  }
  do {
    const std::wstring_view name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entries.emplace_back(WideKey(std::wstring(name)), isFolder);
    // A short name is another name of the same entry: making a folder of it finds the entry.
    if (found.cAlternateFileName[0] != L'\0')
      entries.emplace_back(WideKey(found.cAlternateFileName), isFolder);
  } while (FindNextFileW(search.Get(), &found));
  return naming::FolderContents::Listed(std::move(entries));
}

const Win32DiskReader& DiskReader() {
  static const Win32DiskReader reader;
  return reader;
}

naming::FolderFacts Win32DirectoryCreator::Inspect(const std::string& path) {
  return InspectFolder(path);
}

naming::FolderFacts Win32DirectoryRemover::Inspect(const std::string& path) {
  return InspectFolder(path);
}

naming::FolderFacts InspectFolder(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {};
    return {naming::FolderFacts::Kind::Other};
  }
  return FactsOf(data.dwFileAttributes, data.ftCreationTime, data.ftLastWriteTime);
}

std::optional<naming::Listing> Win32DirectoryRemover::List(const std::string& directory,
                                                           std::size_t most) {
  const std::string pattern = directory + "\\*";
  WIN32_FIND_DATAA found;
  TFindHandle search(FindFirstFileExA(pattern.c_str(), FindExInfoBasic, &found,
                                      FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  // Systems before Windows 7 know neither the basic level nor large batches.
  if (!search && GetLastError() == ERROR_INVALID_PARAMETER)
    search = TFindHandle(FindFirstFileA(pattern.c_str(), &found));
  if (!search) {
    // A directory that is gone holds nothing; one that cannot be read is not known.
    const DWORD error = GetLastError();
    if (error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND) return naming::Listing{};
    return std::nullopt;
  }
  naming::Listing listing;
  do {
    const std::string_view name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (listing.entries.size() == most) {
      listing.complete = false;
      break;
    }
    listing.entries.push_back(
        {std::string(name),
         FactsOf(found.dwFileAttributes, found.ftCreationTime, found.ftLastWriteTime)});
  } while (FindNextFileA(search.Get(), &found));
  return listing;
}

bool Win32DirectoryRemover::WritesFollowEntries(const std::string& directory) {
  char root[MAX_PATH];
  char fileSystem[MAX_PATH + 1];
  if (!GetVolumePathNameA(directory.c_str(), root, sizeof root) ||
      !GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, nullptr, fileSystem,
                             sizeof fileSystem)) {
    return false;
  }
  return lstrcmpiA(fileSystem, "NTFS") == 0 || lstrcmpiA(fileSystem, "ReFS") == 0;
}

naming::RemoveResult Win32DirectoryRemover::Remove(const std::string& path) {
  if (RemoveDirectoryA(path.c_str())) return {};
  const DWORD error = GetLastError();
  switch (error) {
    case ERROR_DIR_NOT_EMPTY: return {naming::RemoveStatus::NotEmpty, {}};
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return {naming::RemoveStatus::Gone, {}};
    default: break;
  }
  return {naming::RemoveStatus::Failed, SystemErrorText(error)};
}

std::string SystemErrorText(unsigned long error) {
  char buffer[512];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                error, 0, buffer, sizeof buffer, nullptr);
  while (length > 0 &&
         (buffer[length - 1] == '\r' || buffer[length - 1] == '\n' || buffer[length - 1] == ' ')) {
    --length;
  }
  if (length == 0) return "エラー " + std::to_string(error);
  return std::string(buffer, length);
}

}  // namespace app
