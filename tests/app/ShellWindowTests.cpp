// TessarinShell's window (the path box, the tree and the file list, linked), with the program's
// version 6 common controls, played with real keys through the program's own loop.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "app/ShellWindow.h"
#include "framework/Application.h"
#include "shell/ShellIDFunc.h"
#include "tests/support/KeyInput.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScratchFolder.h"

namespace {

class ShellWindowTest : public testing::Test {
 protected:
  ShellWindowTest() {
    form_.Show();
    SetForegroundWindow(form_.Handle());
    Pump();
  }

  static void Pump() { Application().ProcessMessages(); }
  void Select(const std::string& path) {
    TShIDListPtr list;
    ASSERT_TRUE(IDListFromPath(path, list.Out())) << path;
    form_.ShellTreeView1.SelectIDList(list.Get());
    Pump();
  }
  // F2 on `control`, which has the focus, `name` typed into the edit that `editQuery` finds, and
  // Enter.
  static void RenameWithF2(HWND control, UINT editQuery, const std::string& name) {
    PressKeys({VK_F2});
    Pump();
    const auto edit = reinterpret_cast<HWND>(SendMessageA(control, editQuery, 0, 0));
    ASSERT_NE(edit, nullptr);
    TypeAsUnicodeKeys(name);
    EXPECT_TRUE(WaitForText(edit, name));
    PressKeys({VK_RETURN});
    Pump();
  }
  // Presses the keys on the file list; true once it shows the folder at `path`.
  bool ListShowsAfter(std::initializer_list<WORD> keys, const std::string& path) {
    PressKeys(keys);
    return PumpMessagesUntil([&] { return list_.Files().FolderPath() == path; }, 3000);
  }

  TShellForm form_;
  TShellListView& list_ = form_.ShellListView1;
  TScratchFolder scratch_{"ShellWindow"};
};

TEST_F(ShellWindowTest, ThePathBoxOpensDropDownCountRows) {
  TShellComboBox& box = form_.ShellComboBox1;
  Select(scratch_.MakeFolder("a\\b\\c"));  // path entries: more rows than the list shows
  ASSERT_GT(box.Count(), 8);
  ASSERT_EQ(box.DropDownCount(), 8);
  box.SetFocus();
  PressKeys({VK_F4});
  ASSERT_TRUE(PumpMessagesUntil([&] { return box.DroppedDown(); }, 3000));
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(box.Handle(), &info));
  RECT rows{};
  GetClientRect(info.hwndList, &rows);
  EXPECT_EQ(rows.bottom / box.ItemHeight(0), 8);
  PressKeys({VK_ESCAPE});
  Pump();
}

TEST_F(ShellWindowTest, EnterOpensTheFocusedItemBackspaceAndAltUpShowTheFolderAbove) {
  scratch_.MakeFolder("sub");
  scratch_.MakeFile("sub\\in.txt");
  scratch_.MakeFile("file.txt");
  Select(scratch_.Path());
  std::vector<std::string> executed;
  list_.OnShExecute = [&](TShellFileItem& item, TShiftState, int, int, int, bool& defaultAction) {
    executed.push_back(item.GetDisplayName());
    defaultAction = false;
  };
  list_.SetFocus();
  PressKeys({VK_HOME});
  PressKeys({VK_DOWN});  // the file: folders come first
  PressKeys({VK_RETURN});
  Pump();
  EXPECT_EQ(executed, std::vector<std::string>{"file.txt"});

  PressKeys({VK_HOME});
  ASSERT_TRUE(ListShowsAfter({VK_RETURN}, scratch_.PathOf("sub")));
  EXPECT_EQ(list_.Files().Text(0, 0), "in.txt");
  EXPECT_EQ(form_.ShellTreeView1.SelectedPath(), scratch_.PathOf("sub"));

  EXPECT_TRUE(ListShowsAfter({VK_BACK}, scratch_.Path()));
  const std::string above = scratch_.Path().substr(0, scratch_.Path().rfind('\\'));
  EXPECT_TRUE(ListShowsAfter({VK_MENU, VK_UP}, above));
  EXPECT_EQ(form_.ShellTreeView1.SelectedPath(), above);
}

// Typed with Unicode key events, as on-screen keyboards and input tools send text; ソ and 表 end
// in a backslash byte, ポ in "|".
TEST_F(ShellWindowTest, AJapaneseNameTypedIntoTheListsRenameBoxIsTheNameOnDisk) {
  scratch_.MakeFile("old.txt");
  Select(scratch_.Path());
  list_.SetFocus();
  PressKeys({VK_HOME});
  RenameWithF2(list_.Handle(), LVM_GETEDITCONTROL, "ソ表能ポ.txt");
  EXPECT_NE(GetFileAttributesA(scratch_.PathOf("ソ表能ポ.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

// The desktop's list renames its files as any folder's does; F2 in the tree starts a rename as in
// the main program.
TEST_F(ShellWindowTest, F2RenamesOnTheDesktopsListAndInTheTree) {
  char desktop[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE));
  const std::string before = std::string(desktop) + "\\TessarinShell-before.txt";
  const std::string after = std::string(desktop) + "\\TessarinShell-after.txt";
  DeleteFileA(after.c_str());
  CloseHandle(CreateFileA(before.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  // The list showed the desktop before the file was there: elsewhere and back, it is listed.
  Select(scratch_.Path());
  TShIDListPtr root;
  ASSERT_TRUE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &root.Out())));
  form_.ShellTreeView1.SelectIDList(root.Get());
  const auto indexOf = [&](const std::string& name) {
    for (int i = 0; i < list_.Files().Count(); ++i)
      if (list_.Files().Text(i, 0) == name) return i;
    return -1;
  };
  ASSERT_TRUE(PumpMessagesUntil([&] { return indexOf("TessarinShell-before.txt") >= 0; }, 3000));
  const int index = indexOf("TessarinShell-before.txt");
  list_.SetFocus();
  list_.SetSelected(index, true);
  list_.SetFocusedIndex(index);
  RenameWithF2(list_.Handle(), LVM_GETEDITCONTROL, "TessarinShell-after.txt");
  EXPECT_NE(GetFileAttributesA(after.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA(before.c_str()), INVALID_FILE_ATTRIBUTES);
  DeleteFileA(before.c_str());
  DeleteFileA(after.c_str());

  Select(scratch_.MakeFolder("tree-before"));
  form_.ShellTreeView1.SetFocus();
  RenameWithF2(form_.ShellTreeView1.Handle(), TVM_GETEDITCONTROL, "tree-after");
  EXPECT_EQ(FolderNames(scratch_.Path()), std::vector<std::string>{"tree-after"});
}

}  // namespace
