// The file list against the real shell, file system and list view: the texts of its columns, the
// header clicks' order, navigation, following the disk, the selection total, finding and renaming.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <winioctl.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>
#include <memory>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/Graphics.h"
#include "shell/ShellListView.h"
#include "shell/ShellPopupMenu.h"
#include "tests/shell/ShellControlFixture.h"
#include "tests/shell/DropFakes.h"
#include "tests/shell/ListsOf.h"
#include "tests/support/MenuChooser.h"
#include "tests/support/MessageBoxCloser.h"
#include "tests/support/MessagePump.h"
#include "tests/support/MouseDrag.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/KeyInput.h"

namespace {

constexpr DWORD kSettleWaitMs = 15000;  // the files watcher reports 2 s after a change

class ShellListViewTest : public ShellControlTest {
 protected:
  ShellListViewTest() : ShellControlTest("ShellListViewTest", "list", 620, 400) {
    list_ = std::make_unique<TShellListView>(form_, TBounds{3, 6, 600, 380});
    list_->SetViewStyle(TViewStyle::Report);
    Pump();
  }

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
  // The list has the keyboard, its first row selected and focused, for keys a user would press.
  void FocusFirstRow() {
    SetForegroundWindow(form_.Handle());
    list_->SetFocus();
    list_->SetSelected(0, true);
    list_->SetFocusedIndex(0);
  }

  std::unique_ptr<TShellListView> list_;
};

// A folder the computer lists beside its drives, entered for the user; gone again with the object.
class TComputerNamespaceEntry {
 public:
  explicit TComputerNamespaceEntry(const std::string& classId)
      : key_("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\NameSpace\\" +
             classId) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS)
      RegCloseKey(key);
  }
  ~TComputerNamespaceEntry() { RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str()); }
  TComputerNamespaceEntry(const TComputerNamespaceEntry&) = delete;
  TComputerNamespaceEntry& operator=(const TComputerNamespaceEntry&) = delete;

 private:
  std::string key_;
};

// A click of the real mouse's left button at a point of the screen.
void ClickAt(POINT screen) {
  const auto normal = [](LONG value, int metric) {
    return static_cast<LONG>((value * 65535 + GetSystemMetrics(metric) / 2) /
                             (GetSystemMetrics(metric) - 1));
  };
  INPUT inputs[3] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = normal(screen.x, SM_CXSCREEN);
    input.mi.dy = normal(screen.y, SM_CYSCREEN);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  }
  inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
  inputs[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
  SendInput(3, inputs, sizeof(INPUT));
}

// The folder's items as a stable CompareIDs sort of its listing by `column` puts them: their
// display names.
std::vector<std::string> StableShellOrder(const std::string& path, int column = 0) {
  TComPtr<IShellFolder> desktop, folder;
  TComPtr<IEnumIDList> listing;
  const TShIDListPtr list = ListOfPath(path);
  std::vector<TShIDListPtr> items;
  if (SUCCEEDED(SHGetDesktopFolder(desktop.Out())) &&
      SUCCEEDED(desktop->BindToObject(list.Get(), nullptr, IID_IShellFolder, folder.OutVoid())) &&
      SUCCEEDED(
          folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, listing.Out()))) {
    LPITEMIDLIST item = nullptr;
    while (listing->Next(1, &item, nullptr) == S_OK) items.emplace_back(item);
  }
  std::stable_sort(items.begin(), items.end(), [&](const auto& a, const auto& b) {
    const HRESULT result = folder->CompareIDs(column, a.Get(), b.Get());
    return !FAILED(result) && CompareIDsOrder(result) < 0;
  });
  std::vector<std::string> names(items.size());
  for (std::size_t i = 0; i < items.size(); ++i)
    DisplayNameText(folder.Get(), items[i].Get(), SHGDN_INFOLDER, names[i]);
  return names;
}

