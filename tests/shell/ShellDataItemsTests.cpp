#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "shell/ShellCst.h"
#include "shell/ShellDataItems.h"
#include "shell/ShellUtils.h"
#include "tests/shell/FakeShellFolder.h"
#include "tests/shell/ListsOf.h"
#include "tests/support/ScratchFolder.h"

namespace {

// A folder item whose parent folder a test may replace with a fake.
class TProbeItem : public TShellFolderItem {
 public:
  using TShellFolderItem::TShellFolderItem;
  void UseParentFolder(IShellFolder* folder) { parentFolder_ = folder; }
};

// An item as the tree makes it: the last item as relative list, the whole list as absolute one.
std::unique_ptr<TProbeItem> ItemOf(TShIDListPtr absolute) {
  TShIDListPtr relative(CopyLastItemID(absolute.Get()));
  return std::make_unique<TProbeItem>(std::move(relative), std::move(absolute));
}

// The tree's root: the desktop, with the desktop directory as its relative list.
std::unique_ptr<TProbeItem> RootItem() {
  return std::make_unique<TProbeItem>(SpecialFolder(sfDesktopDirectory), SpecialFolder(sfDesktop));
}

std::string DesktopDirectory() {
  TShIDListPtr list = SpecialFolder(sfDesktopDirectory);
  std::string path;
  PathFromIDList(list.Get(), path);
  return path;
}

// --- Levels, types and paths --------------------------------------------------------------------

TEST(ShellDataItem, RootIsTheDesktopWithTheDesktopDirectoryPath) {
  auto root = RootItem();
  EXPECT_TRUE(root->IsValid());
  EXPECT_EQ(IDListSize(root->GetAbsoluteIDList()), 2);
  EXPECT_EQ(root->GetLevel(), 0);
  EXPECT_EQ(root->GetItemType(), itDeskTop);
  EXPECT_EQ(root->GetPath(), DesktopDirectory());
  EXPECT_EQ(root->GetParentIDList(), nullptr);
  TComPtr<IShellFolder> folder;
  EXPECT_TRUE(root->GetParentFolder(folder));
  EXPECT_FALSE(root->GetDisplayName().empty());
  EXPECT_GE(root->GetIconIndex(), 0);
}

TEST(ShellDataItem, ChildrenOfTheDesktop) {
  auto drives = ItemOf(SpecialFolder(sfDrives));
  auto bin = ItemOf(SpecialFolder(sfBitBucket));
  auto network = ItemOf(SpecialFolder(sfNetwork));
  EXPECT_EQ(drives->GetLevel(), 1);
  EXPECT_EQ(drives->GetItemType(), itMyComputer);
  EXPECT_EQ(bin->GetItemType(), itBitBucket);
  EXPECT_EQ(network->GetItemType(), itNetWork);
  EXPECT_EQ(drives->GetPath(), "");
  EXPECT_EQ(bin->GetPath(), "");
  EXPECT_EQ(network->GetPath(), "");  // Wine reports a "::{...}" text here
  // The parent of the first level is the desktop's list, not null.
  ASSERT_NE(drives->GetParentIDList(), nullptr);
  EXPECT_EQ(IDListSize(drives->GetParentIDList()), 2);
  EXPECT_EQ(drives->GetParentIDList(), drives->GetParentIDList());  // cached
  EXPECT_FALSE(drives->GetDisplayName().empty());
}

TEST(ShellDataItem, EveryEnumeratedDesktopChildHasAFirstLevelType) {
  TComPtr<IShellFolder> desktop;
  ASSERT_TRUE(SUCCEEDED(SHGetDesktopFolder(desktop.Out())));
  TComPtr<IEnumIDList> children;
  ASSERT_EQ(desktop->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, children.Out()),
            S_OK);
  int seen = 0;
  bool myComputer = false;
  LPITEMIDLIST child = nullptr;
  while (children->Next(1, &child, nullptr) == S_OK) {
    auto item = std::make_unique<TProbeItem>(TShIDListPtr(child), TShIDListPtr::CopyOf(child));
    const TShItemIDType type = item->GetItemType();
    EXPECT_NE(type, itRootDrive) << item->GetDisplayName();
    EXPECT_NE(type, itUnknown) << item->GetDisplayName();
    EXPECT_NE(type, itInterNet) << item->GetDisplayName();
    if (type == itFolder || type == itFile) {
      EXPECT_FALSE(item->GetPath().empty()) << item->GetDisplayName();
    }
    myComputer = myComputer || type == itMyComputer;
    ++seen;
  }
  EXPECT_GT(seen, 0);
  EXPECT_TRUE(myComputer);
}

