#include "app/Win32Naming.h"

#include <windows.h>

namespace app {

namespace {

std::optional<std::string> FormatDate(const SYSTEMTIME& time, const char* picture) {
  char buffer[64];
  const int length = GetDateFormatA(GetThreadLocale(), DATE_USE_ALT_CALENDAR, &time, picture,
                                    buffer, sizeof buffer);
  if (length <= 0) return std::nullopt;
  return std::string(buffer, static_cast<std::size_t>(length - 1));  // length counts the NUL
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
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return {naming::CreateStatus::AlreadyThere, {}};
  }
  return {naming::CreateStatus::Failed, SystemErrorText(error)};
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
