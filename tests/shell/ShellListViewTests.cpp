// The file list against the real shell, file system and list view: the texts of its columns, the
// header clicks' order, navigation, following the disk, the selection total, finding and renaming.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/Graphics.h"
#include "shell/ShellListView.h"
#include "shell/ShellPopupMenu.h"
#include "tests/shell/ListsOf.h"
#include "tests/support/MenuChooser.h"
#include "tests/support/MessageBoxCloser.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScratchFolder.h"

namespace {

constexpr DWORD kSettleWaitMs = 15000;  // the files watcher reports 2 s after a change

class ShellListViewTest : public testing::Test {
 protected:
  ShellListViewTest() : form_("ShellListViewTest", TBorderStyle::Single), scratch_("list") {
    form_.SetClientSize(620, 400);
    form_.Show();
    list_ = std::make_unique<TShellListView>(form_, TBounds{3, 6, 600, 380});
    list_->SetViewStyle(TViewStyle::Report);
    Pump();
  }

  static void Pump() { Application().ProcessMessages(); }

  void Show(const std::string& path) {
    const TShIDListPtr folder = ListOfPath(path);
    list_->SetFolderIDList(folder.Get());
    Pump();
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (int i = 0; i < list_->Files().Count(); ++i) names.push_back(list_->Files().Text(i, 0));
    return names;
  }
  int IndexOf(const std::string& name) {
    for (int i = 0; i < list_->Files().Count(); ++i)
      if (list_->Files().Text(i, 0) == name) return i;
    return -1;
  }
  std::string Size(const std::string& name) { return list_->Files().Text(IndexOf(name), 1); }

