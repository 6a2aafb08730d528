#pragma once
// Item identifier lists: allocation, measuring, walking, copying, joining, comparing, conversion,
// the owner that frees a list, and the sibling-list classes handed to menus and drag and drop.
//
// Every list returned by a routine here is a new allocation from the shell task allocator owned by
// the caller (hold it in a TShIDListPtr); no routine takes over its inputs. Failures are results:
// null, false, -1 or crFailed, never exceptions.

#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <string>
#include <vector>

#include "shell/ComPtr.h"
#include "shell/ShellSets.h"

// Item types, in this order (ordinals are stored and compared).
enum TShItemIDType {
  itDeskTop,
  itMyComputer,
  itRootDrive,
  itFolder,
  itFile,
  itInterNet,
  itBitBucket,
  itNetWork,
  itVirtual,
  itUnknown
};

// The virtual desktop items a shell control shows; only itBitBucket, itNetWork and itVirtual
// belong in it (bits 6, 7 and 8).
using TShVirtuaItems = TSmallSet<TShItemIDType, std::uint16_t>;

// Special-folder selectors; SpecialFolderCsidl maps them to CSIDL values.
enum TShSpecialFolder {
  sfDesktop,
  sfInternet,
  sfPrograms,
  sfControls,
  sfPrinters,
  sfPersonal,
  sfFavorites,
  sfStartup,
  sfRecent,
  sfSendTo,
  sfBitBucket,
  sfStartMenu,
  sfDesktopDirectory,
  sfDrives,
  sfNetwork,
  sfNetHood,
  sfFonts,
  sfTemplates,
  sfCommonStartMenu,
  sfCommonPrograms,
  sfCommonStartup,
  sfCommonDesktopDirectory,
  sfAppData,
  sfPrintHood,
  sfAltStartup,
  sfCommonAltStartup,
  sfCommonFavorites,
  sfInternetCache,
  sfCookies,
  sfHistory
};
int SpecialFolderCsidl(TShSpecialFolder folder);

// Attribute selectors; AttributeMask maps them to SFGAO_ masks. An item has the attribute when
// every bit of the mask is set.
enum TShAttribute {
  saCanCopy,
  saCanMove,
  saCanLink,
  saCanRename,
  saCanDelete,
  saHasPropSheet,
  saDropTarget,
  saCapabilityMask,
  saLink,
  saShare,
  saReadOnly,
  saGhosted,
  saHidden,
  saDisplayAttrMask,
  saFileSysAncestor,
  saFolder,
  saFileSystem,
  saHasSubFolder,
  saContentsMask,
  saValidate,
  saRemovable,
  saCompressed,
  saBrowsable,
  saNonEnumerated
};
SFGAOF AttributeMask(TShAttribute attribute);

// Result of CompareIDLists. Callers test for sameness with crSame; every other value is
// "different".
enum TShCompareResult : int { crSame = 0, crAfter = 1, crBefore = 2, crFailed = 3 };

// --- Task allocator ----------------------------------------------------------------------------

// The shared task allocator all item lists come from; null outside a TShellLibrary's lifetime.
// Used on the user-interface thread only.
IMalloc* TaskAllocator();
// Puts `allocator` in place and gives back the one it replaces: the library's start-up and
// shut-down.
TComPtr<IMalloc> ExchangeTaskAllocator(TComPtr<IMalloc> allocator) noexcept;

// --- Routines --------------------------------------------------------------------------------

void FreeIDList(LPITEMIDLIST& list);
LPITEMIDLIST AllocIDList(std::uint16_t size);
std::uint16_t ItemIDSize(LPCITEMIDLIST list);
std::uint16_t IDListSize(LPCITEMIDLIST list);
LPCITEMIDLIST NextItemID(LPCITEMIDLIST list);
LPCITEMIDLIST NextItem(LPCITEMIDLIST list);
LPITEMIDLIST CopyIDList(LPCITEMIDLIST list);
LPITEMIDLIST CopyFirstItemID(LPCITEMIDLIST list);
LPITEMIDLIST CopyLastItemID(LPCITEMIDLIST list);
LPITEMIDLIST CopyParentIDList(LPCITEMIDLIST list);
LPITEMIDLIST ConcatIDLists(LPCITEMIDLIST first, LPCITEMIDLIST second);
TShCompareResult CompareIDLists(IShellFolder* folder, LPCITEMIDLIST first, LPCITEMIDLIST second);
bool IsDesktopIDList(IShellFolder* desktop, LPCITEMIDLIST list);
// Whether two absolute lists name the same item, as the desktop folder compares them.
bool SameIDList(LPCITEMIDLIST first, LPCITEMIDLIST second);
int IDListLevel(LPCITEMIDLIST list);
bool GetSpecialFolderIDList(TShSpecialFolder folder, LPITEMIDLIST& list);
bool PathFromIDList(LPCITEMIDLIST list, std::string& path);
bool IDListFromPath(const std::string& path, LPITEMIDLIST& list);

