#include "shell/ShellUtils.h"

#include <shellapi.h>

#include <cstdint>
#include <cstring>
#include <system_error>

#include "naming/Calendar.h"
#include "shell/ComPtr.h"
#include "shell/ShellIDFunc.h"

namespace {

// Puts the process error mode back on every way out.
class TErrorModeScope {
 public:
  explicit TErrorModeScope(UINT mode) : previous_(SetErrorMode(mode)) {}
  ~TErrorModeScope() { SetErrorMode(previous_); }
  TErrorModeScope(const TErrorModeScope&) = delete;
  TErrorModeScope& operator=(const TErrorModeScope&) = delete;

 private:
  UINT previous_;
};

bool IsLeadByte(char c) { return IsDBCSLeadByte(static_cast<BYTE>(c)) != 0; }

// Byte offsets of the characters of `text`; a lead byte and its trail byte make one character.
template <typename Visit>
void ForEachCharacter(const std::string& text, Visit visit) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = IsLeadByte(text[i]) && i + 1 < text.size() ? 2 : 1;
    visit(i, length);
    i += length;
  }
}

constexpr FORMATETC HGlobalFormat(CLIPFORMAT format) {
  return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

FORMATETC idListArrayFormat = HGlobalFormat(0);
FORMATETC objectOffsetsFormat = HGlobalFormat(0);
FORMATETC fileNameMapFormat = HGlobalFormat(0);
FORMATETC fileNameMapWFormat = HGlobalFormat(0);
FORMATETC performedDropEffectFormat = HGlobalFormat(0);

// Days from 1899-12-30, the local date-time value's day zero, to 1970-01-01, the day numbers' own.
constexpr std::int64_t kDaysFrom1899To1970 = 25569;

static_assert(sizeof(SHFILEINFOA) == 352, "the info record the shell fills");

}  // namespace

bool FolderExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string WithTrailingBackslash(const std::string& path) {
  bool endsInBackslash = false;
  ForEachCharacter(path, [&](std::size_t at, std::size_t length) {
    endsInBackslash = length == 1 && path[at] == '\\';
  });
  return endsInBackslash ? path : path + '\\';
}

std::string VolumeDisplayLabel(const std::string& root) {
  // No "insert a disk" prompt for an empty drive.
  TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
  char buffer[65] = {};
  DWORD maxComponentLength = 0;
  DWORD fileSystemFlags = 0;
  if (!GetVolumeInformationA(root.c_str(), buffer, sizeof buffer, nullptr, &maxComponentLength,
                             &fileSystemFlags, nullptr, 0))
    return {};
  return VolumeLabelDisplayForm(std::string(buffer, strnlen(buffer, sizeof buffer)));
}

std::string VolumeLabelDisplayForm(std::string label) {
  ForEachCharacter(label, [&](std::size_t at, std::size_t length) {
    if (length == 1) CharLowerBuffA(&label[at], 1);
  });
  if (!label.empty() && !IsLeadByte(label[0]) && label[0] >= 'a' && label[0] <= 'z')
    label[0] = static_cast<char>(label[0] - 'a' + 'A');
  return label;
}

double LocalDateTimeOfFileTime(const FILETIME& time) {
  if (time.dwLowDateTime == 0 || time.dwHighDateTime == 0) return 0;
  FILETIME local;
  SYSTEMTIME parts;
  if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &parts)) return 0;
  const double days = static_cast<double>(
      naming::DayNumber({parts.wYear, parts.wMonth, parts.wDay}) + kDaysFrom1899To1970);
  const double fraction = (((parts.wHour * 60.0 + parts.wMinute) * 60.0 + parts.wSecond) * 1000.0 +
                           parts.wMilliseconds) /
                          86400000.0;
  // Before the epoch the time of day still counts away from zero.
  return days < 0 ? days - fraction : days + fraction;
}

bool TakeStrRetText(STRRET& answer, LPCITEMIDLIST item, std::string& text) {
  text.clear();
  switch (answer.uType) {
    case STRRET_WSTR: {
      if (!answer.pOleStr) return true;
      const int size =
          WideCharToMultiByte(CP_ACP, 0, answer.pOleStr, -1, nullptr, 0, nullptr, nullptr);
      if (size > 1) {
        text.resize(static_cast<std::size_t>(size));
        WideCharToMultiByte(CP_ACP, 0, answer.pOleStr, -1, text.data(), size, nullptr, nullptr);
        text.resize(static_cast<std::size_t>(size - 1));
      }
      CoTaskMemFree(answer.pOleStr);
      answer.pOleStr = nullptr;
      return true;
    }
    case STRRET_OFFSET:
      // The text lies inside the item list that was asked about.
      text = reinterpret_cast<const char*>(item) + answer.uOffset;
      return true;
    case STRRET_CSTR:
      text.assign(answer.cStr, strnlen(answer.cStr, sizeof answer.cStr));
      return true;
    default: return false;
  }
}

bool DisplayNameText(IShellFolder* folder, LPCITEMIDLIST item, DWORD flags, std::string& text) {
  text.clear();
  if (!folder || !item) return true;
  STRRET answer{};
  if (FAILED(folder->GetDisplayNameOf(item, flags, &answer))) return false;
  return TakeStrRetText(answer, item, text);
}

int SystemIconIndex(LPCITEMIDLIST absolute, bool large, bool open) {
  if (!absolute) return 0;
  UINT flags = SHGFI_SYSICONINDEX | SHGFI_PIDL;
  if (!large) flags |= SHGFI_SMALLICON;
  if (open) flags |= SHGFI_OPENICON;
  SHFILEINFOA info{};
  if (!SHGetFileInfoA(reinterpret_cast<LPCSTR>(absolute), 0, &info, sizeof info, flags)) return 0;
  return info.iIcon;
}

