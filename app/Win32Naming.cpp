#include "app/Win32Naming.h"

#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "naming/FolderRule.h"

namespace app {

namespace {

std::optional<std::string> FormatDate(const SYSTEMTIME& time, const char* picture) {
  char buffer[64];
  const int length = GetDateFormatA(GetThreadLocale(), DATE_USE_ALT_CALENDAR, &time, picture,
                                    buffer, sizeof buffer);
  if (length <= 0) return std::nullopt;
  return std::string(buffer, static_cast<std::size_t>(length - 1));  // length counts the NUL
}

// Owns a search handle of FindFirstFileA; empty for INVALID_HANDLE_VALUE.
class TFindHandle {
 public:
  explicit TFindHandle(HANDLE search) : search_(search) {}
  ~TFindHandle() { Close(); }
  TFindHandle(const TFindHandle&) = delete;
  TFindHandle& operator=(TFindHandle&& other) noexcept {
    Close();
    search_ = std::exchange(other.search_, INVALID_HANDLE_VALUE);
    return *this;
  }

  explicit operator bool() const { return search_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return search_; }

 private:
  void Close() {
    if (search_ != INVALID_HANDLE_VALUE) FindClose(search_);
  }
  HANDLE search_;
};

// The search for `pattern` at `level`, in large batches, for a TFindHandle to own. Systems before
// Windows 7 know neither the basic level nor large batches.
HANDLE FindFirst(const std::string& pattern, FINDEX_INFO_LEVELS level, WIN32_FIND_DATAA& found) {
  const HANDLE search = FindFirstFileExA(pattern.c_str(), level, &found, FindExSearchNameMatch,
                                         nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search != INVALID_HANDLE_VALUE || GetLastError() != ERROR_INVALID_PARAMETER) return search;
  return FindFirstFileA(pattern.c_str(), &found);
}

bool IsDotEntry(std::string_view name) { return name == "." || name == ".."; }

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
  // The key is the UTF-16 text upper-cased. ASCII needs no call: its letters upper-cased, each
  // character with a zero high byte.
  std::string key(name.size() * 2, '\0');
  if (std::all_of(name.begin(), name.end(), [](char c) { return (c & 0x80) == 0; })) {
    for (std::size_t i = 0; i < name.size(); ++i)
      key[2 * i] =
          name[i] >= 'a' && name[i] <= 'z' ? static_cast<char>(name[i] - 'a' + 'A') : name[i];
    return key;
  }
  const int size = static_cast<int>(name.size());
  std::wstring wide(name.size(), L'\0');
  const int length = MultiByteToWideChar(932, 0, name.data(), size, wide.data(), size);
  // The invariant locale: no language's own casing, as the file system has none.
  LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, wide.data(), length, wide.data(), length);
  key.assign(reinterpret_cast<const char*>(wide.data()), static_cast<std::size_t>(length) * 2);
  return key;
}

naming::FolderContents Win32DiskReader::Read(const std::string& folder) const {
  WIN32_FIND_DATAA found;
  const TFindHandle search(FindFirst(naming::JoinedPath(folder, "*"), FindExInfoStandard, found));
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
    if (IsDotEntry(found.cFileName)) continue;
    const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entries.emplace_back(Fold(found.cFileName), isFolder);
    // A short name is another name of the same entry: making a folder of it finds the entry.
    if (found.cAlternateFileName[0] != '\0')
      entries.emplace_back(Fold(found.cAlternateFileName), isFolder);
  } while (FindNextFileA(search.Get(), &found));
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
  WIN32_FIND_DATAA found;
  const TFindHandle search(FindFirst(directory + "\\*", FindExInfoBasic, found));
  if (!search) {
    // A directory that is gone holds nothing; one that cannot be read is not known.
    const DWORD error = GetLastError();
    if (error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND) return naming::Listing{};
    return std::nullopt;
  }
  naming::Listing listing;
  do {
    const std::string_view name = found.cFileName;
    if (IsDotEntry(name)) continue;
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
