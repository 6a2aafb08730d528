// The path combo box against the real shell and a real combo box: its permanent entries, the path
// entries a selection adds and the user's picks remove, merging with the shell on a refill, row
// heights and a re-created window.

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/CodePage.h"
#include "framework/DeviceContext.h"
#include "framework/Form.h"
#include "shell/ComPtr.h"
#include "shell/ShellComboBox.h"
#include "shell/ShellIDFunc.h"
#include "tests/shell/DropFakes.h"
#include "tests/shell/ShellControlFixture.h"
#include "tests/shell/ListsOf.h"
#include "tests/support/KeyInput.h"
#include "tests/support/ScratchFolder.h"

namespace {

std::string DesktopDirectory() {
  char path[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, path);
  return path;
}

std::vector<const TShellComboItem*> EntriesOf(const TShellComboList& list) {
  std::vector<const TShellComboItem*> entries;
  for (int i = 0; i < list.Count(); ++i) entries.push_back(list.Entry(i));
  return entries;
}

// The first and the past-the-last column of the highlight along a line of the window, as shown.
std::pair<int, int> HighlightRun(HWND window, int y, int from, int to) {
  TWindowDC dc(window);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  int first = -1;
  int last = -1;
  for (int x = from; x < to; ++x)
    if (GetPixel(dc.Get(), x, y) == highlight) {
      if (first < 0) first = x;
      last = x + 1;
    }
  return {first, last};
}

// Whether anything but the window's background is drawn in the area.
bool DrawnIn(HWND window, const RECT& area) {
  TWindowDC dc(window);
  const COLORREF background = GetSysColor(COLOR_WINDOW);
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (GetPixel(dc.Get(), x, y) != background) return true;
  return false;
}

int TemporaryCount(const TShellComboList& list) {
  int count = 0;
  for (int i = 0; i < list.Count(); ++i) count += list.Entry(i)->Temporary() ? 1 : 0;
  return count;
}

class ShellComboBoxTest : public ShellControlTest {
 protected:
  ShellComboBoxTest() : ShellControlTest("ShellComboBoxTest", "combo", 420, 300) {
    box_ = std::make_unique<TShellComboBox>(form_, TBounds{3, 6, 400, 0});
    Pump();
  }

  const TShellComboList& Items() const { return box_->Items(); }
  std::string SelectedPath() const {
    TShellComboItem* item = box_->SelectedItem();
    return item ? item->GetPath() : "(none)";
  }
  int RowOfPath(const std::string& path) const {
    for (int i = 0; i < Items().Count(); ++i)
      if (lstrcmpiA(Items().Entry(i)->GetPath().c_str(), path.c_str()) == 0) return i;
    return -1;
  }
  // The user walks up the closed box with the arrow key to a row above the current one; every
  // step is a pick of its own, as it is for the user.
  void PickAbove(int row) {
    SetForegroundWindow(form_.Handle());
    box_->SetFocus();
    for (int steps = 0; box_->ItemIndex() > row && steps < 100; ++steps) {
      PressKeys({VK_UP});
      Pump();
    }
  }
  // The text's width in the box's font.
  int TextWidth(const std::string& text) const {
    TWindowDC dc(box_->Handle());
    TSelection font(dc.Get(), box_->Font().Handle());
    SIZE extent{};
    GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
    return extent.cx;
  }
  void Select(const std::string& path) {
    const TShIDListPtr list = ListOfPath(path);
    box_->SelectIDList(list.Get());
  }

