#include "shell/ShellIDFunc.h"

#include <array>
#include <cstring>
#include <utility>

#include "framework/CodePage.h"

namespace {

constexpr std::array<int, 30> specialFolderCsidls = {CSIDL_DESKTOP,
                                                     CSIDL_INTERNET,
                                                     CSIDL_PROGRAMS,
                                                     CSIDL_CONTROLS,
                                                     CSIDL_PRINTERS,
                                                     CSIDL_PERSONAL,
                                                     CSIDL_FAVORITES,
                                                     CSIDL_STARTUP,
                                                     CSIDL_RECENT,
                                                     CSIDL_SENDTO,
                                                     CSIDL_BITBUCKET,
                                                     CSIDL_STARTMENU,
                                                     CSIDL_DESKTOPDIRECTORY,
                                                     CSIDL_DRIVES,
                                                     CSIDL_NETWORK,
                                                     CSIDL_NETHOOD,
                                                     CSIDL_FONTS,
                                                     CSIDL_TEMPLATES,
                                                     CSIDL_COMMON_STARTMENU,
                                                     CSIDL_COMMON_PROGRAMS,
                                                     CSIDL_COMMON_STARTUP,
                                                     CSIDL_COMMON_DESKTOPDIRECTORY,
                                                     CSIDL_APPDATA,
                                                     CSIDL_PRINTHOOD,
                                                     CSIDL_ALTSTARTUP,
                                                     CSIDL_COMMON_ALTSTARTUP,
                                                     CSIDL_COMMON_FAVORITES,
                                                     CSIDL_INTERNET_CACHE,
                                                     CSIDL_COOKIES,
                                                     CSIDL_HISTORY};

// The ghosted selector asks for 0x80000, the same bit as the hidden one (the SDK's SFGAO_GHOSTED
// is 0x8000): the table keeps the value the selector has always had. SFGAO_HASSUBFOLDER and
// SFGAO_CONTENTSMASK share a bit as well. The display-attribute selector asks for 0xF0000 (link,
// share, read-only, hidden); the SDK's SFGAO_DISPLAYATTRMASK, 0xFC000, adds the slow and ghosted
// bits.
constexpr SFGAOF kDisplayAttributes = 0xF0000;
constexpr std::array<SFGAOF, 24> attributeMasks = {
    SFGAO_CANCOPY,    SFGAO_CANMOVE,      SFGAO_CANLINK,         SFGAO_CANRENAME,
    SFGAO_CANDELETE,  SFGAO_HASPROPSHEET, SFGAO_DROPTARGET,      SFGAO_CAPABILITYMASK,
    SFGAO_LINK,       SFGAO_SHARE,        SFGAO_READONLY,        SFGAO_HIDDEN,
    SFGAO_HIDDEN,     kDisplayAttributes, SFGAO_FILESYSANCESTOR, SFGAO_FOLDER,
    SFGAO_FILESYSTEM, SFGAO_HASSUBFOLDER, SFGAO_CONTENTSMASK,    SFGAO_VALIDATE,
    SFGAO_REMOVABLE,  SFGAO_COMPRESSED,   SFGAO_BROWSABLE,       SFGAO_NONENUMERATED};

std::uint16_t FirstCount(LPCITEMIDLIST list) { return list->mkid.cb; }

const BYTE* Bytes(LPCITEMIDLIST list) { return reinterpret_cast<const BYTE*>(list); }

// A new list holding `size` bytes of `source` followed by a terminator; null when it does not fit
// the 16-bit size or cannot be allocated.
LPITEMIDLIST CopyBytesAsList(LPCITEMIDLIST source, unsigned size) {
  if (size + 2 > 0xFFFF) return nullptr;
  LPITEMIDLIST list = AllocIDList(static_cast<std::uint16_t>(size + 2));
  if (list) std::memcpy(list, source, size);
  return list;
}

bool DesktopFolder(TComPtr<IShellFolder>& desktop) {
  return SUCCEEDED(SHGetDesktopFolder(desktop.Out())) && desktop;
}

TComPtr<IMalloc> sharedAllocator;

}  // namespace

IMalloc* TaskAllocator() { return sharedAllocator.Get(); }

TComPtr<IMalloc> ExchangeTaskAllocator(TComPtr<IMalloc> allocator) noexcept {
  std::swap(sharedAllocator, allocator);
  return allocator;
}

int SpecialFolderCsidl(TShSpecialFolder folder) {
  return specialFolderCsidls.at(static_cast<std::size_t>(folder));
}

SFGAOF AttributeMask(TShAttribute attribute) {
  return attributeMasks.at(static_cast<std::size_t>(attribute));
}