TEST(ShellDataItem, DrivesFoldersAndFiles) {
  TScratchFolder scratch("ItemTypes");
  const std::string folderPath = scratch.MakeFolder("フォルダ");
  const std::string filePath = scratch.MakeFile("file.txt", "text");

  auto drive = ItemOf(ListOfPath("C:\\"));
  EXPECT_EQ(drive->GetLevel(), 2);
  EXPECT_EQ(drive->GetItemType(), itRootDrive);
  EXPECT_EQ(drive->GetPath(), "C:\\");
  TShIDListPtr drives = SpecialFolder(sfDrives);
  TComPtr<IShellFolder> desktop;
  SHGetDesktopFolder(desktop.Out());
  EXPECT_EQ(CompareIDLists(desktop.Get(), drive->GetParentIDList(), drives.Get()), crSame);

  auto folder = ItemOf(ListOfPath(folderPath));
  EXPECT_EQ(folder->GetItemType(), itFolder);
  EXPECT_EQ(folder->GetPath(), folderPath);
  EXPECT_EQ(folder->GetDisplayName(), "フォルダ");
  EXPECT_TRUE(folder->HasAttribute(saFolder));
  EXPECT_TRUE(folder->HasAttribute(saFileSystem));
  EXPECT_TRUE(folder->HasAttribute(saCanRename));

  auto file = ItemOf(ListOfPath(filePath));
  EXPECT_EQ(file->GetItemType(), itFile);
  EXPECT_FALSE(file->HasAttribute(saFolder));
  EXPECT_EQ(file->GetPath(), filePath);

  auto controls = ItemOf(SpecialFolder(sfControls));
  if (controls->IsValid()) {
    EXPECT_EQ(controls->GetItemType(), itVirtual);
    EXPECT_EQ(controls->GetPath(), "");
  }
}

TEST(ShellDataItem, ItemWithoutListsAnswersNothing) {
  TProbeItem item{TShIDListPtr(), TShIDListPtr()};
  EXPECT_FALSE(item.IsValid());
  EXPECT_EQ(item.GetLevel(), -1);
  EXPECT_EQ(item.GetItemType(), itUnknown);
  EXPECT_EQ(item.GetPath(), "");
  EXPECT_EQ(item.GetDisplayName(), "");
  EXPECT_EQ(item.GetIconIndex(), -1);
  EXPECT_EQ(item.GetOverlayIndex(), -1);
  EXPECT_FALSE(item.HasAttribute(saFolder));
  TComPtr<IShellFolder> folder;
  EXPECT_FALSE(item.GetParentFolder(folder));
  TComPtr<IDropTarget> target;
  EXPECT_FALSE(item.GetDropTarget(nullptr, target));
}

// --- Names, icons and overlays ------------------------------------------------------------------

TEST(ShellDataItem, DisplayNameIsCachedOnlyOnceRead) {
  TFakeShellFolder fake;
  TScratchFolder scratch("Names");
  auto item = ItemOf(ListOfPath(scratch.MakeFolder("real")));
  item->UseParentFolder(&fake);
  EXPECT_EQ(item->GetDisplayName(), "");  // the folder fails: asked again next time
  fake.displayName = [](LPCITEMIDLIST, STRRET* answer) {
    answer->uType = STRRET_CSTR;
    std::strcpy(answer->cStr, "最初");
    return S_OK;
  };
  EXPECT_EQ(item->GetDisplayName(), "最初");
  fake.displayName = [](LPCITEMIDLIST, STRRET* answer) {
    answer->uType = STRRET_CSTR;
    std::strcpy(answer->cStr, "二番目");
    return S_OK;
  };
  EXPECT_EQ(item->GetDisplayName(), "最初");
  item->SetDisplayName("");
  EXPECT_EQ(item->GetDisplayName(), "二番目");
  item.reset();
  EXPECT_EQ(fake.References(), 1);
}

