// TessarinShell's window (the path combo box, the tree and the file list, linked), with the
// program's version 6 common controls.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/ShellWindow.h"
#include "framework/Application.h"
#include "shell/ShellIDFunc.h"
#include "tests/support/KeyInput.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScratchFolder.h"

namespace {

class ShellWindowTest : public testing::Test {
 protected:
  ShellWindowTest() : scratch_("ShellWindow") {
    form_.Show();
    SetForegroundWindow(form_.Handle());
    Application().ProcessMessages();
  }

  void Select(const std::string& path) {
    TShIDListPtr list;
    ASSERT_TRUE(IDListFromPath(path, list.Out())) << path;
    form_.ShellTreeView1.SelectIDList(list.Get());
    Application().ProcessMessages();
  }

  TShellForm form_;
  TScratchFolder scratch_;
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
  Application().ProcessMessages();
}

}  // namespace
