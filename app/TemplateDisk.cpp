#include "app/TemplateDisk.h"

#include <commdlg.h>

#include <vector>

#include "app/Win32Naming.h"
#include "framework/CodePage.h"
#include "framework/KernelHandle.h"
#include "naming/TextEncoding.h"

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

// The file's whole content; none, with the system's reason, when it cannot be read.
std::optional<std::string> ReadBytes(const std::string& path, std::string& reason) {
  TFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.Get(), &size)) {
    reason = SystemErrorText(GetLastError());
    return std::nullopt;
  }
  if (size.QuadPart > kLargestTemplate) {
    reason = "テンプレートにしては大きすぎるファイルです。";
    return std::nullopt;
  }
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!bytes.empty() &&
      !ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
    reason = SystemErrorText(GetLastError());
    return std::nullopt;
  }
  bytes.resize(read);
  return bytes;
}

const char* EncodingName(naming::TextEncoding encoding) {
  return encoding == naming::TextEncoding::Utf8 ? "UTF-8" : "UTF-16";
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

TTemplateFile ReadTemplateFile(const std::string& path, const naming::TemplateValues& defaults) {
  TTemplateFile file;
  std::string reason;
  const std::optional<std::string> bytes = ReadBytes(path, reason);
  if (!bytes) {
    file.failure = path + " を読み込めません。" + reason;
    return file;
  }
  naming::CodePageLines text{*bytes, {}};
  if (const naming::TextEncoding encoding = naming::EncodingOf(*bytes);
      encoding != naming::TextEncoding::CodePage) {
    const std::optional<std::u16string> unicode = naming::DecodeUnicode(*bytes, encoding);
    if (!unicode) {
      file.failure = path + " を読み込めません。" + EncodingName(encoding) +
                     " の印がありますが、その文字コードとして正しくないバイトがあります。";
      return file;
    }
    text = naming::ToCodePageLines(*unicode, [](std::u16string_view piece, std::string& out) {
      TCodePageText converted =
          ToCodePage({reinterpret_cast<const wchar_t*>(piece.data()), piece.size()});
      out = std::move(converted.Text);
      return converted.Exact();
    });
  }
  file.reading = naming::ReadTemplate(text.text, defaults, text.inexactLines);
  file.failure = naming::NotTakenMessage(path, file.reading.status);
  return file;
}

std::string WriteTemplateText(const std::string& path, const std::string& text) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  // Wine would put the new file in its place all the same.
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    return "読み取り専用のファイルです。";
  const std::string written = path + ".new";
  std::string why;
  {
    TFileHandle file(CreateFileA(written.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return SystemErrorText(GetLastError());
    DWORD done = 0;
    if (!WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &done, nullptr) ||
        done != text.size() || !FlushFileBuffers(file.Get()))
      why = SystemErrorText(GetLastError());
  }
  if (why.empty() && MoveFileExA(written.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
    return {};
  if (why.empty()) why = SystemErrorText(GetLastError());
  DeleteFileA(written.c_str());
  return why;
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