  std::unique_ptr<TShellComboBox> box_;
};

// A folder on the desktop, for the permanent entries; removed afterwards.
class DesktopFolder {
 public:
  explicit DesktopFolder(const std::string& name)
      : path_(DesktopDirectory() + "\\" + name + "-" + std::to_string(GetCurrentProcessId())) {
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~DesktopFolder() { RemoveDirectoryA(path_.c_str()); }
  const std::string& Path() const { return path_; }
  // Its list as an item of the desktop, as the desktop lists it.
  TShIDListPtr DesktopItem() const {
    TComPtr<IShellFolder> desktop;
    TShIDListPtr item;
    std::wstring name = AnsiToWide(path_.substr(path_.rfind('\\') + 1));
    if (SUCCEEDED(SHGetDesktopFolder(desktop.Out())))
      desktop->ParseDisplayName(nullptr, nullptr, name.data(), nullptr, &item.Out(), nullptr);
    return item;
  }

 private:
  std::string path_;
};

TEST_F(ShellComboBoxTest, ListsTheDesktopAndTwoLevelsBelowInDepthFirstOrder) {
  ASSERT_GT(Items().Count(), 2);
  TShellComboItem& desktop = *Items().Entry(0);
  EXPECT_EQ(desktop.GetItemType(), itDeskTop);
  EXPECT_EQ(desktop.ParentItem(), nullptr);
  EXPECT_EQ(box_->ItemIndex(), 0);
  EXPECT_EQ(box_->Count(), Items().Count());  // one row per entry
  EXPECT_EQ(TemporaryCount(Items()), 0);

  bool recycleBin = false;
  for (int i = 1; i < Items().Count(); ++i) {
    TShellComboItem& entry = *Items().Entry(i);
    ASSERT_NE(entry.ParentItem(), nullptr);
    // Every entry stands below its parent, one level deeper, within the parent's subtree.
    EXPECT_LT(entry.ParentItem()->GetItemIndex(), i);
    EXPECT_EQ(entry.GetLevel(), entry.ParentItem()->GetLevel() + 1);
    EXPECT_LE(entry.GetLevel(), 2);
    EXPECT_LE(entry.GetLevel(), Items().Entry(i - 1)->GetLevel() + 1);
    if (entry.GetLevel() == 1) {
      EXPECT_NE(entry.GetItemType(), itVirtual);
      recycleBin |= entry.GetItemType() == itBitBucket;
    } else {
      EXPECT_EQ(entry.ParentItem(), Items().FirstChild(desktop));
    }
  }
  EXPECT_TRUE(recycleBin);

  // Without the virtual items shown, a refill leaves the recycle bin out.
  box_->SetShVirtuaItems({});
  box_->FillList();
  for (int i = 1; i < Items().Count(); ++i) EXPECT_NE(Items().Entry(i)->GetItemType(), itBitBucket);
}

TEST_F(ShellComboBoxTest, RowsAreNeverLowerThan18Pixels) {
  // Wine answers the face's height with two pixels of frame added: only the rows are exact.
  EXPECT_GE(box_->ItemHeight(-1), 18);
  EXPECT_EQ(box_->ItemHeight(0), 18);  // the default 12-pixel font
  box_->SetFont(TFont("ＭＳ Ｐゴシック", 8));
  EXPECT_EQ(box_->ItemHeight(1), 18);
  // A larger font: 1.2 times its height, for rows made before and after the change.
  box_->SetFont(TFont("ＭＳ Ｐゴシック", 25));
  EXPECT_GE(box_->ItemHeight(-1), 30);
  EXPECT_EQ(box_->ItemHeight(Items().Count() - 1), 30);
  const std::string folder = scratch_.MakeFolder("tall");
  Select(folder);
  EXPECT_EQ(box_->ItemHeight(box_->ItemIndex()), 30);
}

TEST_F(ShellComboBoxTest, PathEntriesComeWithASelectionAndGoWithTheUsersPicks) {
  const std::string deep = scratch_.MakeFolder("a\\b\\c");
  const int permanent = Items().Count();
  Select(deep);
  EXPECT_EQ(SelectedPath(), deep);
  EXPECT_EQ(box_->Count(), Items().Count());
  // The chain up from the folder reaches the desktop, each link a level higher.
  int chain = 0;
  for (const TShellComboItem* entry = box_->SelectedItem(); entry->ParentItem();
       entry = entry->ParentItem()) {
    EXPECT_EQ(entry->ParentItem()->GetLevel(), entry->GetLevel() - 1);
    ++chain;
  }
  EXPECT_EQ(chain, box_->SelectedItem()->GetLevel());
  EXPECT_GT(TemporaryCount(Items()), 3);  // at least a, b and c
  // The path goes through the entries already there: no folder is listed twice.
  for (int i = 0; i < Items().Count(); ++i)
    for (int j = i + 1; j < Items().Count(); ++j)
      EXPECT_FALSE(
          Items().Entry(i)->GetLevel() == Items().Entry(j)->GetLevel() &&
          SameIDList(Items().Entry(i)->GetAbsoluteIDList(), Items().Entry(j)->GetAbsoluteIDList()))
          << Items().Entry(i)->GetPath();

  // Another folder: only its own path entries stay.
  const std::string other = scratch_.MakeFolder("x");
  Select(other);
  EXPECT_EQ(SelectedPath(), other);
  EXPECT_EQ(RowOfPath(deep), -1);

  // Walking up to the drive drops the path entries below it, and the follower hears of each pick.
  std::vector<std::string> chosen;
  box_->Link().OnFolderChosen = [&](LPCITEMIDLIST folder) {
    char path[MAX_PATH] = {};
    SHGetPathFromIDListA(folder, path);
    chosen.push_back(path);
  };
  const int drive = RowOfPath(other.substr(0, 3));
  ASSERT_GT(drive, 0);
  ASSERT_TRUE(Items().Entry(drive)->Temporary());  // under Wine the computer is not the first child
  PickAbove(drive);
  EXPECT_EQ(SelectedPath(), other.substr(0, 3));
  EXPECT_EQ(Items().FirstChild(*Items().Entry(drive)), nullptr);
  EXPECT_EQ(RowOfPath(other), -1);
  ASSERT_FALSE(chosen.empty());
  EXPECT_EQ(lstrcmpiA(chosen.back().c_str(), other.substr(0, 3).c_str()), 0);

  // Going up to a permanent entry drops them all.
  PickAbove(0);
  EXPECT_EQ(TemporaryCount(Items()), 0);
  EXPECT_EQ(Items().Count(), permanent);
  EXPECT_EQ(box_->ItemIndex(), 0);
}

// What the user sees: the closed box shows the current folder's whole path beside its icon; the
// open list shows each row's name, its icon indented by its level.
TEST_F(ShellComboBoxTest, TheFaceShowsThePathAndTheOpenListIndentsEachLevel) {
  const std::string deep = scratch_.MakeFolder("p\\q");
  Select(deep);
  SetForegroundWindow(form_.Handle());
  box_->SetFocus();
  UpdateWindow(box_->Handle());
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(box_->Handle(), &info));
  const RECT& face = info.rcItem;
  // The focused face highlights its text, after the icon and a gap, not indented (Wine draws the
  // face a pixel or two inside the rectangle it reports).
  const auto [faceFirst, faceLast] =
      HighlightRun(box_->Handle(), (face.top + face.bottom) / 2, face.left, face.right);
  EXPECT_NEAR(faceFirst, face.left + 16 + 4 - 1, 2);
  EXPECT_NEAR(faceLast - faceFirst, TextWidth(deep) + 2, 1);
  EXPECT_TRUE(DrawnIn(box_->Handle(), RECT{face.left, face.top, face.left + 16, face.bottom}));