TEST(ShellDataItem, IconsFallBackToTheSystemIndex) {
  // Wine's folders offer no IShellIcon: the system index of the absolute list is used.
  TFakeShellFolder fake;
  TScratchFolder scratch("IconFallBack");
  auto item = ItemOf(ListOfPath(scratch.MakeFolder("folder")));
  const int small = SystemIconIndex(item->GetAbsoluteIDList(), false, false);
  const int open = SystemIconIndex(item->GetAbsoluteIDList(), false, true);
  EXPECT_EQ(item->GetIconIndex(), small);
  EXPECT_EQ(item->GetOpenIconIndex(), open);
  fake.offersShellIcon = true;
  item->UseParentFolder(&fake);
  EXPECT_EQ(item->GetIconIndex(), small);  // cached, the folder is not asked
  item.reset();
  EXPECT_EQ(fake.References(), 1);
}

TEST(ShellDataItem, IconIsTheSystemIndexWhateverTheFolderOffers) {
  TFakeShellFolder fake;
  TFakeExtractIcon extractor;
  TScratchFolder scratch("IconChain");
  auto item = ItemOf(ListOfPath(scratch.MakeFolder("folder")));
  const int system = SystemIconIndex(item->GetAbsoluteIDList(), false, false);
  item->UseParentFolder(&fake);
  fake.offersShellIcon = true;
  fake.extractor = &extractor;

  fake.iconOfResult = S_OK;
  EXPECT_EQ(item->GetIconIndex(), system);

  // An extractor's index counts icons inside its file: it is no system image list position.
  char shell32[MAX_PATH] = {};
  GetSystemDirectoryA(shell32, MAX_PATH);
  extractor.file = std::string(shell32) + "\\shell32.dll";
  extractor.index = system + 7;
  fake.iconOfResult = S_FALSE;
  item->ResetIcons();
  EXPECT_EQ(item->GetIconIndex(), system);
  extractor.flags = GIL_NOTFILENAME;
  item->ResetIcons();
  EXPECT_EQ(item->GetIconIndex(), system);

  item.reset();
  EXPECT_EQ(fake.References(), 1);
  EXPECT_EQ(extractor.References(), 1);
}