  TForm form_;
  TScratchFolder scratch_;
  std::unique_ptr<TShellListView> list_;
};

TEST(FileSizeTextTest, WholeKilobytesRoundedUpWithGrouping) {
  EXPECT_EQ(FileSizeText(0), "0KB");
  EXPECT_EQ(FileSizeText(1), "1KB");
  EXPECT_EQ(FileSizeText(1024), "1KB");
  EXPECT_EQ(FileSizeText(1025), "2KB");
  EXPECT_EQ(FileSizeText(1024 * 1024), "1,024KB");
  // Above 4 GB the whole size counts, not its low 32 bits.
  EXPECT_EQ(FileSizeText(0x100000001ull), "4,194,305KB");
}

TEST_F(ShellListViewTest, ShowsTheFolderWithFiveColumnsAndTheTextsOfItsItems) {
  scratch_.MakeFile("one.txt", "x");
  scratch_.MakeFile("zero.txt");
  scratch_.MakeFile("more.txt", std::string(1025, 'x'));
  scratch_.MakeFolder("sub");
  SetFileAttributesA(scratch_.PathOf("one.txt").c_str(),
                     FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  Show(scratch_.Path());

  ASSERT_EQ(list_->ItemCount(), 4);
  EXPECT_EQ(Names().front(), "sub");  // the shell's order: folders first
  EXPECT_EQ(list_->ColumnCount(), 5);
  EXPECT_EQ(list_->ColumnCaption(0), "名前");
  EXPECT_EQ(list_->ColumnCaption(4), "属性");
  EXPECT_EQ(Size("one.txt"), "1KB");
  EXPECT_EQ(Size("zero.txt"), "0KB");
  EXPECT_EQ(Size("more.txt"), "2KB");
  EXPECT_EQ(Size("sub"), "");
  EXPECT_EQ(list_->Files().Text(IndexOf("one.txt"), 4), "RA");
  EXPECT_FALSE(list_->Files().Text(IndexOf("sub"), 2).empty());      // the type
  EXPECT_FALSE(list_->Files().Text(IndexOf("one.txt"), 3).empty());  // the modification time
  // The control draws from the same texts.
  char text[64] = {};
  LVITEMA item{};
  item.iSubItem = 1;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(list_->Handle(), LVM_GETITEMTEXTA, IndexOf("more.txt"),
               reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, "2KB");
  char current[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, current);
  EXPECT_EQ(lstrcmpiA(current, scratch_.Path().c_str()), 0);
  SetFileAttributesA(scratch_.PathOf("one.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ShellListViewTest, AttributePicturesReplaceTheLetters) {
  const std::string file = scratch_.MakeFile("locked.txt");
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
  Show(scratch_.Path());
  // One red picture, for read-only.
  HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24, 1, 0);
  const TBitmap red = TBitmap::Paint(16, 16, TColor(255, 0, 0), [](HDC) {});
  ImageList_Add(images, red.Handle(), nullptr);
  TAttributesImage pictures;
  pictures.ImageList = images;
  pictures.ReadOnly = 0;
  list_->SetAttributesImage(pictures);
  UpdateWindow(list_->Handle());

  char text[16] = "?";
  LVITEMA item{};
  item.iSubItem = 4;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(list_->Handle(), LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, "");
  RECT cell{};
  cell.top = 4;
  cell.left = LVIR_BOUNDS;
  SendMessageA(list_->Handle(), LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&cell));
  HDC dc = GetDC(list_->Handle());
  const COLORREF drawn = GetPixel(dc, cell.right - 10, (cell.top + cell.bottom) / 2);
  ReleaseDC(list_->Handle(), dc);
  EXPECT_EQ(drawn, RGB(255, 0, 0));

  list_->SetAttributesImage(TAttributesImage{});
  EXPECT_EQ(list_->Files().Text(0, 4).substr(0, 1), "R");  // Wine adds archive to every file
  ImageList_Destroy(images);
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ShellListViewTest, AFirstHeaderClickSortsInReverseAndASecondForwardKeepingTheSelection) {
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) scratch_.MakeFile(name);
  Show(scratch_.Path());
  ASSERT_EQ(Names(), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
  list_->SetSelected(1, true);
  int selectionEvents = 0;
  list_->OnShSelChange = [&](unsigned long long) { ++selectionEvents; };

  // A real click on the first header.
  HWND header = reinterpret_cast<HWND>(SendMessageA(list_->Handle(), LVM_GETHEADER, 0, 0));
  RECT first{};
  SendMessageA(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  const LPARAM at = MAKELPARAM((first.left + first.right) / 2, (first.top + first.bottom) / 2);
  SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(header, WM_LBUTTONUP, 0, at);
  Pump();
  EXPECT_EQ(Names(), (std::vector<std::string>{"c.txt", "b.txt", "a.txt"}));
  EXPECT_EQ(list_->Files().SortDirection(0), -1);

  list_->SortByColumn(0);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
  EXPECT_EQ(list_->SelectedIndexes(), std::vector<int>{1});
  EXPECT_EQ(list_->Files().Text(list_->SelectedIndexes().front(), 0), "b.txt");
  EXPECT_EQ(selectionEvents, 0);
}

TEST_F(ShellListViewTest, MovingToTheShownFolderDoesNothingAndAVirtualFolderKeepsOneColumn) {
  scratch_.MakeFile("kept.txt");
  Show(scratch_.Path());
  const TShellFileItem* item = list_->Files().Item(0);
  int refills = 0;
  list_->OnShListChange = [&](TShellFileList&) { ++refills; };
  Show(scratch_.Path());
  EXPECT_EQ(list_->Files().Item(0), item);
  EXPECT_EQ(refills, 0);

  const TShIDListPtr computer = SpecialFolder(sfDrives);
  list_->SetFolderIDList(computer.Get());
  EXPECT_EQ(refills, 1);
  EXPECT_EQ(list_->ColumnCount(), 1);
  EXPECT_EQ(list_->ColumnCaption(0), "名前");
  EXPECT_GT(list_->ItemCount(), 0);  // the drives

  Show(scratch_.Path());
  EXPECT_EQ(list_->ColumnCount(), 5);
  EXPECT_EQ(list_->ColumnCaption(1), "サイズ");
}

TEST_F(ShellListViewTest, FollowsChangesOnDiskAfterTheSettleTime) {
  scratch_.MakeFile("first.txt");
  Show(scratch_.Path());
  ASSERT_EQ(list_->ItemCount(), 1);
  scratch_.MakeFile("second.txt");
  EXPECT_TRUE(PumpMessagesUntil([&] { return list_->ItemCount() == 2; }, kSettleWaitMs));
  EXPECT_EQ(Size("first.txt"), "0KB");
  scratch_.MakeFile("first.txt", std::string(3000, 'x'));
  EXPECT_TRUE(PumpMessagesUntil([&] { return Size("first.txt") == "3KB"; }, kSettleWaitMs));
}

TEST_F(ShellListViewTest, TotalsTheSelectedSizesAndFindsNamesAsTheControlAsks) {
  scratch_.MakeFile("alpha.txt", std::string(100, 'x'));
  scratch_.MakeFile("beta.txt", std::string(20, 'x'));
  scratch_.MakeFolder("gamma");
  Show(scratch_.Path());
  unsigned long long reported = 0;
  list_->OnShSelChange = [&](unsigned long long size) { reported = size; };
  list_->SetSelected(IndexOf("alpha.txt"), true);
  list_->SetSelected(IndexOf("beta.txt"), true);
  EXPECT_EQ(reported, 120u);
  list_->SetSelected(IndexOf("alpha.txt"), false);
  EXPECT_EQ(reported, 20u);
  list_->SetSelected(-1, true);  // all
  EXPECT_EQ(reported, 120u);

  const auto find = [&](const char* text, UINT flags, int start) {
    LVFINDINFOA info{};
    info.flags = flags;
    info.psz = text;
    return static_cast<int>(
        SendMessageA(list_->Handle(), LVM_FINDITEMA, start, reinterpret_cast<LPARAM>(&info)));
  };
  EXPECT_EQ(find("BE", LVFI_STRING, -1), IndexOf("beta.txt"));
  EXPECT_EQ(find("eta", LVFI_STRING, -1), -1);
  EXPECT_EQ(find("eta", LVFI_PARTIAL, -1), IndexOf("beta.txt"));
  // gamma, a folder, comes first: from beta onwards it is found only when the search wraps.
  ASSERT_EQ(IndexOf("gamma"), 0);
  EXPECT_EQ(find("gam", LVFI_STRING, IndexOf("beta.txt")), -1);
  EXPECT_EQ(find("gam", LVFI_STRING | LVFI_WRAP, IndexOf("beta.txt")), 0);
}

TEST_F(ShellListViewTest, RenamesAnItemThroughItsLabel) {
  scratch_.MakeFile("old.txt");
  Show(scratch_.Path());
  SetFocus(list_->Handle());
  HWND edit = reinterpret_cast<HWND>(SendMessageA(list_->Handle(), LVM_EDITLABELA, 0, 0));
  ASSERT_NE(edit, nullptr);
  SetWindowTextA(edit, "new.txt");
  SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
  Pump();
  EXPECT_EQ(GetFileAttributesA(scratch_.PathOf("new.txt").c_str()) != INVALID_FILE_ATTRIBUTES,
            true);
  EXPECT_EQ(list_->Files().Text(0, 0), "new.txt");
}

TEST_F(ShellListViewTest, TellsWhetherTheClipboardHoldsFilesToPaste) {
  int changes = 0;
  bool contented = false;
  list_->OnShClipboard = [&](bool files) {
    ++changes;
    contented = files;
  };
  const std::string path = scratch_.MakeFile("copied.txt");
  // A file list as the shell copies one: DROPFILES, then the names, double-zero ended.
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + path.size() + 2);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), path.c_str(), path.size());
  GlobalUnlock(memory);
  ASSERT_TRUE(OpenClipboard(form_.Handle()));
  EmptyClipboard();
  SetClipboardData(CF_HDROP, memory);
  CloseClipboard();
  EXPECT_TRUE(PumpMessagesUntil([&] { return changes > 0 && contented; }, 5000));