// The signed low 16 bits of an IShellFolder::CompareIDs answer: negative, zero or positive.
int CompareIDsOrder(HRESULT result);

// --- Owner ------------------------------------------------------------------------------------

// Owns one item identifier list and frees it with FreeIDList. Not copyable: a copy of the list is
// an allocation, made with CopyOf.
class TShIDListPtr {
 public:
  TShIDListPtr() noexcept = default;
  explicit TShIDListPtr(LPITEMIDLIST adopted) noexcept : list_(adopted) {}
  TShIDListPtr(TShIDListPtr&& other) noexcept : list_(other.Detach()) {}
  TShIDListPtr& operator=(TShIDListPtr&& other) noexcept {
    if (this != &other) Attach(other.Detach());
    return *this;
  }
  TShIDListPtr(const TShIDListPtr&) = delete;
  TShIDListPtr& operator=(const TShIDListPtr&) = delete;
  ~TShIDListPtr() { FreeIDList(list_); }

  static TShIDListPtr CopyOf(LPCITEMIDLIST list) { return TShIDListPtr(CopyIDList(list)); }

  // Frees the held list and takes over `adopted`.
  void Attach(LPITEMIDLIST adopted) noexcept {
    if (adopted != list_) FreeIDList(list_);
    list_ = adopted;
  }
  // Hands the list to the caller, who frees it.
  LPITEMIDLIST Detach() noexcept {
    LPITEMIDLIST list = list_;
    list_ = nullptr;
    return list;
  }
  void Reset() noexcept { FreeIDList(list_); }
  // Out-parameter access: the held list is freed first.
  LPITEMIDLIST& Out() noexcept {
    FreeIDList(list_);
    return list_;
  }

  LPITEMIDLIST Get() const noexcept { return list_; }
  explicit operator bool() const noexcept { return list_ != nullptr; }

 private:
  LPITEMIDLIST list_ = nullptr;
};

// --- Sibling lists ----------------------------------------------------------------------------

// Relative lists of sibling items with the absolute list of their common parent folder, in the
// contiguous form IShellFolder calls take. A TShellIDList owns none of the lists (not owned: their
// holders, for example the tree's nodes, free them); a TShellIDList2 owns all of them.
class TShellIDList {
 public:
  TShellIDList() noexcept = default;
  TShellIDList(const TShellIDList&) = delete;
  TShellIDList& operator=(const TShellIDList&) = delete;
  virtual ~TShellIDList() = default;

  // Not owned: the caller keeps the list alive as long as this one holds it.
  int Add(LPITEMIDLIST item);
  int Count() const noexcept { return static_cast<int>(items_.size()); }
  // Empties the list; the parent list stays. An owning list frees the items and the parent list.
  virtual void Clear();

  LPITEMIDLIST GetItem(int index) const noexcept;
  // The items as one array, or null when there are none.
  LPCITEMIDLIST* ItemArray() noexcept;

  LPITEMIDLIST ParentIDList() const noexcept { return parentIDList_; }
  // Not owned, as the items.
  void SetParentIDList(LPITEMIDLIST list) noexcept { parentIDList_ = list; }

  int ParentLevel() const;
  bool GetParentFolder(TComPtr<IShellFolder>& folder) const;
  SFGAOF CommonCapabilities();
  bool AllHaveAttribute(TShAttribute attribute);
  std::string ItemPath(int index) const;

 private:
  SFGAOF AttributesOfAll(SFGAOF mask);

  std::vector<LPITEMIDLIST> items_;
  LPITEMIDLIST parentIDList_ = nullptr;
};

// A TShellIDList that owns its items and its parent list: clearing frees them, and so does
// destruction (the parent list first). It is filled through its own Add and SetParentIDList; the
// base's, reached through a TShellIDList reference, take lists it does not own.
class TShellIDList2 : public TShellIDList {
 public:
  int Add(TShIDListPtr item);
  // Frees the parent list held before.
  void SetParentIDList(TShIDListPtr list) noexcept;
  void Clear() override;

 private:
  std::vector<TShIDListPtr> ownedItems_;
  TShIDListPtr ownedParent_;
};