TEST(ShellDataItem, PlainFoldersTakeTheGenericIconAndOthersTheirOwn) {
  TScratchFolder scratch("OwnIcon");
  const std::string custom = scratch.MakeFolder("custom");
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  scratch.MakeFile("custom\\desktop.ini", "[.ShellClassInfo]\r\nIconFile=" + std::string(system) +
                                              "\\shell32.dll\r\nIconIndex=12\r\n");
  // The system attribute tells the shell to read desktop.ini (Wine keeps no read-only bit on
  // folders).
  SetFileAttributesA(custom.c_str(), FILE_ATTRIBUTE_SYSTEM);
  auto plainItem = ItemOf(ListOfPath(scratch.MakeFolder("plain")));
  auto customItem = ItemOf(ListOfPath(custom));

  EXPECT_EQ(plainItem->GetIconIndex(),
            SystemIconIndex(plainItem->GetAbsoluteIDList(), false, false));
  EXPECT_EQ(plainItem->GetOpenIconIndex(),
            SystemIconIndex(plainItem->GetAbsoluteIDList(), false, true));
  const int own = SystemIconIndex(customItem->GetAbsoluteIDList(), false, false);
  EXPECT_NE(own, GenericFolderIconIndex(false));
  EXPECT_EQ(customItem->GetIconIndex(), own);
  SetFileAttributesA(custom.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(ShellDataItem, IconOfAnItemWithoutFolderIsAskedAgain) {
  TFakeShellFolder fake;  // outlives the item, which holds a reference
  TProbeItem orphan{TShIDListPtr(), TShIDListPtr()};
  EXPECT_EQ(orphan.GetIconIndex(), -1);
  EXPECT_EQ(orphan.GetIconIndex(), -1);
  orphan.UseParentFolder(&fake);
  EXPECT_EQ(orphan.GetIconIndex(), 0);  // no IShellIcon; the system index of no list is 0
}

TEST(ShellDataItem, OverlayFromInterfaceOrAttributes) {
  TFakeShellFolder fake;
  TScratchFolder scratch("Overlay");
  auto item = ItemOf(ListOfPath(scratch.MakeFolder("folder")));
  EXPECT_EQ(item->GetOverlayIndex(), -1);  // a plain folder, Wine has no IShellIconOverlay

  item->UseParentFolder(&fake);
  fake.attributes = SFGAO_SHARE | SFGAO_LINK;
  EXPECT_EQ(item->GetOverlayIndex(), 0);
  fake.attributes = SFGAO_LINK;
  EXPECT_EQ(item->GetOverlayIndex(), 1);
  fake.attributes = 0;
  EXPECT_EQ(item->GetOverlayIndex(), -1);

  fake.offersOverlay = true;
  fake.attributes = SFGAO_SHARE;
  fake.overlayIndex = 3;
  EXPECT_EQ(item->GetOverlayIndex(), 2);
  fake.overlayResult = S_FALSE;
  EXPECT_EQ(item->GetOverlayIndex(), -1);
  item.reset();
  EXPECT_EQ(fake.References(), 1);
}

TEST(ShellDataItem, ShortcutShowsTheLinkOverlay) {
  TScratchFolder scratch("Shortcut");
  const std::string target = scratch.MakeFolder("target");
  const std::string linkPath = scratch.PathOf("link.lnk");
  {
    TComPtr<IShellLinkA> link;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkA, link.OutVoid())));
    link->SetPath(target.c_str());
    TComPtr<IPersistFile> file;
    ASSERT_TRUE(file.QueryFrom(link.Get(), IID_IPersistFile));
    const std::wstring widePath(linkPath.begin(), linkPath.end());
    ASSERT_TRUE(SUCCEEDED(file->Save(widePath.c_str(), TRUE)));
  }
  auto item = ItemOf(ListOfPath(linkPath));
  ASSERT_TRUE(item->IsValid());
  EXPECT_TRUE(item->HasAttribute(saLink));
  EXPECT_EQ(item->GetOverlayIndex(), 1);
}

// --- Drop targets and drag objects --------------------------------------------------------------

TEST(ShellDataItem, FolderOffersADropTarget) {
  TScratchFolder scratch("DropTarget");
  auto item = ItemOf(ListOfPath(scratch.MakeFolder("folder")));
  TComPtr<IDropTarget> target;
  EXPECT_TRUE(item->GetDropTarget(nullptr, target));
  EXPECT_TRUE(target);
}

TEST(ShellDragObject, NeedsDataAndHoldsItWhileItLives) {
  try {
    TShellDragObject missing(nullptr);
    FAIL() << "no error for missing data";
  } catch (const std::invalid_argument& error) {
    EXPECT_STREQ(error.what(), SInvalidParameter);
    EXPECT_STREQ(error.what(), "パラメータが不正です。");
  }

  TScratchFolder scratch("DragObject");
  auto item = ItemOf(ListOfPath(scratch.MakeFolder("folder")));
  TComPtr<IShellFolder> folder;
  ASSERT_TRUE(item->GetParentFolder(folder));
  LPCITEMIDLIST relative = item->RelativeIDList();
  TComPtr<IDataObject> data;
  ASSERT_TRUE(SUCCEEDED(
      folder->GetUIObjectOf(nullptr, 1, &relative, IID_IDataObject, nullptr, data.OutVoid())));
  const auto references = [&] {
    data->AddRef();
    return data->Release();
  };
  const ULONG before = references();
  {
    TShellDragObject drag(data.Get());
    EXPECT_EQ(drag.DataObject(), data.Get());
    EXPECT_EQ(references(), before + 1);
    EXPECT_TRUE(drag.FileNames().empty());
    EXPECT_EQ(drag.IDLists().Count(), 0);
    drag.IDLists().Add(TShIDListPtr::CopyOf(relative));  // freed with the drag object
  }
  EXPECT_EQ(references(), before);
}

}  // namespace