int GenericFolderIconIndex(bool large) {
  UINT flags = SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES;
  if (!large) flags |= SHGFI_SMALLICON;
  SHFILEINFOA info{};
  if (!SHGetFileInfoA("folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, flags)) return 0;
  return info.iIcon;
}

int FileNameIconIndex(const std::string& fileName) {
  SHFILEINFOA info{};
  if (!SHGetFileInfoA(fileName.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                      SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
    return -1;
  return info.iIcon;
}

bool IsPlainDirectory(IShellFolder* folder, LPCITEMIDLIST relative) {
  if (!folder || !relative) return false;
  WIN32_FIND_DATAA found{};
  if (FAILED(SHGetDataFromIDListA(folder, relative, SHGDFIL_FINDDATA, &found, sizeof found)))
    return false;
  constexpr DWORD kMayHaveOwnIcon =
      FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_REPARSE_POINT;
  return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(found.dwFileAttributes & kMayHaveOwnIcon);
}

HIMAGELIST SystemImageList(bool large) {
  TShIDListPtr desktop;
  if (!GetSpecialFolderIDList(sfDesktop, desktop.Out())) return nullptr;
  UINT flags = SHGFI_SYSICONINDEX | SHGFI_PIDL;
  if (!large) flags |= SHGFI_SMALLICON;
  SHFILEINFOA info{};
  return reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoA(reinterpret_cast<LPCSTR>(desktop.Get()), 0, &info, sizeof info, flags));
}

HIMAGELIST SystemImageListAt(TDpi dpi, bool large) {
  const int size = dpi.Scale(large ? 32 : 16);
  // {46EB5926-582E-4017-9FDF-E8998DAA0950}: the image list interface, whose pointer is the list.
  static constexpr GUID kImageListInterface = {
      0x46EB5926, 0x582E, 0x4017, {0x9F, 0xDF, 0xE8, 0x99, 0x8D, 0xAA, 0x09, 0x50}};
  // The system keeps its lists for the process's life: the reference taken here may go.
  TComPtr<IUnknown> extraLarge;
  if (FAILED(SHGetImageList(SHIL_EXTRALARGE, kImageListInterface, extraLarge.OutVoid())))
    extraLarge.Reset();
  HIMAGELIST nearest = nullptr;
  int nearestDistance = 0;
  for (HIMAGELIST list : {SystemImageList(false), SystemImageList(true),
                          reinterpret_cast<HIMAGELIST>(extraLarge.Get())}) {
    int width = 0;
    int height = 0;
    if (!list || !ImageList_GetIconSize(list, &width, &height)) continue;
    const int distance = width > size ? width - size : size - width;
    if (nearest && distance >= nearestDistance) continue;
    nearest = list;
    nearestDistance = distance;
  }
  return nearest;
}

void SetWindowStyleBits(HWND window, DWORD mask, bool on) {
  if (!window || !IsWindow(window)) return;
  const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
  SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(on ? style | mask : style & ~mask));
}

TShiftState KeyStateToShift(DWORD keyState) {
  TShiftState shift;
  if (keyState & MK_SHIFT) shift.Include(ssShift);
  if (keyState & MK_CONTROL) shift.Include(ssCtrl);
  if (keyState & MK_ALT) shift.Include(ssAlt);
  if (keyState & MK_LBUTTON) shift.Include(ssLeft);
  if (keyState & MK_RBUTTON) shift.Include(ssRight);
  if (keyState & MK_MBUTTON) shift.Include(ssMiddle);
  return shift;
}

const FORMATETC& IDListArrayFormat() { return idListArrayFormat; }
const FORMATETC& ObjectOffsetsFormat() { return objectOffsetsFormat; }
const FORMATETC& FileNameMapFormat() { return fileNameMapFormat; }
const FORMATETC& FileNameMapWFormat() { return fileNameMapWFormat; }
const FORMATETC& PerformedDropEffectFormat() { return performedDropEffectFormat; }

void RegisterShellFormats() {
  const auto registered = [](const char* name) {
    return HGlobalFormat(static_cast<CLIPFORMAT>(RegisterClipboardFormatA(name)));
  };
  idListArrayFormat = registered("Shell IDList Array");
  objectOffsetsFormat = registered("Shell Object Offsets");
  fileNameMapFormat = registered("FileNameMap");
  fileNameMapWFormat = registered("FileNameMapW");
  performedDropEffectFormat = registered("Performed DropEffect");
}

bool OffersShellItems(IDataObject* data) {
  FORMATETC files{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  FORMATETC items = IDListArrayFormat();
  return data->QueryGetData(&items) == S_OK || data->QueryGetData(&files) == S_OK;
}

void ReleaseFinishedDropTargets(std::vector<TComPtr<IDropTarget>>& pending) {
  for (auto target = pending.end(); target != pending.begin();) {
    --target;
    // Only the list's reference left.
    (*target)->AddRef();
    if ((*target)->Release() == 1) target = pending.erase(target);
  }
}

void RegisterDropTarget(HWND window, IDropTarget* target) {
  const HRESULT result = RegisterDragDrop(window, target);
  if (FAILED(result))
    throw std::system_error(static_cast<int>(result), std::system_category(), "RegisterDragDrop");
}

void RevokeDropTarget(HWND window) {
  const HRESULT result = RevokeDragDrop(window);
  if (FAILED(result))
    throw std::system_error(static_cast<int>(result), std::system_category(), "RevokeDragDrop");
}