TEST(FileSizeTextTest, WholeKilobytesRoundedUpWithGrouping) {
  EXPECT_EQ(FileSizeText(0), "0KB");
  EXPECT_EQ(FileSizeText(1), "1KB");
  EXPECT_EQ(FileSizeText(1024), "1KB");
  EXPECT_EQ(FileSizeText(1025), "2KB");
  EXPECT_EQ(FileSizeText(1024 * 1024), "1,024KB");
  // Above 4 GB the whole size counts, not its low 32 bits.
  EXPECT_EQ(FileSizeText(0x100000001ull), "4,194,305KB");
}

// A file of `size` bytes that takes no room on the disk.
void MakeSparseFile(const std::string& path, unsigned long long size) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD returned = 0;
  DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
  LARGE_INTEGER end{};
  end.QuadPart = static_cast<LONGLONG>(size);
  EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
  CloseHandle(file);
}

TEST_F(ShellListViewTest, FilesAbove4GBShowTheirWholeSizeFromTheFirstListing) {
  const unsigned long long five = 5ull << 30;
  const unsigned long long justOver4 = (4ull << 30) + 1;
  MakeSparseFile(scratch_.PathOf("five.bin"), five);
  MakeSparseFile(scratch_.PathOf("over4.bin"), justOver4);
  Show(scratch_.Path());
  unsigned long long selectedTotal = 0;
  list_->OnShSelChange = [&](unsigned long long size) { selectedTotal = size; };

  for (auto [name, shown] :
       {std::pair{"five.bin", "5,242,880KB"}, std::pair{"over4.bin", "4,194,305KB"}}) {
    char text[64] = {};
    LVITEMA item{};
    item.iSubItem = 1;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list_->Handle(), LVM_GETITEMTEXTA, IndexOf(name), reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, shown);
    list_->SetSelected(IndexOf(name), true);
  }
  EXPECT_EQ(selectedTotal, five + justOver4);
}

