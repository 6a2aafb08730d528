// The folder tree linked with a path combo box and a file list: all three show the same folder
// whichever of them moves, settings pass both ways, and a control that goes unlinks itself.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <memory>
#include <string>

#include "framework/Application.h"
#include "framework/Form.h"
#include "shell/ShellComboBox.h"
#include "shell/ShellListView.h"
#include "shell/ShellTreeView.h"
#include "shell/ShellUtils.h"
#include "tests/shell/ShellControlFixture.h"
#include "tests/shell/ListsOf.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/KeyInput.h"

namespace {

std::string PathOfList(LPCITEMIDLIST list) {
  std::string path;
  PathFromIDList(list, path);
  return path;
}

class ShellLinksTest : public ShellControlTest {
 protected:
  ShellLinksTest() : ShellControlTest("ShellLinksTest", "links", 820, 500) {
    tree_ = std::make_unique<TShellTreeView>(form_, TBounds{3, 34, 300, 460});
    box_ = std::make_unique<TShellComboBox>(form_, TBounds{3, 6, 810, 0});
    list_ = std::make_unique<TShellListView>(form_, TBounds{310, 34, 500, 460});
    tree_->SetShellComboBox(box_.get());
    tree_->SetShellListView(list_.get());
    Pump();
  }

  // What each of the three shows.
  std::string TreePath() const { return tree_->SelectedPath(); }
  std::string BoxPath() const { return PathOfList(box_->SelectedIDList()); }
  std::string ListPath() const { return PathOfList(list_->FolderIDList()); }
  void ExpectAllShow(const std::string& path) {
    EXPECT_EQ(lstrcmpiA(TreePath().c_str(), path.c_str()), 0) << TreePath();
    EXPECT_EQ(lstrcmpiA(BoxPath().c_str(), path.c_str()), 0) << BoxPath();
    EXPECT_EQ(lstrcmpiA(ListPath().c_str(), path.c_str()), 0) << ListPath();
  }

  std::unique_ptr<TShellTreeView> tree_;
  std::unique_ptr<TShellComboBox> box_;
  std::unique_ptr<TShellListView> list_;
};

TEST_F(ShellLinksTest, AllThreeFollowWhicheverMoves) {
  EXPECT_EQ(box_->LinkedTree(), tree_.get());
  EXPECT_EQ(list_->LinkedTree(), tree_.get());
  const std::string inner = scratch_.MakeFolder("outer\\inner");
  const std::string outer = scratch_.PathOf("outer");

  // The tree moves.
  tree_->SelectIDList(ListOfPath(inner).Get());
  ExpectAllShow(inner);

  // The user picks the parent's entry in the combo box.
  const TShellComboItem* parent = box_->SelectedItem()->ParentItem();
  box_->SetItemIndex(parent->GetItemIndex());
  SendMessageA(form_.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box_->Handle()), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(box_->Handle()));
  ExpectAllShow(outer);