void FreeIDList(LPITEMIDLIST& list) {
  if (!list) return;
  if (IMalloc* allocator = TaskAllocator())
    allocator->Free(list);
  else
    CoTaskMemFree(list);  // the task allocator's own entry, for lists outliving the library
  list = nullptr;
}

LPITEMIDLIST AllocIDList(std::uint16_t size) {
  IMalloc* allocator = TaskAllocator();
  if (!allocator) return nullptr;
  void* memory = allocator->Alloc(size);
  if (memory) std::memset(memory, 0, size);
  return static_cast<LPITEMIDLIST>(memory);
}

std::uint16_t ItemIDSize(LPCITEMIDLIST list) {
  if (!list || FirstCount(list) == 0) return 0;
  return static_cast<std::uint16_t>(FirstCount(list) + 2);
}

std::uint16_t IDListSize(LPCITEMIDLIST list) {
  if (!list) return 0;
  unsigned size = 2;
  for (LPCITEMIDLIST item = list; FirstCount(item) != 0; item = NextItemID(item))
    size += FirstCount(item);
  return static_cast<std::uint16_t>(size);
}

LPCITEMIDLIST NextItemID(LPCITEMIDLIST list) {
  if (!list) return nullptr;
  return reinterpret_cast<LPCITEMIDLIST>(Bytes(list) + FirstCount(list));
}

LPCITEMIDLIST NextItem(LPCITEMIDLIST list) {
  if (!list || FirstCount(list) == 0) return nullptr;
  LPCITEMIDLIST next = NextItemID(list);
  return FirstCount(next) == 0 ? nullptr : next;
}

LPITEMIDLIST CopyIDList(LPCITEMIDLIST list) {
  if (!list) return nullptr;
  return CopyBytesAsList(list, IDListSize(list) - 2u);
}

LPITEMIDLIST CopyFirstItemID(LPCITEMIDLIST list) {
  if (!list || FirstCount(list) == 0) return nullptr;
  return CopyBytesAsList(list, FirstCount(list));
}

LPITEMIDLIST CopyLastItemID(LPCITEMIDLIST list) {
  if (!list || FirstCount(list) == 0) return nullptr;
  LPCITEMIDLIST last = list;
  while (LPCITEMIDLIST next = NextItem(last)) last = next;
  return CopyFirstItemID(last);
}

LPITEMIDLIST CopyParentIDList(LPCITEMIDLIST list) {
  if (!NextItem(list)) return nullptr;  // fewer than two items
  LPCITEMIDLIST last = list;
  while (LPCITEMIDLIST next = NextItem(last)) last = next;
  return CopyBytesAsList(list, static_cast<unsigned>(Bytes(last) - Bytes(list)));
}

LPITEMIDLIST ConcatIDLists(LPCITEMIDLIST first, LPCITEMIDLIST second) {
  if (!first || !second) return nullptr;
  const unsigned firstItems = IDListSize(first) - 2u;
  const unsigned secondItems = IDListSize(second) - 2u;
  LPITEMIDLIST list = CopyBytesAsList(first, firstItems + secondItems);
  if (list) std::memcpy(reinterpret_cast<BYTE*>(list) + firstItems, second, secondItems);
  return list;
}

int CompareIDsOrder(HRESULT result) {
  // The order is the signed low word: -1 arrives as 0x0000FFFF.
  return static_cast<std::int16_t>(result & 0xFFFF);
}

TShCompareResult CompareIDLists(IShellFolder* folder, LPCITEMIDLIST first, LPCITEMIDLIST second) {
  if (!folder || !first || !second) return crFailed;
  const HRESULT result = folder->CompareIDs(0, first, second);
  if (FAILED(result)) return crFailed;
  const int order = CompareIDsOrder(result);
  if (order == 0) return crSame;
  return order > 0 ? crAfter : crBefore;
}

bool IsDesktopIDList(IShellFolder* desktop, LPCITEMIDLIST list) {
  TShIDListPtr desktopList;
  if (!GetSpecialFolderIDList(sfDesktop, desktopList.Out())) return false;
  return CompareIDLists(desktop, desktopList.Get(), list) == crSame;
}

bool SameIDList(LPCITEMIDLIST first, LPCITEMIDLIST second) {
  TComPtr<IShellFolder> desktop;
  return DesktopFolder(desktop) && CompareIDLists(desktop.Get(), first, second) == crSame;
}