TEST_F(ShellListViewTest, ShowsTheFolderWithFiveColumnsAndTheTextsOfItsItems) {
  scratch_.MakeFile("one.txt", "x");
  scratch_.MakeFile("zero.txt");
  scratch_.MakeFile("more.txt", std::string(1025, 'x'));
  scratch_.MakeFolder("sub");
  scratch_.MakeFile("z", "x");
  SetFileAttributesA(scratch_.PathOf("one.txt").c_str(),
                     FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  {
    const SYSTEMTIME local{2001, 2, 6, 3, 4, 5, 6, 0};
    FILETIME localTime{}, written{};
    SystemTimeToFileTime(&local, &localTime);
    LocalFileTimeToFileTime(&localTime, &written);
    HANDLE file = CreateFileA(scratch_.PathOf("z").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
  }
  Show(scratch_.Path());

  ASSERT_EQ(list_->ItemCount(), 5);
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
  EXPECT_EQ(list_->Files().Text(IndexOf("z"), 3), "2001/2/3 4:05");  // local time
  // The control draws from the same texts.
  char text[64] = {};
  LVITEMA item{};
  item.iSubItem = 1;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(list_->Handle(), LVM_GETITEMTEXTA, IndexOf("more.txt"),
               reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, "2KB");
  SetFileAttributesA(scratch_.PathOf("one.txt").c_str(), FILE_ATTRIBUTE_NORMAL);

  // A settings change makes the window again: the old one goes, the new one shows the same.
  HWND old = list_->Handle();
  SendMessageA(old, WM_SETTINGCHANGE, 0, 0);
  Pump();
  EXPECT_FALSE(IsWindow(old));
  EXPECT_EQ(list_->ItemCount(), 5);
  EXPECT_EQ(list_->ColumnCount(), 5);
}

// Types are asked once per extension, by name: the answers must be the shell's own for each file.
TEST_F(ShellListViewTest, TypeNamesAndIconsAreTheShellsAnswersForTheFilesThemselves) {
  const std::vector<std::string> files = {"notes.txt", "other.TXT", "plain", "odd.zzq", "page.htm"};
  for (const std::string& file : files) scratch_.MakeFile(file);
  Show(scratch_.Path());
  ASSERT_EQ(list_->ItemCount(), static_cast<int>(files.size()));
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    const TShIDListPtr item = ListOfPath(scratch_.PathOf(file));
    SHFILEINFOA shell{};
    ASSERT_TRUE(SHGetFileInfoA(reinterpret_cast<LPCSTR>(item.Get()), 0, &shell, sizeof shell,
                               SHGFI_PIDL | SHGFI_TYPENAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    const int index = IndexOf(file);
    EXPECT_EQ(list_->Files().Text(index, 2), shell.szTypeName);
    EXPECT_EQ(list_->Files().IconIndex(*list_->Files().Item(index)), shell.iIcon);
  }
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
  scratch_.MakeFile("a.txt", std::string(2000, 'x'));
  scratch_.MakeFile("b.txt", "x");
  scratch_.MakeFile("c.txt", std::string(5000, 'x'));
  Show(scratch_.Path());
  ASSERT_EQ(Names(), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
  list_->SetSelected(1, true);
  int selectionEvents = 0;
  list_->OnShSelChange = [&](unsigned long long) { ++selectionEvents; };

  // Real clicks on the headers.
  SetForegroundWindow(form_.Handle());
  HWND header = reinterpret_cast<HWND>(SendMessageA(list_->Handle(), LVM_GETHEADER, 0, 0));
  const auto clickHeader = [&](int column) {
    RECT area{};
    SendMessageA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&area));
    POINT middle{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    ClientToScreen(header, &middle);
    ClickAt(middle);
    PumpMessagesFor(GetDoubleClickTime() + 50);  // two clicks, not a double click
  };
  // The first row as drawn: its label's pixels.
  const auto firstRowDrawn = [&] {
    UpdateWindow(list_->Handle());
    RECT label{};
    label.left = LVIR_LABEL;
    SendMessageA(list_->Handle(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&label));
    HDC dc = GetDC(list_->Handle());
    std::vector<COLORREF> pixels;
    for (int y = label.top; y < label.bottom; y += 2)
      for (int x = label.left; x < label.left + 40; ++x) pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(list_->Handle(), dc);
    return pixels;
  };
  const std::vector<COLORREF> before = firstRowDrawn();
  clickHeader(0);
  EXPECT_EQ(Names(), (std::vector<std::string>{"c.txt", "b.txt", "a.txt"}));
  EXPECT_EQ(list_->Files().SortDirection(0), -1);
  EXPECT_NE(firstRowDrawn(), before);  // the screen shows the new order

  clickHeader(0);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
  EXPECT_EQ(list_->SelectedIndexes(), std::vector<int>{1});
  EXPECT_EQ(list_->Files().Text(list_->SelectedIndexes().front(), 0), "b.txt");
  EXPECT_EQ(selectionEvents, 0);

  // By size, in the shell's order for that column (Wine's shell orders every column by name);
  // the selection goes with its file.
  std::vector<std::string> bySize = StableShellOrder(scratch_.Path(), 1);
  clickHeader(1);
  EXPECT_EQ(list_->Files().SortColumn(), 1);
  EXPECT_EQ(Names(), std::vector<std::string>(bySize.rbegin(), bySize.rend()));
  clickHeader(1);
  EXPECT_EQ(Names(), bySize);
  EXPECT_EQ(list_->Files().Text(list_->SelectedIndexes().front(), 0), "b.txt");
}

// Only the first page is put in order at once, the rest when the list is idle or looked past. Every
// way must give the sort's own order.
TEST_F(ShellListViewTest, TheFirstPageIsInOrderAtOnceAndTheRestFollowsInTheStableSortsOrder) {
  std::vector<std::string> names = {"sub"};
  for (int i = 0; i < 150; ++i) names.push_back("f" + std::to_string(i * 7919 % 1000) + ".txt");
  for (const std::string& name : names)
    name == "sub" ? scratch_.MakeFolder(name) : scratch_.MakeFile(name);
  const std::vector<std::string> expected = StableShellOrder(scratch_.Path());
  ASSERT_EQ(expected.size(), names.size());

  const TShIDListPtr folder = ListOfPath(scratch_.Path());
  list_->SetFolderIDList(folder.Get());  // no message handled yet
  for (int i = 0; i < 10; ++i) EXPECT_EQ(list_->Files().Text(i, 0), expected[i]) << i;
  EXPECT_EQ(Names(), expected);
  for (int first : {0, 1, 40, 150, 151, 500}) {
    list_->Files().SortFirst(0, first);
    EXPECT_EQ(Names(), expected) << first;
  }
  list_->SetFolderIDList(ListOfPath(scratch_.PathOf("..")).Get());
  list_->SetFolderIDList(folder.Get());
  Pump();  // the posted rest of the order
  EXPECT_EQ(Names(), expected);
}

TEST_F(ShellListViewTest, MovingToTheShownFolderDoesNothingAndTheItemSettingsListItAgain) {
  scratch_.MakeFile("kept.txt");
  Show(scratch_.Path());
  const TShellFileItem* item = list_->Files().Item(0);
  int refills = 0;
  list_->OnShListChange = [&](TShellFileList&) { ++refills; };
  Show(scratch_.Path());
  EXPECT_EQ(list_->Files().Item(0), item);
  EXPECT_EQ(refills, 0);

  // The computer lists its drives, and its virtual items (here the control panel, entered as a
  // system may enter it) only when asked for.
  const TComputerNamespaceEntry controlPanel("{21EC2020-3AEA-1069-A2DD-08002B30309D}");
  const int drives = std::popcount(GetLogicalDrives());
  const TShIDListPtr computer = SpecialFolder(sfDrives);
  list_->SetFolderIDList(computer.Get());
  EXPECT_EQ(refills, 1);
  EXPECT_EQ(list_->ColumnCount(), 1);
  EXPECT_EQ(list_->ColumnCaption(0), "名前");
  EXPECT_EQ(list_->ItemCount(), drives);
  // The network, which Wine names by a "::{...}" text, has no path either: names only.
  list_->SetFolderIDList(SpecialFolder(sfNetwork).Get());
  EXPECT_EQ(list_->ColumnCount(), 1);

  Show(scratch_.Path());
  EXPECT_EQ(list_->ColumnCount(), 5);
  EXPECT_EQ(list_->ColumnCaption(1), "サイズ");

  // Leaving out the desktop's virtual items lists it again without them, taking in the
  // computer's lists it again with them, and so does leaving out hidden files.
  list_->SetFolderIDList(SpecialFolder(sfDesktop).Get());
  const int withVirtual = list_->ItemCount();
  list_->SetShVirtuaItems({});
  EXPECT_LT(list_->ItemCount(), withVirtual);
  list_->SetFolderIDList(computer.Get());
  list_->SetShVirtuaItems({itVirtual});
  EXPECT_GT(list_->ItemCount(), drives);
  SetFileAttributesA(scratch_.MakeFile("secret.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
  Show(scratch_.Path());
  EXPECT_EQ(list_->ItemCount(), 2);
  list_->SetIncludeHidden(false);
  EXPECT_EQ(Names(), std::vector<std::string>{"kept.txt"});
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

  // The shown folder goes: the list empties and tells its follower.
  const std::string doomed = scratch_.MakeFolder("doomed");
  scratch_.MakeFile("doomed\\inside.txt");
  Show(doomed);
  ASSERT_EQ(list_->ItemCount(), 1);
  bool gone = false;
  list_->Link().OnFolderGone = [&] { gone = true; };
  // Moved away, and then something changes in it (a removal waits for the list's watcher to let
  // go of the folder, as on Windows).
  ASSERT_TRUE(MoveFileA(doomed.c_str(), scratch_.PathOf("moved").c_str()));
  scratch_.MakeFile("moved\\later.txt");
  EXPECT_TRUE(PumpMessagesUntil([&] { return gone; }, kSettleWaitMs));
  EXPECT_EQ(list_->ItemCount(), 0);
  EXPECT_EQ(list_->Files().Count(), 0);
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

// A name typed with a character the code page lacks is refused by name and comes back as typed;
// 〜 as other systems' text has it is this code page's ～.
TEST_F(ShellListViewTest, RenamesAnItemThroughItsLabel) {
  scratch_.MakeFile("old.txt");
  Show(scratch_.Path());
  FocusFirstRow();
  PressKeys({VK_F2});
  Pump();
  ASSERT_NE(SendMessageA(list_->Handle(), LVM_GETEDITCONTROL, 0, 0), 0);
  const std::wstring refused = L"new😀.txt";
  {
    const TMessageBoxCloser ok;
    TypeAsUnicodeKeys(refused);
    PressKeys({VK_RETURN});
    ASSERT_TRUE(PumpMessagesUntil([&] { return !ok.Texts().empty(); }, 5000));
    const std::wstring why = L"「😀」(U+1F600) は Shift-JIS にない文字のため、名前に使えません。";
    EXPECT_EQ(ok.WideTexts(), std::vector<std::wstring>{why});
  }
  const auto field = [&] {
    return reinterpret_cast<HWND>(SendMessageA(list_->Handle(), LVM_GETEDITCONTROL, 0, 0));
  };
  ASSERT_TRUE(PumpMessagesUntil([&] { return field() != nullptr; }, 5000));
  EXPECT_EQ(TWinControl::WideTextOf(field()), refused);
  EXPECT_EQ(GetFileAttributesA(scratch_.PathOf("new?.txt").c_str()), INVALID_FILE_ATTRIBUTES);

  TypeAsUnicodeKeys(L"new〜.txt");
  PressKeys({VK_RETURN});
  Pump();
  EXPECT_NE(GetFileAttributesA(scratch_.PathOf("new～.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA(scratch_.PathOf("old.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(list_->Files().Text(0, 0), "new～.txt");
  EXPECT_EQ(list_->Files().Item(0)->GetPath(), scratch_.PathOf("new～.txt"));
}

TEST_F(ShellListViewTest, ARenamedFileStaysSelectedAndFocusedAndAResortKeepsTheFocusInView) {
  for (int i = 100; i < 160; ++i) scratch_.MakeFile("f" + std::to_string(i) + ".txt");
  Show(scratch_.Path());
  // From the last name to the first: the shell lists the folder the other way round.
  list_->SortByColumn(0);
  list_->SetSelected(1, true);
  list_->EditLabel(1);
  {
    // A refused name first: it says why and the edit opens again with it.
    const TMessageBoxCloser ok;
    TypeAsUnicodeKeys("f100.txt");
    PressKeys({VK_RETURN});
    ASSERT_TRUE(PumpMessagesUntil([&] { return !ok.Texts().empty(); }, 5000));
    EXPECT_EQ(ok.Texts().front(),
              "「f100.txt」という名前は既にあります。\r\n別の名前を入力してください。");
  }
  Pump();
  // A name that sorts past the first page and a half, which is put in order last.
  TypeAsUnicodeKeys("f100x.txt");
  PressKeys({VK_RETURN});
  ASSERT_TRUE(PumpMessagesUntil([&] { return IndexOf("f100x.txt") == 58; }, kSettleWaitMs));
  EXPECT_EQ(list_->SelectedIndexes(), std::vector<int>{58});
  EXPECT_EQ(list_->FocusedIndex(), 58);

  const auto shown = [&](int index) {
    const int top = static_cast<int>(SendMessageA(list_->Handle(), LVM_GETTOPINDEX, 0, 0));
    const int page = static_cast<int>(SendMessageA(list_->Handle(), LVM_GETCOUNTPERPAGE, 0, 0));
    return index >= top && index < top + page;
  };
  list_->SortByColumn(0);
  EXPECT_EQ(list_->FocusedIndex(), 1);
  list_->SortByColumn(0);
  EXPECT_EQ(list_->FocusedIndex(), 58);
  EXPECT_TRUE(shown(58));
}

// Enter on a file hands it to the shell's default action: a batch file runs. Backspace and Alt+Up
// go up a folder, up to the desktop.
TEST_F(ShellListViewTest, EnterOnAFileRunsTheShellsDefaultActionAndBackspaceGoesUp) {
  const std::string ran = scratch_.PathOf("ran.txt");
  scratch_.MakeFile("run.bat", "echo ran> \"" + ran + "\"\r\n");
  Show(scratch_.Path());
  FocusFirstRow();
  PressKeys({VK_RETURN});
  EXPECT_TRUE(PumpMessagesUntil(
      [&] { return GetFileAttributesA(ran.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000));

  const std::string parent = scratch_.Path().substr(0, scratch_.Path().rfind('\\'));
  FocusFirstRow();  // the batch file's window may have taken it
  PressKeys({VK_BACK});
  Pump();
  EXPECT_EQ(list_->Files().FolderPath(), parent);
  PressKeys({VK_MENU, VK_UP});
  Pump();
  EXPECT_EQ(list_->Files().FolderPath(), parent.substr(0, parent.rfind('\\')));
  list_->SetFolderIDList(SpecialFolder(sfDesktop).Get());
  PressKeys({VK_BACK});
  Pump();
  EXPECT_EQ(list_->Files().FolderLevel(), 0);
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

// --- Dropping in and custom drawing -------------------------------------------------------------

// The shell decides which rows take drops; the stand-in takes the drop in its place.
class TListWithTestTargets : public TShellListView {
 public:
  using TShellListView::TShellListView;
  TComPtr<IDropTarget> target;
  std::string asked = "none";  // the row whose target was taken last, "" for the folder

 protected:
  bool ItemDropTarget(TShellFileItem* item, TComPtr<IDropTarget>& answer) override {
    if (!TShellListView::ItemDropTarget(item, answer)) return false;
    asked = item ? item->GetDisplayName() : "";
    answer = target;
    return true;
  }
};

class ShellListViewDropTest : public ShellListViewTest {
 protected:
  ShellListViewDropTest() {
    scratch_.MakeFolder("sub");
    scratch_.MakeFile("a.txt");
    list_.reset();
    auto made = std::make_unique<TListWithTestTargets>(form_, TBounds{3, 6, 600, 380});
    testList_ = made.get();
    list_ = std::move(made);
    list_->SetViewStyle(TViewStyle::Report);
    Show(scratch_.Path());
    testList_->target.Attach(recording_ = new TRecordingDropTarget(gone_));
  }
  POINTL RowPoint(const std::string& name) const { return ScreenPointL(LabelCenter(name)); }
  POINTL BesideTheRows() const { return ScreenPointL(POINT{300, 300}); }
  POINT LabelCenter(const std::string& name) const {
    RECT label{};
    label.left = LVIR_LABEL;
    SendMessageA(list_->Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(RowOf(name)),
                 reinterpret_cast<LPARAM>(&label));
    return POINT{(label.left + label.right) / 2, (label.top + label.bottom) / 2};
  }
  int RowOf(const std::string& name) const {
    for (int i = 0; i < list_->Files().Count(); ++i)
      if (list_->Files().Text(i, 0) == name) return i;
    return -1;
  }
  POINTL ScreenPointL(POINT client) const {
    ClientToScreen(list_->Handle(), &client);
    return POINTL{client.x, client.y};
  }
  // The data the shell drags for the file.
  TComPtr<IDataObject> FileData() {
    TComPtr<IDataObject> data;
    LPCITEMIDLIST file = list_->Files().Item(RowOf("a.txt"))->RelativeIDList();
    list_->Files().Folder()->GetUIObjectOf(nullptr, 1, &file, IID_IDataObject, nullptr,
                                           data.OutVoid());
    return data;
  }

  TListWithTestTargets* testList_ = nullptr;
  TRecordingDropTarget* recording_ = nullptr;
  bool gone_ = false;
};

TEST_F(ShellListViewDropTest, DropsOnAFolderRowOrBesideTheRowsGoToThatFolderWithTheDragsButton) {
  IDropTarget* target = list_->OleDropTarget();
  std::vector<std::string> events;
  list_->OnShDragEnter = [&](TShellDragObject&, TShiftState, POINT, bool&) {
    events.push_back("enter");
  };
  list_->OnShDragOver = [&](TShellDragObject&, TShellFileItem* item, TShiftState, int, int) {
    events.push_back("over " + (item ? item->GetDisplayName() : std::string()));
  };
  list_->OnShDragLeave = [&] { events.push_back("leave"); };
  {
    // Data of neither format: no drop anywhere, no event.
    TFakeDataObjectNeither neither;
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_HRESULT_SUCCEEDED(target->DragEnter(&neither, MK_LBUTTON, RowPoint("sub"), &effect));
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    effect = DROPEFFECT_COPY;
    EXPECT_HRESULT_SUCCEEDED(target->DragOver(MK_LBUTTON, RowPoint("sub"), &effect));
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    target->DragLeave();
    EXPECT_TRUE(events.empty());
  }

  const TComPtr<IDataObject> data = FileData();
  ASSERT_TRUE(data);
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  ASSERT_HRESULT_SUCCEEDED(target->DragEnter(data.Get(), MK_RBUTTON, RowPoint("a.txt"), &effect));
  EXPECT_TRUE(list_->Dragging());
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  target->DragOver(MK_RBUTTON, RowPoint("sub"), &effect);
  EXPECT_EQ(list_->DropHighlighted(), RowOf("sub"));
  EXPECT_EQ(events, (std::vector<std::string>{"enter", "over sub"}));
  recording_->keys.clear();
  ASSERT_HRESULT_SUCCEEDED(target->Drop(data.Get(), 0, RowPoint("sub"), &effect));
  // The button is up by the drop: the shell's target hears of the right one it was made with.
  EXPECT_EQ(recording_->keys, (std::vector<DWORD>{MK_RBUTTON, MK_RBUTTON, 0}));
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
  EXPECT_EQ(testList_->asked, "sub");
  EXPECT_EQ(list_->DropHighlighted(), -1);
  EXPECT_FALSE(list_->Dragging());

  // Beside the rows the list's own folder takes it; an event that keeps the drop leaves it undone.
  int dropped = 0;
  list_->OnShDragDrop = [&](TShellDragObject&, TShellFileItem* item, TShiftState, int, int,
                            bool& defaultAction) { defaultAction = ++dropped == 1 && !item; };
  bool besideGone = false;
  testList_->target.Attach(recording_ = new TRecordingDropTarget(besideGone));
  for (int drop = 1; drop <= 2; ++drop) {
    recording_->keys.clear();
    testList_->asked = "none";
    effect = DROPEFFECT_COPY;
    target->DragEnter(data.Get(), MK_LBUTTON, BesideTheRows(), &effect);
    ASSERT_HRESULT_SUCCEEDED(target->Drop(data.Get(), 0, BesideTheRows(), &effect));
  }
  EXPECT_EQ(recording_->keys, std::vector<DWORD>{});  // the second drop was kept by the event
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(dropped, 2);
  // The next drag let go of the first target: only the list held it.
  EXPECT_TRUE(gone_);
  EXPECT_EQ(list_->PendingDropTargets(), 1);

  // Held until a change of names in the folder finds only the list still holding it.
  testList_->target.Reset();
  EXPECT_FALSE(besideGone);
  scratch_.MakeFile("report.txt");
  EXPECT_TRUE(PumpMessagesUntil([&] { return besideGone; }, kSettleWaitMs));
  EXPECT_EQ(list_->PendingDropTargets(), 0);
}

// With the real mouse: the native list starts the drag, and the selected file goes as the shell's
// data to the window the button is let go over.
TEST_F(ShellListViewDropTest, ASelectedFileDraggedOutGoesAsTheShellsDataWhereItIsDropped) {
  const TBounds beside = form_.Bounds();
  TForm zone("DropZone", TBorderStyle::Single);
  zone.SetBounds({beside.Left + beside.Width + 10, beside.Top, 200, 200});
  zone.Show();
  bool zoneGone = false;
  TComPtr<IDropTarget> zoneTarget;
  auto* recorded = new TRecordingDropTarget(zoneGone);
  zoneTarget.Attach(recorded);
  ASSERT_HRESULT_SUCCEEDED(RegisterDragDrop(zone.Handle(), zoneTarget.Get()));
  std::string begun;
  list_->OnShBeginDrag = [&](TShellFileItem& item, bool&) { begun = item.GetDisplayName(); };
  list_->SetSelected(RowOf("a.txt"), true);

  const POINTL from = RowPoint("a.txt");
  RECT area{};
  GetClientRect(zone.Handle(), &area);
  POINT to{area.right / 2, area.bottom / 2};
  ClientToScreen(zone.Handle(), &to);
  DragWithTheMouse({{from.x, from.y}, {from.x + 10, from.y}, to, {to.x + 1, to.y}});
  Pump();
  RevokeDragDrop(zone.Handle());

  EXPECT_EQ(begun, "a.txt");
  ASSERT_FALSE(recorded->keys.empty());
  EXPECT_EQ(recorded->keys.front(), static_cast<DWORD>(MK_LBUTTON));
  EXPECT_EQ(recorded->files, std::vector<std::string>{scratch_.PathOf("a.txt")});
  EXPECT_EQ(list_->DropHighlighted(), -1);
}

TEST_F(ShellListViewDropTest, CustomDrawEventsSeeTheDrawnRowsAndMayTakeADrawingOver) {
  std::vector<std::pair<int, int>> subItems;
  const int taken = RowOf("sub");
  list_->OnCustomDrawItem = [&](TListCustomDraw& draw, bool& defaultDraw) {
    defaultDraw = draw.Index != taken;
  };
  list_->OnCustomDrawSubItem = [&](TListCustomDraw& draw, bool&) {
    subItems.emplace_back(draw.Index, draw.SubItem);
  };
  InvalidateRect(list_->Handle(), nullptr, TRUE);
  UpdateWindow(list_->Handle());
  const int file = RowOf("a.txt");
  for (int column = 0; column < TShellFileList::kColumns; ++column)
    EXPECT_NE(std::find(subItems.begin(), subItems.end(), std::make_pair(file, column)),
              subItems.end());
  // The row the item event took over is not drawn by columns.
  for (const auto& [index, column] : subItems) EXPECT_NE(index, taken);
}

TEST_F(ShellListViewDropTest, ADragNearTheBottomEdgeScrollsTheRowsOneLineAtATime) {
  for (int i = 100; i < 160; ++i) scratch_.MakeFile("f" + std::to_string(i) + ".txt");
  list_->Refill();
  const TComPtr<IDataObject> data = FileData();
  IDropTarget* target = list_->OleDropTarget();
  DWORD effect = DROPEFFECT_COPY;
  target->DragEnter(data.Get(), MK_LBUTTON, BesideTheRows(), &effect);
  RECT area{};
  GetClientRect(list_->Handle(), &area);
  const auto topRow = [&] { return SendMessageA(list_->Handle(), LVM_GETTOPINDEX, 0, 0); };
  // In the middle nothing moves; at the bottom edge each call scrolls one line.
  target->DragOver(MK_LBUTTON, ScreenPointL(POINT{area.right / 2, area.bottom / 2}), &effect);
  EXPECT_EQ(topRow(), 0);
  target->DragOver(MK_LBUTTON, ScreenPointL(POINT{area.right / 2, area.bottom - 2}), &effect);
  target->DragOver(MK_LBUTTON, ScreenPointL(POINT{area.right / 2, area.bottom - 2}), &effect);
  EXPECT_EQ(topRow(), 2);
  target->DragLeave();
}

}  // namespace