  // The user opens the folder in the list with Enter.
  ASSERT_EQ(list_->ItemCount(), 1);
  LVITEMA state{};
  state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list_->Handle(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
  SetFocus(list_->Handle());
  SendMessageA(list_->Handle(), WM_KEYDOWN, VK_RETURN, 1);
  Pump();
  ExpectAllShow(inner);
}

TEST_F(ShellLinksTest, SettingsPassBothWaysAndAGoneControlUnlinksItself) {
  scratch_.MakeFile("shown.txt");
  const std::string hidden = scratch_.MakeFile("hidden.txt");
  SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
  tree_->SelectIDList(ListOfPath(scratch_.Path()).Get());
  EXPECT_EQ(list_->ItemCount(), 2);

  list_->SetIncludeHidden(false);
  EXPECT_FALSE(tree_->IncludeHidden());
  EXPECT_EQ(list_->ItemCount(), 1);
  tree_->SetIncludeHidden(true);
  EXPECT_TRUE(list_->IncludeHidden());
  EXPECT_EQ(list_->ItemCount(), 2);
  const TShVirtuaItems fewer{itBitBucket};
  tree_->SetShVirtuaItems(fewer);
  EXPECT_EQ(list_->ShVirtuaItems(), fewer);
  // A control linked afresh takes the tree's settings.
  tree_->SetShellComboBox(nullptr);
  box_->SetShVirtuaItems({itBitBucket, itNetWork});
  box_->SetIncludeHidden(false);
  tree_->SetShellComboBox(box_.get());
  EXPECT_EQ(box_->ShVirtuaItems(), fewer);
  EXPECT_TRUE(box_->IncludeHidden());

  box_.reset();
  EXPECT_EQ(tree_->ShellComboBox(), nullptr);
  tree_->SelectIDList(ListOfPath(scratch_.Path()).Get());  // nothing left to call
  tree_.reset();
  EXPECT_EQ(list_->LinkedTree(), nullptr);
  SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ShellLinksTest, AListLinkedToAnotherTreeLeavesTheFirstAndUnlinksAsItGoes) {
  const std::string inner = scratch_.MakeFolder("outer\\inner");
  tree_->SelectIDList(ListOfPath(scratch_.Path()).Get());
  TShellTreeView other(form_, TBounds{3, 34, 300, 460});
  other.SetShellListView(list_.get());
  EXPECT_EQ(tree_->ShellListView(), nullptr);
  EXPECT_EQ(list_->LinkedTree(), &other);

  // Going up in the list moves the tree it follows now, not the first one.
  other.SelectIDList(ListOfPath(inner).Get());
  SetFocus(list_->Handle());
  SendMessageA(list_->Handle(), WM_KEYDOWN, VK_BACK, 1);
  Pump();
  EXPECT_EQ(lstrcmpiA(other.SelectedPath().c_str(), scratch_.PathOf("outer").c_str()), 0);
  EXPECT_EQ(lstrcmpiA(TreePath().c_str(), scratch_.Path().c_str()), 0);

  list_.reset();
  EXPECT_EQ(other.ShellListView(), nullptr);
}

TEST_F(ShellLinksTest, AFolderNewToTheTreesSearchRefillsTheComboBox) {
  tree_->SelectIDList(ListOfPath(scratch_.MakeFolder("b")).Get());
  // Made behind the controls' backs: a folder on the desktop, and one that sorts before "b".
  char desktop[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop);
  const std::string added =
      std::string(desktop) + "\\LinksAdded-" + std::to_string(GetCurrentProcessId());
  ASSERT_TRUE(CreateDirectoryA(added.c_str(), nullptr));
  const std::string a = scratch_.MakeFolder("a");
  const auto boxRowOf = [&](const std::string& path) {
    for (int i = 0; i < box_->Items().Count(); ++i)
      if (lstrcmpiA(box_->Items().Entry(i)->GetPath().c_str(), path.c_str()) == 0) return i;
    return -1;
  };
  EXPECT_EQ(boxRowOf(added), -1);

  tree_->SelectIDList(ListOfPath(a).Get());
  ExpectAllShow(a);
  EXPECT_GT(boxRowOf(added), 0);
  RemoveDirectoryA(added.c_str());
}

TEST_F(ShellLinksTest, TheFolderShownIsRenamedInTheTreeAndAllThreeFollowAtOnce) {
  scratch_.MakeFolder("shown\\inner");
  tree_->SelectIDList(ListOfPath(scratch_.PathOf("shown")).Get());
  ExpectAllShow(scratch_.PathOf("shown"));

  // The list does not hold its folder open: the tree can rename it.
  ASSERT_TRUE(tree_->Selected()->EditText());
  TypeAsUnicodeKeys("renamed");
  PressKeys({VK_RETURN});
  Pump();
  EXPECT_TRUE(FolderExists(scratch_.PathOf("renamed")));
  ExpectAllShow(scratch_.PathOf("renamed"));
}

}  // namespace