  ASSERT_TRUE(OpenClipboard(form_.Handle()));
  EmptyClipboard();
  CloseClipboard();
  EXPECT_TRUE(PumpMessagesUntil([&] { return !contented; }, 5000));
}

TEST_F(ShellListViewTest, TheShellsMenuDeletesTheSelectedItemsAndStartsRenaming) {
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) scratch_.MakeFile(name);
  Show(scratch_.Path());
  TShellPopupMenu menu(&form_);
  menu.ReadOnly = false;
  menu.ContextType = shctNormal;  // Wine offers renaming only there
  list_->SetShellPopupMenu(&menu);
  const auto choose = [&](const std::string& text) {
    TMenuChooser chooser(
        [&](const std::vector<TShownMenuItem>& items) { return IdOfItemWith(items, text); });
    // From the keyboard, as Shift+F10 asks.
    SendMessageA(list_->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list_->Handle()),
                 MAKELPARAM(-1, -1));
    return chooser.MenuShown();
  };
  {
    TMessageBoxCloser yes(IDYES);
    list_->SetSelected(IndexOf("a.txt"), true);
    list_->SetSelected(IndexOf("b.txt"), true);
    ASSERT_TRUE(choose("削除"));
    EXPECT_EQ(Names(), std::vector<std::string>{"c.txt"});
    EXPECT_EQ(list_->ItemCount(), 1);
  }
  list_->SetSelected(0, true);
  ASSERT_TRUE(choose("名前の変更"));
  EXPECT_NE(SendMessageA(list_->Handle(), LVM_GETEDITCONTROL, 0, 0), 0);
}

}  // namespace