  PressKeys({VK_F4});
  Pump();
  ASSERT_TRUE(IsWindowVisible(info.hwndList));
  const TShellComboItem& current = *box_->SelectedItem();
  const int indent = 12 * current.GetLevel();
  RECT row{};
  SendMessageA(info.hwndList, LB_GETITEMRECT, box_->ItemIndex(), reinterpret_cast<LPARAM>(&row));
  const auto [rowFirst, rowLast] =
      HighlightRun(info.hwndList, (row.top + row.bottom) / 2, row.left, row.right);
  EXPECT_EQ(rowFirst, row.left + indent + 16 + 4 - 1);
  EXPECT_EQ(rowLast, rowFirst + TextWidth("q") + 2);
  // The icon stands at the indent, nothing before it.
  EXPECT_TRUE(DrawnIn(info.hwndList, RECT{indent, row.top, indent + 16, row.bottom}));
  EXPECT_FALSE(DrawnIn(info.hwndList, RECT{row.left, row.top, indent - 1, row.bottom}));
  PressKeys({VK_ESCAPE});
  Pump();
  EXPECT_EQ(SelectedPath(), deep);
}

TEST_F(ShellComboBoxTest, MovingToTheShownFolderChangesNothing) {
  const std::string folder = scratch_.MakeFolder("here");
  Select(folder);
  const auto before = EntriesOf(Items());
  const int row = box_->ItemIndex();
  Select(folder);
  EXPECT_EQ(EntriesOf(Items()), before);
  EXPECT_EQ(box_->ItemIndex(), row);
  box_->SelectIDList(nullptr);
  EXPECT_EQ(box_->ItemIndex(), row);
}

TEST_F(ShellComboBoxTest, ARefillMergesNewAndVanishedFoldersWithoutRebuilding) {
  auto added = std::make_unique<DesktopFolder>("ComboAdded");
  box_->FillList();
  const int row = RowOfPath(added->Path());
  ASSERT_GT(row, 0);
  EXPECT_EQ(Items().Entry(row)->GetLevel(), 1);
  EXPECT_FALSE(Items().Entry(row)->Temporary());
  const TShellComboItem* addedEntry = Items().Entry(row);
  // Chosen elsewhere (as the list hands on a folder of the desktop), it is that entry, not a path
  // entry of its own.
  box_->SelectIDList(TShIDListPtr::CopyOf(addedEntry->GetAbsoluteIDList()).Get());
  EXPECT_EQ(box_->ItemIndex(), row);
  EXPECT_EQ(TemporaryCount(Items()), 0);

  const std::string folder = scratch_.MakeFolder("current");
  Select(folder);
  auto others = EntriesOf(Items());
  std::erase(others, addedEntry);
  std::erase_if(others, [](const TShellComboItem* e) { return e->Temporary(); });

  added.reset();  // the folder vanishes
  box_->FillList();
  EXPECT_EQ(RowOfPath(DesktopDirectory() + "\\ComboAdded-" + std::to_string(GetCurrentProcessId())),
            -1);
  // The others are the same entries, in the same order; the path entries went with the refill.
  EXPECT_EQ(EntriesOf(Items()), others);
  EXPECT_EQ(box_->Count(), Items().Count());
  EXPECT_GE(box_->ItemIndex(), 0);

  // A folder right under the desktop is its permanent entry.
  const TShIDListPtr computer = SpecialFolder(sfDrives);
  box_->SelectIDList(computer.Get());
  ASSERT_NE(box_->SelectedItem(), nullptr);
  EXPECT_TRUE(SameIDList(box_->SelectedIDList(), computer.Get()));
  EXPECT_FALSE(box_->SelectedItem()->Temporary());

  // Choosing one of two folders new to the desktop since the fill brings the desktop's entries up
  // to date: the other one is listed too.
  const DesktopFolder chosen("ComboChosen");
  const DesktopFolder other("ComboOther");
  const TShIDListPtr chosenItem = chosen.DesktopItem();
  ASSERT_EQ(IDListLevel(chosenItem.Get()), 1);
  box_->SelectIDList(chosenItem.Get());
  EXPECT_EQ(SelectedPath(), chosen.Path());
  EXPECT_EQ(box_->SelectedItem()->GetLevel(), 1);
  EXPECT_GT(RowOfPath(other.Path()), 0);
}

TEST_F(ShellComboBoxTest, KeepsTheCurrentFolderWhenItsWindowIsMadeAgain) {
  const std::string folder = scratch_.MakeFolder("kept");
  Select(folder);
  HWND old = box_->Handle();
  // A settings change makes the window again once the message loop runs.
  SendMessageA(old, WM_SETTINGCHANGE, 0, 0);
  Pump();
  EXPECT_NE(box_->Handle(), old);
  EXPECT_TRUE(IsWindow(box_->Handle()));
  EXPECT_EQ(SelectedPath(), folder);
  EXPECT_EQ(box_->Count(), Items().Count());
  EXPECT_EQ(box_->ItemHeight(0), 18);
}

// The shell decides whether the current folder takes drops; the stand-in takes them in its place.
class TBoxWithTestTarget : public TShellComboBox {
 public:
  using TShellComboBox::TShellComboBox;
  TComPtr<IDropTarget> target;

