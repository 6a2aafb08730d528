#include "app/UndoFile.h"

#include <windows.h>

#include "framework/Thread.h"

namespace app {

namespace {

TKernelHandle OpenFile(const std::string& path, DWORD access, DWORD disposition) {
  const HANDLE file = CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  return TKernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

}  // namespace

TUndoFile TUndoFile::InWindowsDirectory(const std::string& name) {
  char directory[MAX_PATH + 1] = {};
  GetWindowsDirectoryA(directory, sizeof directory);
  return TUndoFile(std::string(directory) + "\\" + name);
}

TUndoFile::Loaded TUndoFile::Read() const {
  Loaded loaded;
  const TKernelHandle file = OpenFile(path_, GENERIC_READ, OPEN_EXISTING);
  if (!file) return loaded;
  LARGE_INTEGER size{};
  std::string text;
  DWORD read = 0;
  bool whole = GetFileSizeEx(file.Get(), &size) && size.QuadPart < (1LL << 30);
  if (whole) {
    text.resize(static_cast<std::size_t>(size.QuadPart));
    whole = ReadFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr) &&
            read == text.size();
  }
  if (whole && text.empty()) return loaded;  // emptied where it could not be removed
  bool otherVersion = false;
  std::optional<naming::RunRecord> record =
      whole ? naming::RunRecord::FromText(text, &otherVersion) : std::nullopt;
  if (record) {
    loaded.record = std::move(*record);
  } else {
    loaded.note = "前回の作成の記録 " + path_ +
                  (otherVersion ? " は別の版のものなので使いませんでした"
                                : " は壊れているため使いませんでした");
  }
  return loaded;
}

bool TUndoFile::Write(const naming::RunRecord& record) const {
  if (record.Made() == 0) return Remove();
  const std::string text = record.Text();
  if (Replace(text)) return true;
  // Whatever becomes of the new record, the older one must not come back after a restart.
  return Remove() && Replace(text);
}

bool TUndoFile::Replace(const std::string& text) const {
  const std::string fresh = path_ + ".new";
  const bool written = [&] {
    const TKernelHandle file = OpenFile(fresh, GENERIC_WRITE, CREATE_ALWAYS);
    DWORD count = 0;
    return file &&
           WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &count, nullptr) &&
           count == text.size();
  }();
  if (written && MoveFileExA(fresh.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  DeleteFileA(fresh.c_str());
  return false;
}

bool TUndoFile::Remove() const {
  const DWORD attributes = GetFileAttributesA(path_.c_str());
  // Nothing there, or nothing Read could take for a record (a folder of that name).
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return true;
  // The program's own file: a read-only mark on it must not keep an older run.
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0)
    SetFileAttributesA(path_.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  if (DeleteFileA(path_.c_str())) return true;
  // A folder that lets no file go may still let this one be emptied, which reads as no record.
  return static_cast<bool>(OpenFile(path_, GENERIC_WRITE, TRUNCATE_EXISTING));
}

}  // namespace app
