// The folder tree as the main window holds it: first in the Tab order, indented 19 pixels, told of
// system settings changes (which only top-level windows hear of), and with a file manager's keys:
// F2 renames the selected folder, Shift+F10 and the Apps key show the shell's menu for it.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "shell/ShellUtils.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/KeyInput.h"
#include "tests/support/MenuChooser.h"
#include "tests/support/MessageBoxCloser.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScratchFolder.h"

namespace {

using naming::SequenceKind;

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

BOOL CALLBACK CountWindow(HWND, LPARAM counted) {
  ++*reinterpret_cast<int*>(counted);
  return TRUE;
}

int ChildWindowCount(HWND parent) {
  int count = 0;
  EnumChildWindows(parent, CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

// The entry shows the window before the tree's shell work, the menu's pictures and the child tier,
// which lies below the compact window's edge: all come by themselves once the window has painted.
TEST(MainWindowStartUp, TheTreeThePicturesAndTheChildTierComeAfterTheWindowHasPainted) {
  TForm1 form;
  form.OnCreate();
  EXPECT_EQ(form.ShellTreeView1.GetFirstNode(), nullptr);
  EXPECT_EQ(form.MainMenu1.Images()->Count(), 0);
  EXPECT_EQ(form.ParentTier.RunCount.Caption(), "  1 個");  // painted with the window
  const int windowsBefore = ChildWindowCount(form.Handle());
  form.Show();
  ASSERT_TRUE(PumpMessagesUntil(
      [&] { return ChildWindowCount(form.Handle()) > windowsBefore + 20; }, 5000));
  ASSERT_NE(form.ShellTreeView1.GetFirstNode(), nullptr);
  EXPECT_TRUE(form.ShellTreeView1.GetFirstNode()->Selected());
  EXPECT_TRUE(form.ShellTreeView1.GetFirstNode()->Expanded());
  EXPECT_EQ(form.MainMenu1.Images()->Count(), 4);  // the Edit menu's pictures
  EXPECT_TRUE(form.ChildTier().Row(SequenceKind::Number).Radio.Checked());
  EXPECT_EQ(form.ChildTier().RunCount.Caption(), "  × 1");  // counted when made
  EXPECT_EQ(form.ParentTier.SampleLine.Caption(), "sample");
  const int windowsAfter = ChildWindowCount(form.Handle());
  form.FinishStartUp();  // a second time: nothing
  EXPECT_EQ(ChildWindowCount(form.Handle()), windowsAfter);
  EXPECT_EQ(form.ShellTreeView1.GetFirstNode()->GetNextSibling(), nullptr);
}

// Asked for before start-up, the child tier is started by FormCreate, as the parent is.
TEST(MainWindowStartUp, AChildTierMadeBeforeStartUpStartsWithIt) {
  TForm1 form;
  form.ChildTier().FrontText.SetText("kept");
  form.OnCreate();
  EXPECT_EQ(form.ChildTier().FrontText.Text(), "kept");
  EXPECT_TRUE(form.ChildTier().Row(SequenceKind::Number).Radio.Checked());
  EXPECT_TRUE(form.ChildTier().StartNumber.Enabled());
  EXPECT_FALSE(form.ChildTier().StartDate.Enabled());
  EXPECT_EQ(form.ChildTier().Pattern.ItemIndex(), 0);
  EXPECT_EQ(form.ChildTier().SampleLine.Caption(), "sample");
  EXPECT_EQ(form.ParentTier.SampleLine.Caption(), "sample");
}

// The tree watches the drives from the moment it shows its nodes, before the rest of start-up: a
// folder another program makes right then still comes into it.
TEST(MainWindowStartUp, AFolderMadeRightAfterTheTreeShowsComesIntoIt) {
  TScratchFolder scratch{"startup"};
  scratch.MakeFolder("a");
  TShIDListPtr list;
  ASSERT_TRUE(IDListFromPath(scratch.Path(), list.Out()));
  TForm1 form;
  form.OnCreate();
  form.Show();
  ASSERT_TRUE(
      PumpMessagesUntil([&] { return form.ShellTreeView1.GetFirstNode() != nullptr; }, 5000));
  TTreeNode* folder = form.ShellTreeView1.FindNodeByIDList(list.Get());
  ASSERT_TRUE(folder->Expand());

  scratch.MakeFolder("b");
  ASSERT_TRUE(PumpMessagesUntil([&] { return folder->GetFirstChild()->GetNextSibling(); }, 15000));
  EXPECT_EQ(folder->GetFirstChild()->GetNextSibling()->Text(), "b");
}

class FolderTreeKeysTest : public MainWindowTest {
 protected:
  // Selects a folder of the scratch folder and gives the tree the focus.
  void SelectFolder(const std::string& name) {
    TShIDListPtr list;
    IDListFromPath(scratch.MakeFolder(name), list.Out());
    form->ShellTreeView1.SelectIDList(list.Get());
    form->ShellTreeView1.SetFocus();
    Pump();
  }
  HWND EditField() const {
    return reinterpret_cast<HWND>(
        SendMessageA(form->ShellTreeView1.Handle(), TVM_GETEDITCONTROL, 0, 0));
  }

  TScratchFolder scratch{"keys"};
};

TEST_F(FolderTreeKeysTest, F2RenamesTheSelectedFolderEnterConfirmsEscapeCancels) {
  TMessageBoxCloser anyBox;  // Enter must not reach the create button
  SelectFolder("before");
  PressKey(VK_F2);
  HWND field = EditField();
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(GetFocus(), field);
  SetWindowTextA(field, "after");
  PressKey(VK_ESCAPE);
  EXPECT_EQ(EditField(), nullptr);
  EXPECT_TRUE(FolderExists(scratch.PathOf("before")));

  PressKey(VK_F2);
  field = EditField();
  ASSERT_NE(field, nullptr);
  SetWindowTextA(field, "after");
  PressKey(VK_RETURN);
  EXPECT_EQ(EditField(), nullptr);
  EXPECT_TRUE(FolderExists(scratch.PathOf("after")));
  EXPECT_EQ(form->ShellTreeView1.SelectedPath(), scratch.PathOf("after"));
  EXPECT_TRUE(anyBox.Texts().empty());

  // The desktop cannot be renamed, by F2 either.
  form->ShellTreeView1.SetSelected(form->ShellTreeView1.GetFirstNode());
  PressKey(VK_F2);
  EXPECT_EQ(EditField(), nullptr);
}

// Typed with Unicode key events, as on-screen keyboards and input tools send text; ソ and 表 end
// in a backslash byte, ポ in "|".
TEST_F(FolderTreeKeysTest, AJapaneseNameTypedIntoTheLabelIsTheNameOnDisk) {
  SelectFolder("before");
  SetForegroundWindow(form->Handle());
  PressKeys({VK_F2});
  Pump();
  ASSERT_NE(EditField(), nullptr);
  TypeAsUnicodeKeys("ソ表能ポ");
  ASSERT_TRUE(WaitForText(EditField(), "ソ表能ポ"));
  PressKeys({VK_RETURN});
  EXPECT_TRUE(PumpMessagesUntil([&] { return FolderExists(scratch.PathOf("ソ表能ポ")); }, 3000));
}

TEST_F(FolderTreeKeysTest, TheAppsKeyAndShiftF10ShowTheShellsMenuForTheSelectedFolder) {
  SelectFolder("menu");
  for (const bool apps : {true, false}) {
    TMenuChooser chooser = TMenuChooser::Closing();
    if (apps) {
      PressKey(VK_APPS);
    } else {
      BYTE keys[256] = {};
      GetKeyboardState(keys);
      keys[VK_SHIFT] = 0x80;
      SetKeyboardState(keys);
      PressKey(VK_F10);
      keys[VK_SHIFT] = 0;
      SetKeyboardState(keys);
    }
    EXPECT_TRUE(chooser.MenuShown()) << (apps ? "Apps" : "Shift+F10");
    EXPECT_NE(IdOfItemWith(chooser.Items(), "名前の変更"), 0u);
  }
  // Letting go of the key shows no second menu.
  TMenuChooser again = TMenuChooser::Closing();
  PostMessageA(GetFocus(), WM_KEYUP, VK_APPS, 0xC0000001);
  Pump();
  PumpMessagesFor(200);
  EXPECT_FALSE(again.MenuShown());
}

}  // namespace