int IDListLevel(LPCITEMIDLIST list) {
  TComPtr<IShellFolder> desktop;
  if (!list || !DesktopFolder(desktop)) return -1;
  if (IsDesktopIDList(desktop.Get(), list)) return 0;
  int level = 1;
  for (LPCITEMIDLIST item = list; (item = NextItem(item)) != nullptr;) ++level;
  return level;
}

bool GetSpecialFolderIDList(TShSpecialFolder folder, LPITEMIDLIST& list) {
  list = nullptr;
  if (static_cast<std::size_t>(folder) >= specialFolderCsidls.size()) return false;
  return SUCCEEDED(SHGetSpecialFolderLocation(nullptr, SpecialFolderCsidl(folder), &list)) && list;
}

bool PathFromIDList(LPCITEMIDLIST list, std::string& path) {
  path.clear();
  if (!list) return false;
  char buffer[MAX_PATH] = {};
  if (!SHGetPathFromIDListA(list, buffer)) return false;
  // Wine answers TRUE for the network folder with a "::{CLSID}" text, which is no file-system
  // path: such an item has no path.
  if (buffer[0] == ':' && buffer[1] == ':') return false;
  path = buffer;
  return true;
}

bool IDListFromPath(const std::string& path, LPITEMIDLIST& list) {
  list = nullptr;
  if (path.empty()) return false;
  std::wstring wide = AnsiToWide(path);
  if (wide.empty()) return false;
  TComPtr<IShellFolder> desktop;
  if (!DesktopFolder(desktop)) return false;
  ULONG eaten = 0;
  ULONG attributes = 0;
  if (FAILED(
          desktop->ParseDisplayName(nullptr, nullptr, wide.data(), &eaten, &list, &attributes))) {
    list = nullptr;
    return false;
  }
  return list != nullptr;
}

// --- TShellIDList -----------------------------------------------------------------------------

int TShellIDList::Add(LPITEMIDLIST item) {
  items_.push_back(item);
  return Count() - 1;
}

void TShellIDList::Clear() { items_.clear(); }

LPITEMIDLIST TShellIDList::GetItem(int index) const noexcept {
  if (index < 0 || index >= Count()) return nullptr;
  return items_[static_cast<std::size_t>(index)];
}

LPCITEMIDLIST* TShellIDList::ItemArray() noexcept {
  if (items_.empty()) return nullptr;
  return const_cast<LPCITEMIDLIST*>(items_.data());
}

int TShellIDList::ParentLevel() const { return IDListLevel(parentIDList_); }

bool TShellIDList::GetParentFolder(TComPtr<IShellFolder>& folder) const {
  folder.Reset();
  TComPtr<IShellFolder> desktop;
  if (!parentIDList_ || !DesktopFolder(desktop)) return false;
  if (ParentLevel() == 0) {
    folder = desktop;
    return true;
  }
  return SUCCEEDED(
             desktop->BindToObject(parentIDList_, nullptr, IID_IShellFolder, folder.OutVoid())) &&
         folder;
}

SFGAOF TShellIDList::AttributesOfAll(SFGAOF mask) {
  TComPtr<IShellFolder> folder;
  if (items_.empty() || !GetParentFolder(folder)) return 0;
  SFGAOF answer = mask;
  if (FAILED(folder->GetAttributesOf(static_cast<UINT>(Count()), ItemArray(), &answer))) return 0;
  return answer;
}

SFGAOF TShellIDList::CommonCapabilities() {
  // Shells may answer with bits beyond those asked for: keep the capabilities only.
  return AttributesOfAll(SFGAO_CAPABILITYMASK) & SFGAO_CAPABILITYMASK;
}

bool TShellIDList::AllHaveAttribute(TShAttribute attribute) {
  const SFGAOF mask = AttributeMask(attribute);
  return (AttributesOfAll(mask) & mask) == mask;
}

std::string TShellIDList::ItemPath(int index) const {
  std::string path;
  LPITEMIDLIST item = GetItem(index);
  if (!item || !parentIDList_) return path;
  TShIDListPtr absolute(ConcatIDLists(parentIDList_, item));
  PathFromIDList(absolute.Get(), path);
  return path;
}

// --- TShellIDList2 ----------------------------------------------------------------------------

int TShellIDList2::Add(TShIDListPtr item) {
  ownedItems_.push_back(std::move(item));
  return TShellIDList::Add(ownedItems_.back().Get());
}

void TShellIDList2::SetParentIDList(TShIDListPtr list) noexcept {
  ownedParent_ = std::move(list);
  TShellIDList::SetParentIDList(ownedParent_.Get());
}

void TShellIDList2::Clear() {
  TShellIDList::Clear();
  SetParentIDList(TShIDListPtr());
  ownedItems_.clear();
}