 protected:
  bool ItemDropTarget(TShellComboItem& entry, TComPtr<IDropTarget>& answer) override {
    if (!TShellComboBox::ItemDropTarget(entry, answer)) return false;
    answer = target;
    return true;
  }
};

TEST_F(ShellComboBoxTest, DragsAndDropsGoToTheCurrentFolder) {
  scratch_.MakeFolder("from");
  const std::string file = scratch_.MakeFile("from\\dragged.txt", "x");
  box_.reset();
  auto made = std::make_unique<TBoxWithTestTarget>(form_, TBounds{3, 6, 400, 0});
  bool gone = false;
  auto* recording = new TRecordingDropTarget(gone);
  made->target.Attach(recording);
  recording->overEffect = DROPEFFECT_LINK;
  box_ = std::move(made);
  Select(scratch_.MakeFolder("to"));
  // Data as the shell drags it: the file.
  TComPtr<IShellFolder> desktop;
  TComPtr<IShellFolder> from;
  ASSERT_HRESULT_SUCCEEDED(SHGetDesktopFolder(desktop.Out()));
  ASSERT_HRESULT_SUCCEEDED(desktop->BindToObject(ListOfPath(scratch_.PathOf("from")).Get(), nullptr,
                                                 IID_IShellFolder, from.OutVoid()));
  const TShIDListPtr relative(CopyLastItemID(ListOfPath(file).Get()));
  LPCITEMIDLIST item = relative.Get();
  TComPtr<IDataObject> data;
  ASSERT_HRESULT_SUCCEEDED(
      from->GetUIObjectOf(nullptr, 1, &item, IID_IDataObject, nullptr, data.OutVoid()));

  bool accept = true;
  const TShellComboItem* over = nullptr;
  const TShellComboItem* dropped = nullptr;
  box_->OnShDragEnter = [&](TShellDragObject&, TShiftState, POINT, bool& accepted) {
    accepted = accept;
  };
  POINT overAt{};
  box_->OnShDragOver = [&](TShellDragObject&, TShellComboItem& entry, TShiftState, int x, int y) {
    over = &entry;
    overAt = POINT{x, y};
  };
  box_->OnShDragDrop = [&](TShellDragObject&, TShellComboItem& entry, TShiftState, int, int,
                           bool&) { dropped = &entry; };
  IDropTarget* target = box_->OleDropTarget();
  const POINTL point{10, 10};
  DWORD effect = DROPEFFECT_COPY;
  ASSERT_HRESULT_SUCCEEDED(target->DragEnter(data.Get(), MK_LBUTTON, point, &effect));
  ASSERT_HRESULT_SUCCEEDED(target->DragOver(MK_LBUTTON, point, &effect));
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));  // the folder's answer for the point
  EXPECT_EQ(over, box_->SelectedItem());  // the current entry, wherever the pointer is
  POINT client{point.x, point.y};         // the event has the point in the box's own coordinates
  ScreenToClient(box_->Handle(), &client);
  EXPECT_EQ(overAt.x, client.x);
  EXPECT_EQ(overAt.y, client.y);
  effect = DROPEFFECT_COPY;
  EXPECT_HRESULT_SUCCEEDED(target->Drop(data.Get(), 0, point, &effect));
  EXPECT_EQ(dropped, box_->SelectedItem());
  EXPECT_EQ(recording->files, std::vector<std::string>{file});
  // The drag is over: a second drop has nothing to drop.
  EXPECT_EQ(target->Drop(data.Get(), 0, point, &effect), E_INVALIDARG);
  EXPECT_EQ(target->DragEnter(nullptr, MK_LBUTTON, point, &effect), E_INVALIDARG);

  // A drag that leaves says so once.
  int left = 0;
  box_->OnShDragLeave = [&] { ++left; };
  ASSERT_HRESULT_SUCCEEDED(target->DragEnter(data.Get(), MK_LBUTTON, point, &effect));
  EXPECT_HRESULT_SUCCEEDED(target->DragLeave());
  EXPECT_EQ(left, 1);

  // A drag the handler refuses is no drag.
  accept = false;
  over = nullptr;
  ASSERT_HRESULT_SUCCEEDED(target->DragEnter(data.Get(), MK_LBUTTON, point, &effect));
  effect = DROPEFFECT_COPY;
  ASSERT_HRESULT_SUCCEEDED(target->DragOver(MK_LBUTTON, point, &effect));
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(over, nullptr);
  EXPECT_HRESULT_SUCCEEDED(target->DragLeave());
  EXPECT_EQ(left, 1);
  box_.reset();  // lets go of the stand-in while `gone` is still there
}

}  // namespace
