// The folder tree as the main window holds it: first in the Tab order, indented 19 pixels, and told
// of system settings changes, which only top-level windows hear of.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "shell/ShellUtils.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/MessagePump.h"

namespace {

class FolderTreeWindowTest : public MainWindowTest {};

TEST_F(FolderTreeWindowTest, IsTheFirstStopOfTheTabOrderWithIndent19) {
  EXPECT_EQ(GetNextDlgTabItem(form->Handle(), nullptr, FALSE), form->ShellTreeView1.Handle());
  EXPECT_EQ(form->ShellTreeView1.Indent(), 19);
  EXPECT_FALSE(form->ShellTreeView1.Checkboxes());
  // A new user starts on the desktop.
  EXPECT_TRUE(form->ShellTreeView1.GetFirstNode()->Selected());
}

TEST_F(FolderTreeWindowTest, HearsOfSettingsChangesThroughTheWindow) {
  form->ShellTreeView1.SetImages(nullptr);
  SendMessageA(form->Handle(), WM_SETTINGCHANGE, 0, 0);
  PumpMessagesUntil([&] { return form->ShellTreeView1.Images() != nullptr; }, 2000);
  EXPECT_EQ(form->ShellTreeView1.Images(), SystemImageList(false));
}

}  // namespace
