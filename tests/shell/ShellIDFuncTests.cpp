#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "shell/ShellIDFunc.h"
#include "shell/ShellLibrary.h"
#include "tests/shell/CountingAllocator.h"
#include "tests/shell/ListsOf.h"
#include "tests/support/ScratchFolder.h"

namespace {

// A list of items whose payloads are the given texts (each item: 2 count bytes + text bytes).
LPITEMIDLIST MakeList(std::initializer_list<std::string> payloads) {
  unsigned size = 2;
  for (const std::string& payload : payloads) size += 2 + static_cast<unsigned>(payload.size());
  LPITEMIDLIST list = AllocIDList(static_cast<std::uint16_t>(size));
  BYTE* at = reinterpret_cast<BYTE*>(list);
  for (const std::string& payload : payloads) {
    const auto count = static_cast<USHORT>(2 + payload.size());
    std::memcpy(at, &count, 2);
    std::memcpy(at + 2, payload.data(), payload.size());
    at += count;
  }
  return list;
}

std::string Bytes(LPCITEMIDLIST list) {
  return std::string(reinterpret_cast<const char*>(list), IDListSize(list));
}

// The last item of the list of `path`, as its parent folder knows it.
TShIDListPtr ChildOfPath(const std::string& path) {
  return TShIDListPtr(CopyLastItemID(ListOfPath(path).Get()));
}

TComPtr<IShellFolder> Desktop() {
  TComPtr<IShellFolder> desktop;
  SHGetDesktopFolder(desktop.Out());
  return desktop;
}

TComPtr<IShellFolder> FolderOf(LPCITEMIDLIST absolute) {
  TComPtr<IShellFolder> folder;
  Desktop()->BindToObject(absolute, nullptr, IID_IShellFolder, folder.OutVoid());
  return folder;
}

// --- Structure of lists -----------------------------------------------------------------------

TEST(IDListStructure, SizesCountEveryItemAndTheTerminator) {
  TShIDListPtr empty(MakeList({}));
  TShIDListPtr one(MakeList({"abc"}));
  TShIDListPtr two(MakeList({"abc", "de"}));
  EXPECT_EQ(IDListSize(nullptr), 0);
  EXPECT_EQ(IDListSize(empty.Get()), 2);
  EXPECT_EQ(IDListSize(one.Get()), 7);
  EXPECT_EQ(IDListSize(two.Get()), 11);
  EXPECT_EQ(ItemIDSize(nullptr), 0);
  EXPECT_EQ(ItemIDSize(empty.Get()), 0);
  EXPECT_EQ(ItemIDSize(two.Get()), 7);
}

TEST(IDListStructure, WalkingStopsAtTheTerminator) {
  TShIDListPtr empty(MakeList({}));
  TShIDListPtr one(MakeList({"abc"}));
  TShIDListPtr two(MakeList({"abc", "de"}));
  const BYTE* start = reinterpret_cast<const BYTE*>(two.Get());
  EXPECT_EQ(NextItemID(nullptr), nullptr);
  EXPECT_EQ(reinterpret_cast<const BYTE*>(NextItemID(two.Get())), start + 5);
  EXPECT_EQ(reinterpret_cast<const BYTE*>(NextItemID(one.Get())),
            reinterpret_cast<const BYTE*>(one.Get()) + 5);  // the terminator
  EXPECT_EQ(NextItem(nullptr), nullptr);
  EXPECT_EQ(NextItem(empty.Get()), nullptr);
  EXPECT_EQ(NextItem(one.Get()), nullptr);
  EXPECT_EQ(reinterpret_cast<const BYTE*>(NextItem(two.Get())), start + 5);
  EXPECT_EQ(NextItem(NextItem(two.Get())), nullptr);
}

TEST(IDListStructure, AllocationIsZeroFilledAndFreeingClearsTheReference) {
  LPITEMIDLIST list = AllocIDList(64);
  ASSERT_NE(list, nullptr);
  const BYTE* bytes = reinterpret_cast<const BYTE*>(list);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(bytes[i], 0) << i;
  FreeIDList(list);
  EXPECT_EQ(list, nullptr);
  FreeIDList(list);  // a null list passes
  EXPECT_EQ(list, nullptr);
}

TEST(IDListStructure, CopiesAreNewAllocationsOfTheRightItems) {
  TShIDListPtr empty(MakeList({}));
  TShIDListPtr one(MakeList({"abc"}));
  TShIDListPtr three(MakeList({"abc", "de", "fghi"}));

  EXPECT_EQ(CopyIDList(nullptr), nullptr);
  TShIDListPtr copy = TShIDListPtr::CopyOf(three.Get());
  EXPECT_NE(copy.Get(), three.Get());
  EXPECT_EQ(Bytes(copy.Get()), Bytes(three.Get()));
  TShIDListPtr emptyCopy = TShIDListPtr::CopyOf(empty.Get());
  EXPECT_EQ(IDListSize(emptyCopy.Get()), 2);

  EXPECT_EQ(CopyFirstItemID(nullptr), nullptr);
  EXPECT_EQ(CopyFirstItemID(empty.Get()), nullptr);
  TShIDListPtr first(CopyFirstItemID(three.Get()));
  EXPECT_EQ(Bytes(first.Get()), Bytes(one.Get()));

  EXPECT_EQ(CopyLastItemID(nullptr), nullptr);
  EXPECT_EQ(CopyLastItemID(empty.Get()), nullptr);
  TShIDListPtr last(CopyLastItemID(three.Get()));
  TShIDListPtr expectedLast(MakeList({"fghi"}));
  EXPECT_EQ(Bytes(last.Get()), Bytes(expectedLast.Get()));
  TShIDListPtr lastOfOne(CopyLastItemID(one.Get()));
  EXPECT_EQ(Bytes(lastOfOne.Get()), Bytes(one.Get()));
}

TEST(IDListStructure, ParentListNeedsTwoItems) {
  TShIDListPtr empty(MakeList({}));
  TShIDListPtr one(MakeList({"abc"}));
  TShIDListPtr three(MakeList({"abc", "de", "fghi"}));
  EXPECT_EQ(CopyParentIDList(nullptr), nullptr);
  EXPECT_EQ(CopyParentIDList(empty.Get()), nullptr);
  EXPECT_EQ(CopyParentIDList(one.Get()), nullptr);  // the desktop is not made up here
  TShIDListPtr parent(CopyParentIDList(three.Get()));
  TShIDListPtr expected(MakeList({"abc", "de"}));
  EXPECT_EQ(Bytes(parent.Get()), Bytes(expected.Get()));
}

TEST(IDListStructure, ConcatenationJoinsItemsAndRefusesMissingLists) {
  TShIDListPtr empty(MakeList({}));
  TShIDListPtr a(MakeList({"abc", "de"}));
  TShIDListPtr b(MakeList({"fghi"}));
  EXPECT_EQ(ConcatIDLists(a.Get(), nullptr), nullptr);
  EXPECT_EQ(ConcatIDLists(nullptr, a.Get()), nullptr);
  TShIDListPtr emptyFirst(ConcatIDLists(empty.Get(), a.Get()));
  EXPECT_EQ(Bytes(emptyFirst.Get()), Bytes(a.Get()));
  TShIDListPtr emptySecond(ConcatIDLists(a.Get(), empty.Get()));
  EXPECT_EQ(Bytes(emptySecond.Get()), Bytes(a.Get()));
  TShIDListPtr joined(ConcatIDLists(a.Get(), b.Get()));
  TShIDListPtr expected(MakeList({"abc", "de", "fghi"}));
  EXPECT_EQ(IDListSize(joined.Get()), IDListSize(a.Get()) + IDListSize(b.Get()) - 2);
  EXPECT_EQ(Bytes(joined.Get()), Bytes(expected.Get()));
}

TEST(IDListStructure, ConcatenationBeyondTheSixteenBitSizeFails) {
  const std::string big(40000, 'x');
  TShIDListPtr a(MakeList({big}));
  TShIDListPtr b(MakeList({big}));
  EXPECT_EQ(ConcatIDLists(a.Get(), b.Get()), nullptr);
}

TEST(IDListStructure, OwnerAttachesDetachesAndFreesThroughTheAllocator) {
  TCountingAllocator counting;
  {
    TShellLibrary nested(&counting);
    EXPECT_EQ(TaskAllocator(), &counting);
    TShIDListPtr owner(MakeList({"a"}));
    LPITEMIDLIST first = owner.Get();
    owner.Attach(MakeList({"b"}));
    EXPECT_TRUE(counting.Freed(first));
    LPITEMIDLIST detached = owner.Detach();
    EXPECT_FALSE(owner);
    owner.Attach(detached);
    LPITEMIDLIST& out = owner.Out();  // frees the held list
    EXPECT_EQ(out, nullptr);
    EXPECT_TRUE(counting.Freed(detached));
    out = MakeList({"c"});
    TShIDListPtr moved(std::move(owner));
    EXPECT_FALSE(owner);
    EXPECT_TRUE(moved);
  }
  EXPECT_NE(TaskAllocator(), &counting);
  EXPECT_EQ(counting.outstanding.size(), 0u);
  EXPECT_EQ(counting.References(), 1);
}

// --- Lists of the real shell ------------------------------------------------------------------

TEST(IDListShell, SelectorTablesMapToTheShellValues) {
  EXPECT_EQ(SpecialFolderCsidl(sfDesktop), CSIDL_DESKTOP);
  EXPECT_EQ(SpecialFolderCsidl(sfBitBucket), CSIDL_BITBUCKET);
  EXPECT_EQ(SpecialFolderCsidl(sfDesktopDirectory), CSIDL_DESKTOPDIRECTORY);
  EXPECT_EQ(SpecialFolderCsidl(sfDrives), CSIDL_DRIVES);
  EXPECT_EQ(SpecialFolderCsidl(sfNetwork), CSIDL_NETWORK);
  EXPECT_EQ(SpecialFolderCsidl(sfCommonStartMenu), 0x16);  // after the gap 0x0C..0x0F
  EXPECT_EQ(SpecialFolderCsidl(sfAltStartup), 0x1D);       // after the gap 0x1C
  EXPECT_EQ(SpecialFolderCsidl(sfHistory), 0x22);
  EXPECT_EQ(AttributeMask(saCanRename), 0x10u);
  EXPECT_EQ(AttributeMask(saCapabilityMask), 0x177u);
  EXPECT_EQ(AttributeMask(saGhosted), AttributeMask(saHidden));  // both 0x80000 in this table
  EXPECT_EQ(AttributeMask(saHasSubFolder), AttributeMask(saContentsMask));
  EXPECT_EQ(AttributeMask(saNonEnumerated), 0x100000u);
  EXPECT_EQ(AttributeMask(saDisplayAttrMask), 0xF0000u);
}

TEST(IDListShell, SpecialFoldersAndLevels) {
  TShIDListPtr desktop = SpecialFolder(sfDesktop);
  TShIDListPtr drives = SpecialFolder(sfDrives);
  ASSERT_TRUE(desktop);
  ASSERT_TRUE(drives);
  EXPECT_EQ(IDListSize(desktop.Get()), 2);  // the desktop is the empty list
  EXPECT_EQ(IDListLevel(desktop.Get()), 0);
  EXPECT_EQ(IDListLevel(drives.Get()), 1);
  EXPECT_EQ(IDListLevel(ListOfPath("C:\\").Get()), 2);
  EXPECT_EQ(IDListLevel(nullptr), -1);

  TScratchFolder scratch("Levels");
  const std::string deep = scratch.MakeFolder("a\\b");
  // my computer, the drive, then one level per path component
  int components = 0;
  for (char c : deep.substr(3)) components += c == '\\';
  EXPECT_EQ(IDListLevel(ListOfPath(deep).Get()), 2 + components + 1);

  LPITEMIDLIST raw = reinterpret_cast<LPITEMIDLIST>(1);
  EXPECT_FALSE(GetSpecialFolderIDList(static_cast<TShSpecialFolder>(30), raw));
  EXPECT_EQ(raw, nullptr);
}

TEST(IDListShell, DesktopIsRecognisedByComparison) {
  TComPtr<IShellFolder> desktop = Desktop();
  EXPECT_TRUE(IsDesktopIDList(desktop.Get(), SpecialFolder(sfDesktop).Get()));
  EXPECT_FALSE(IsDesktopIDList(desktop.Get(), SpecialFolder(sfDrives).Get()));
  EXPECT_FALSE(IsDesktopIDList(desktop.Get(), nullptr));
}

TEST(IDListShell, ComparisonResults) {
  TScratchFolder scratch("Compare");
  scratch.MakeFolder("alpha");
  scratch.MakeFolder("Beta");
  TShIDListPtr parent = ListOfPath(scratch.Path());
  TShIDListPtr alpha = ChildOfPath(scratch.PathOf("alpha"));
  TShIDListPtr alphaAgain = ChildOfPath(scratch.PathOf("alpha"));
  TShIDListPtr beta = ChildOfPath(scratch.PathOf("Beta"));
  TComPtr<IShellFolder> folder = FolderOf(parent.Get());
  ASSERT_TRUE(folder);

  EXPECT_EQ(CompareIDLists(folder.Get(), alpha.Get(), alphaAgain.Get()), crSame);
  EXPECT_EQ(CompareIDLists(folder.Get(), alpha.Get(), beta.Get()), crBefore);  // case-insensitive
  EXPECT_EQ(CompareIDLists(folder.Get(), beta.Get(), alpha.Get()), crAfter);
  EXPECT_EQ(CompareIDLists(folder.Get(), alpha.Get(), nullptr), crFailed);
  EXPECT_EQ(CompareIDLists(folder.Get(), nullptr, alpha.Get()), crFailed);
  EXPECT_EQ(CompareIDLists(nullptr, alpha.Get(), beta.Get()), crFailed);
  // The desktop compares absolute lists.
  EXPECT_EQ(CompareIDLists(Desktop().Get(), ListOfPath(scratch.PathOf("alpha")).Get(),
                           ListOfPath(scratch.PathOf("Beta")).Get()),
            crBefore);

  EXPECT_EQ(CompareIDsOrder(0x0000FFFF), -1);
  EXPECT_EQ(CompareIDsOrder(0x00000001), 1);
  EXPECT_EQ(CompareIDsOrder(0), 0);
}

TEST(IDListShell, PathsOfFoldersDrivesAndVirtualItems) {
  TScratchFolder scratch("Paths");
  std::string path;
  EXPECT_FALSE(PathFromIDList(nullptr, path));

  ASSERT_TRUE(PathFromIDList(ListOfPath(scratch.Path()).Get(), path));
  EXPECT_EQ(path, scratch.Path());
  ASSERT_TRUE(PathFromIDList(ListOfPath("C:\\").Get(), path));
  EXPECT_EQ(path, "C:\\");

  std::string desktopDirectory;
  ASSERT_TRUE(PathFromIDList(SpecialFolder(sfDesktopDirectory).Get(), desktopDirectory));
  EXPECT_FALSE(desktopDirectory.empty());
  ASSERT_TRUE(PathFromIDList(SpecialFolder(sfDesktop).Get(), path));
  EXPECT_EQ(path, desktopDirectory);

  for (TShSpecialFolder virtualFolder : {sfDrives, sfBitBucket, sfNetwork}) {
    path = "left over";
    EXPECT_FALSE(PathFromIDList(SpecialFolder(virtualFolder).Get(), path)) << virtualFolder;
    EXPECT_EQ(path, "") << virtualFolder;
  }
}

TEST(IDListShell, ListsFromPaths) {
  TScratchFolder scratch("FromPath");
  LPITEMIDLIST list = reinterpret_cast<LPITEMIDLIST>(1);
  EXPECT_FALSE(IDListFromPath("", list));
  EXPECT_EQ(list, nullptr);
  EXPECT_FALSE(IDListFromPath(scratch.PathOf("missing"), list));
  EXPECT_EQ(list, nullptr);
  const std::string japanese = scratch.MakeFolder("表示ソフト");
  TShIDListPtr parsed = ListOfPath(japanese);
  std::string path;
  ASSERT_TRUE(PathFromIDList(parsed.Get(), path));
  EXPECT_EQ(path, japanese);
}

// --- Sibling lists ----------------------------------------------------------------------------

TEST(ShellIDList, ItemsAreReachedByIndexOnly) {
  TShIDListPtr a(MakeList({"a"}));
  TShIDListPtr b(MakeList({"b"}));
  TShellIDList list;
  EXPECT_EQ(list.ItemArray(), nullptr);
  EXPECT_EQ(list.Add(a.Get()), 0);
  EXPECT_EQ(list.Add(b.Get()), 1);
  EXPECT_EQ(list.GetItem(-1), nullptr);
  EXPECT_EQ(list.GetItem(2), nullptr);
  EXPECT_EQ(list.GetItem(1), b.Get());
  ASSERT_NE(list.ItemArray(), nullptr);
  EXPECT_EQ(list.ItemArray()[0], a.Get());
}

TEST(ShellIDList, PlainListFreesNothingOwningListFreesEverything) {
  TCountingAllocator counting;
  TShellLibrary nested(&counting);
  TShIDListPtr kept(MakeList({"a"}));
  TShIDListPtr keptParent(MakeList({"p"}));
  {
    TShellIDList plain;
    plain.SetParentIDList(keptParent.Get());
    plain.Add(kept.Get());
    plain.Clear();
    EXPECT_EQ(plain.Count(), 0);
    EXPECT_EQ(plain.ParentIDList(), keptParent.Get());
    plain.Add(kept.Get());
  }
  EXPECT_EQ(counting.frees, 0);

  LPITEMIDLIST first = MakeList({"a"});
  LPITEMIDLIST second = MakeList({"b"});
  LPITEMIDLIST parent = MakeList({"p"});
  LPITEMIDLIST replacedParent = MakeList({"q"});
  {
    TShellIDList2 owning;
    owning.SetParentIDList(TShIDListPtr(replacedParent));
    owning.SetParentIDList(TShIDListPtr(parent));
    EXPECT_TRUE(counting.Freed(replacedParent));
    owning.Add(TShIDListPtr(first));
    owning.Add(TShIDListPtr(second));
    owning.Clear();
    EXPECT_TRUE(counting.Freed(first));
    EXPECT_TRUE(counting.Freed(second));
    EXPECT_TRUE(counting.Freed(parent));
    EXPECT_EQ(owning.ParentIDList(), nullptr);
    EXPECT_EQ(owning.Count(), 0);
    owning.SetParentIDList(TShIDListPtr(MakeList({"p"})));
    owning.Add(TShIDListPtr(MakeList({"c"})));
  }
  EXPECT_EQ(counting.frees, 6);
  kept.Reset();
  keptParent.Reset();
  EXPECT_EQ(counting.outstanding.size(), 0u);
}

TEST(ShellIDList, AskTheParentFolderAboutAllItems) {
  TScratchFolder scratch("Siblings");
  scratch.MakeFolder("one");
  scratch.MakeFolder("two");
  TShIDListPtr parent = ListOfPath(scratch.Path());
  TShIDListPtr one = ChildOfPath(scratch.PathOf("one"));
  TShIDListPtr two = ChildOfPath(scratch.PathOf("two"));

  TShellIDList list;
  TComPtr<IShellFolder> folder;
  EXPECT_FALSE(list.GetParentFolder(folder));
  EXPECT_EQ(list.CommonCapabilities(), 0u);
  list.SetParentIDList(parent.Get());
  EXPECT_EQ(list.CommonCapabilities(), 0u);  // no items
  list.Add(one.Get());
  list.Add(two.Get());
  EXPECT_GT(list.ParentLevel(), 2);
  EXPECT_TRUE(list.GetParentFolder(folder));
  const SFGAOF capabilities = list.CommonCapabilities();
  EXPECT_EQ(capabilities & ~SFGAO_CAPABILITYMASK, 0u);
  EXPECT_NE(capabilities & SFGAO_CANCOPY, 0u);
  EXPECT_TRUE(list.AllHaveAttribute(saFolder));
  EXPECT_FALSE(list.AllHaveAttribute(saLink));
  EXPECT_EQ(list.ItemPath(1), scratch.PathOf("two"));
  EXPECT_EQ(list.ItemPath(2), "");
}

TEST(ShellIDList, ChildrenOfTheDesktopUseTheDesktopFolder) {
  TShIDListPtr desktop = SpecialFolder(sfDesktop);
  TShIDListPtr drives = SpecialFolder(sfDrives);
  TShellIDList list;
  list.SetParentIDList(desktop.Get());
  list.Add(drives.Get());
  EXPECT_EQ(list.ParentLevel(), 0);
  TComPtr<IShellFolder> folder;
  ASSERT_TRUE(list.GetParentFolder(folder));
  EXPECT_EQ(CompareIDLists(folder.Get(), drives.Get(), SpecialFolder(sfDrives).Get()), crSame);
  EXPECT_EQ(list.ItemPath(0), "");  // my computer has no path
}

}  // namespace
