// The folder tree against the real shell, file system and common controls: what a new user sees,
// lazy filling, merging with the shell's answers, the watcher's refreshes, device records crafted
// as the system sends them (Wine never broadcasts volume events), the properties, and renaming.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <dbt.h>
#include <shlobj.h>

#include <cstring>
#include <memory>
#include <thread>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Form.h"
#include "naming/Composition.h"
#include "shell/ComObject.h"
#include "shell/ShellCtrlList.h"
#include "shell/ShellDataItems.h"
#include "shell/ShellIDFunc.h"
#include "shell/ShellPopupMenu.h"
#include "shell/ShellTreeView.h"
#include "shell/ShellUtils.h"
#include "tests/shell/ShellControlFixture.h"
#include "tests/shell/DropFakes.h"
#include "tests/shell/FakeShellFolder.h"
#include "tests/shell/ListsOf.h"
#include "tests/support/MenuChooser.h"
#include "tests/support/MessageBoxCloser.h"
#include "tests/support/MessagePump.h"
#include "tests/support/MouseDrag.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/KeyInput.h"

namespace {

constexpr DWORD kSettleWaitMs =
    15000;  // the watcher reports 1.5 s after a change; a loaded machine is slower

std::string PathOf(const TTreeNode* node) {
  TShellFolderItem* item = FolderItemOf(node);
  return item ? item->GetPath() : "(no item)";
}

std::vector<std::string> ChildTexts(const TTreeNode* parent) {
  std::vector<std::string> texts;
  for (TTreeNode* node = parent->GetFirstChild(); node; node = node->GetNextSibling())
    texts.push_back(node->Text());
  return texts;
}

TTreeNode* ChildOfType(const TTreeNode* parent, TShItemIDType type) {
  for (TTreeNode* node = parent->GetFirstChild(); node; node = node->GetNextSibling())
    if (FolderItemOf(node)->GetItemType() == type) return node;
  return nullptr;
}

TTreeNode* ChildWithPath(const TTreeNode* parent, const std::string& path) {
  for (TTreeNode* node = parent->GetFirstChild(); node; node = node->GetNextSibling())
    if (lstrcmpiA(PathOf(node).c_str(), path.c_str()) == 0) return node;
  return nullptr;
}

std::string DesktopDirectory() {
  char path[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, path);
  return path;
}

class ShellTreeViewTest : public ShellControlTest {
 protected:
  ShellTreeViewTest() : ShellControlTest("ShellTreeViewTest", "tree", 420, 640) {
    tree_ = std::make_unique<TShellTreeView>(form_, TBounds{3, 6, 400, 620});
    Pump();
  }

  // The node of a folder, found as a selection finds it: its ancestors expand on the way.
  TTreeNode* Found(const std::string& path) {
    const TShIDListPtr list = ListOfPath(path);
    TTreeNode* node = tree_->FindNodeByIDList(list.Get());
    return lstrcmpiA(PathOf(node).c_str(), path.c_str()) == 0 ? node : nullptr;
  }
  // The same, expanded itself. (A folder found empty then has no expand button, and a refresh
  // gives it back its button, not child nodes.)
  TTreeNode* Node(const std::string& path) {
    TTreeNode* node = Found(path);
    if (node) node->Expand();
    return node;
  }
  TTreeNode* ScratchNode() { return Node(scratch_.Path()); }
  // The computer, expanded. (Under Wine the desktop's first child, expanded from the start, is
  // the Unix root "/".)
  TTreeNode* Computer() {
    TTreeNode* computer = ChildOfType(tree_->GetFirstNode(), itMyComputer);
    if (computer) computer->Expand();
    return computer;
  }

  std::unique_ptr<TShellTreeView> tree_;
};

// --- What a new user sees -----------------------------------------------------------------------

TEST_F(ShellTreeViewTest, ShowsTheDesktopExpandedAndSelectedWithItsDefaultItems) {
  TTreeNode* root = tree_->GetFirstNode();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->GetNextSibling(), nullptr);
  EXPECT_EQ(FolderItemOf(root)->GetItemType(), itDeskTop);
  EXPECT_EQ(root->Text(), FolderItemOf(root)->GetDisplayName());
  EXPECT_TRUE(root->Expanded());
  EXPECT_TRUE(root->Selected());
  ASSERT_NE(root->GetFirstChild(), nullptr);
  EXPECT_TRUE(root->GetFirstChild()->Expanded());

  // Wine's desktop lists no network neighbourhood, so only its absence of virtual items shows.
  EXPECT_NE(ChildOfType(root, itMyComputer), nullptr);
  EXPECT_NE(ChildOfType(root, itBitBucket), nullptr);
  EXPECT_EQ(ChildOfType(root, itVirtual), nullptr);
  // In the desktop folder's own order.
  for (TTreeNode* node = root->GetFirstChild(); node && node->GetNextSibling();
       node = node->GetNextSibling())
    EXPECT_LE(CompareSiblingNodes(*node, *node->GetNextSibling()), 0) << node->Text();

  EXPECT_TRUE(tree_->IncludeHidden());
  EXPECT_EQ(tree_->ShVirtuaItems(), (TShVirtuaItems{itBitBucket, itNetWork}));
  EXPECT_FALSE(tree_->Checkboxes());
  EXPECT_EQ(tree_->Images(), SystemImageList(false));
  // The drives the watcher observes: Wine's C:\ and Z:\ are fixed.
  EXPECT_EQ(tree_->FixedDrives(), (std::vector<std::string>{"C:\\", "Z:\\"}));
}

TEST_F(ShellTreeViewTest, SelectedPathOfTheRootTheComputerADriveAndAFolder) {
  EXPECT_EQ(tree_->SelectedPath(), DesktopDirectory());
  EXPECT_EQ(IDListSize(tree_->SelectedIDList()), 2);  // the desktop: the empty list

  tree_->SetSelected(Computer());
  EXPECT_EQ(tree_->SelectedPath(), "");

  TTreeNode* drive = ChildWithPath(Computer(), "C:\\");
  ASSERT_NE(drive, nullptr);
  EXPECT_EQ(FolderItemOf(drive)->GetItemType(), itRootDrive);
  tree_->SetSelected(drive);
  EXPECT_EQ(tree_->SelectedPath(), "C:\\");

  const TShIDListPtr scratch = ListOfPath(scratch_.Path());
  tree_->SelectIDList(scratch.Get());
  EXPECT_EQ(tree_->SelectedPath(), scratch_.Path());
  EXPECT_EQ(IDListSize(tree_->SelectedIDList()), IDListSize(scratch.Get()));

  tree_->SetSelected(nullptr);
  EXPECT_EQ(tree_->SelectedPath(), "");
  // Without a selection the list is the first node's.
  EXPECT_EQ(IDListSize(tree_->SelectedIDList()), 2);
}

// --- Filling and merging ------------------------------------------------------------------------

TEST_F(ShellTreeViewTest, FillsNodesOnlyWhenTheyAreExpanded) {
  scratch_.MakeFolder("outer\\inner");
  scratch_.MakeFolder("outer\\inner\\deep");
  TTreeNode* scratch = ScratchNode();
  ASSERT_NE(scratch, nullptr);
  ASSERT_EQ(ChildTexts(scratch), std::vector<std::string>{"outer"});
  TTreeNode* outer = scratch->GetFirstChild();
  EXPECT_FALSE(outer->Expanded());
  EXPECT_TRUE(outer->HasChildren());  // from the attributes, not from listing the folder
  EXPECT_EQ(outer->GetFirstChild(), nullptr);

  ASSERT_TRUE(outer->Expand());
  EXPECT_EQ(ChildTexts(outer), std::vector<std::string>{"inner"});
  EXPECT_EQ(outer->GetFirstChild()->GetFirstChild(), nullptr);
  EXPECT_EQ(FolderItemOf(outer->GetFirstChild())->GetItemIndex(),
            outer->GetFirstChild()->AbsoluteIndex());
}

TEST_F(ShellTreeViewTest, AnEmptyFolderLosesItsExpandButtonWhenExpanded) {
  scratch_.MakeFolder("empty");
  TTreeNode* empty = Found(scratch_.PathOf("empty"));
  ASSERT_NE(empty, nullptr);
  EXPECT_TRUE(empty->HasChildren());  // Wine sets SFGAO_HASSUBFOLDER on every folder
  EXPECT_FALSE(empty->Expand());
  EXPECT_FALSE(empty->HasChildren());
  EXPECT_FALSE(empty->Expanded());
}

TEST_F(ShellTreeViewTest, SyncChildrenKeepsNodesSelectionAndExpansionOfWhatIsStillThere) {
  for (const char* name : {"b", "d", "f", "b\\inner"}) scratch_.MakeFolder(name);
  TTreeNode* scratch = ScratchNode();
  ASSERT_EQ(ChildTexts(scratch), (std::vector<std::string>{"b", "d", "f"}));
  TTreeNode* b = scratch->GetFirstChild();
  TTreeNode* f = b->GetNextSibling()->GetNextSibling();
  ASSERT_TRUE(b->Expand());
  tree_->SetSelected(f);

  scratch_.MakeFolder("a");
  scratch_.MakeFolder("e");
  RemoveDirectoryA(scratch_.PathOf("d").c_str());
  scratch_.MakeFile("c.txt");  // files are not shown
  tree_->SyncChildren(*scratch);

  EXPECT_EQ(ChildTexts(scratch), (std::vector<std::string>{"a", "b", "e", "f"}));
  EXPECT_EQ(scratch->GetFirstChild()->GetNextSibling(), b);
  EXPECT_TRUE(b->Expanded());
  EXPECT_EQ(ChildTexts(b), std::vector<std::string>{"inner"});
  EXPECT_EQ(tree_->Selected(), f);
}

TEST_F(ShellTreeViewTest, FindNodeByIDListGivesTheRootForAFolderThatIsGone) {
  for (const char* name : {"a", "m", "z"}) scratch_.MakeFolder(name);
  const std::string gone = scratch_.MakeFolder("k");
  const TShIDListPtr list = ListOfPath(gone);
  ASSERT_TRUE(list);
  RemoveDirectoryA(gone.c_str());

  // "k" would stand between existing nodes: the search must end, not go back and forth.
  EXPECT_EQ(tree_->FindNodeByIDList(list.Get()), tree_->GetFirstNode());
  EXPECT_EQ(ChildTexts(ScratchNode()), (std::vector<std::string>{"a", "m", "z"}));
  EXPECT_EQ(tree_->FindNodeByIDList(nullptr), tree_->GetFirstNode());
}

TEST_F(ShellTreeViewTest, FindNodeByIDListFindsAFolderMadeSinceTheParentWasRead) {
  scratch_.MakeFolder("a");
  scratch_.MakeFolder("z");
  ASSERT_EQ(ChildTexts(ScratchNode()), (std::vector<std::string>{"a", "z"}));
  scratch_.MakeFolder("m\\n");

  TTreeNode* n = Node(scratch_.PathOf("m\\n"));
  ASSERT_NE(n, nullptr);
  EXPECT_TRUE(n->Parent()->Expanded());
  EXPECT_EQ(ChildTexts(ScratchNode()), (std::vector<std::string>{"a", "m", "z"}));
}

// --- Following the file system ------------------------------------------------------------------

TEST_F(ShellTreeViewTest, FoldersMadeOrRemovedOnDiskShowAfterTheSettleTime) {
  scratch_.MakeFolder("keep\\child");
  TTreeNode* keep = Node(scratch_.PathOf("keep"));
  ASSERT_NE(keep, nullptr);
  ASSERT_TRUE(keep->Expand());
  TTreeNode* child = keep->GetFirstChild();
  tree_->SetSelected(child);
  TTreeNode* scratch = ScratchNode();

  scratch_.MakeFolder("new");
  const double made = MillisecondsNow();
  ASSERT_TRUE(PumpMessagesUntil([&] { return ChildTexts(scratch).size() == 2; }, kSettleWaitMs));
  EXPECT_GE(MillisecondsNow() - made, 1000);  // not before the burst had settled
  EXPECT_EQ(ChildTexts(scratch), (std::vector<std::string>{"keep", "new"}));
  EXPECT_TRUE(keep->Expanded());
  EXPECT_EQ(tree_->Selected(), child);

  RemoveDirectoryA(scratch_.PathOf("new").c_str());
  ASSERT_TRUE(PumpMessagesUntil([&] { return ChildTexts(scratch).size() == 1; }, kSettleWaitMs));
  EXPECT_EQ(tree_->Selected(), child);
  EXPECT_TRUE(keep->Expanded());
}

TEST_F(ShellTreeViewTest, WhenTheSelectedFolderGoesItsParentIsSelectedNeverASibling) {
  for (const char* name : {"a", "b\\inner", "c\\more"}) scratch_.MakeFolder(name);
  tree_->SetSelected(Node(scratch_.PathOf("b")));
  TTreeNode* scratch = ScratchNode();
  ASSERT_TRUE(RemoveFolderTree(scratch_.PathOf("b")));
  ASSERT_TRUE(PumpMessagesUntil([&] { return ChildTexts(scratch).size() == 2; }, kSettleWaitMs));
  EXPECT_EQ(tree_->SelectedPath(), scratch_.Path());
}

TEST_F(ShellTreeViewTest, NothingRefreshesWhileADragIsOverTheTree) {
  scratch_.MakeFolder("keep");
  TTreeNode* scratch = ScratchNode();
  ASSERT_NE(scratch, nullptr);
  // Data as the shell drags it: the scratch folder itself.
  TComPtr<IShellFolder> parent;
  ASSERT_TRUE(FolderItemOf(scratch)->GetParentFolder(parent));
  LPCITEMIDLIST relative = FolderItemOf(scratch)->RelativeIDList();
  TComPtr<IDataObject> data;
  ASSERT_HRESULT_SUCCEEDED(
      parent->GetUIObjectOf(nullptr, 1, &relative, IID_IDataObject, nullptr, data.OutVoid()));

  IDropTarget* target = tree_->OleDropTarget();
  DWORD effect = DROPEFFECT_COPY;
  ASSERT_HRESULT_SUCCEEDED(target->DragEnter(data.Get(), MK_LBUTTON, POINTL{10, 10}, &effect));
  EXPECT_TRUE(tree_->Dragging());

  scratch_.MakeFolder("during");
  PumpMessagesFor(4000);
  EXPECT_EQ(ChildTexts(scratch), std::vector<std::string>{"keep"});

  effect = DROPEFFECT_COPY;
  EXPECT_HRESULT_SUCCEEDED(target->Drop(data.Get(), MK_LBUTTON, POINTL{10, 10}, &effect));
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));  // no folder under the point
  EXPECT_FALSE(tree_->Dragging());
  // What changed during the drag shows once it is over, without waiting for another change.
  EXPECT_TRUE(PumpMessagesUntil([&] { return ChildTexts(scratch).size() == 2; }, 1000));
  scratch_.MakeFolder("after");
  EXPECT_TRUE(PumpMessagesUntil([&] { return ChildTexts(scratch).size() == 3; }, kSettleWaitMs));
  EXPECT_EQ(target->DragEnter(nullptr, 0, POINTL{}, &effect), E_INVALIDARG);
}

// --- Device records -----------------------------------------------------------------------------

class ShellTreeViewDevices : public ShellTreeViewTest {
 protected:
  static LRESULT SendVolume(WPARAM code, char drive, WORD flags) {
    DEV_BROADCAST_VOLUME record = {};
    record.dbcv_size = sizeof record;
    record.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    record.dbcv_unitmask = drive ? 1u << (drive - 'A') : 0;
    record.dbcv_flags = flags;
    return SendMessageA(ShellCtrlList().Handle(), WM_DEVICECHANGE, code,
                        reinterpret_cast<LPARAM>(&record));
  }
};

TEST_F(ShellTreeViewDevices, AMediumArrivingRelabelsTheDriveOneSecondLater) {
  TTreeNode* drive = ChildWithPath(Computer(), "C:\\");
  ASSERT_NE(drive, nullptr);
  const std::string label = VolumeDisplayLabel("C:\\") + " (C:)";
  // Wine names a drive as the record does; a stale name shows the relabelling.
  drive->SetText("stale");
  FolderItemOf(drive)->SetDisplayName("stale");

  const double sent = MillisecondsNow();
  SendVolume(DBT_DEVICEARRIVAL, 'C', DBTF_MEDIA);
  ASSERT_TRUE(PumpMessagesUntil([&] { return drive->Text() == label; }, kSettleWaitMs));
  EXPECT_GE(MillisecondsNow() - sent, 900);
  EXPECT_EQ(FolderItemOf(drive)->GetDisplayName(), label);
}

TEST_F(ShellTreeViewDevices, AMediumRemovedEmptiesTheDriveAndSelectsTheComputer) {
  TTreeNode* scratch = ScratchNode();
  tree_->SetSelected(scratch);
  TTreeNode* drive = ChildWithPath(Computer(), "C:\\");
  ASSERT_TRUE(drive && drive->Expanded() && drive->GetFirstChild());

  SendVolume(DBT_DEVICEREMOVECOMPLETE, 'C', DBTF_MEDIA);
  ASSERT_TRUE(PumpMessagesUntil([&] { return drive->GetFirstChild() == nullptr; }, kSettleWaitMs));
  EXPECT_EQ(drive->Text(), " (C:)");
  EXPECT_FALSE(drive->Expanded());
  EXPECT_TRUE(drive->HasChildren());  // it may be expanded again once a medium is back
  EXPECT_EQ(tree_->Selected(), Computer());

  ASSERT_TRUE(drive->Expand());
  EXPECT_NE(drive->GetFirstChild(), nullptr);
}

TEST_F(ShellTreeViewDevices, ARecordForAnItemNotInTheTreeChangesNothing) {
  const std::string gone = scratch_.MakeFolder("gone");
  const TShIDListPtr list = ListOfPath(gone);
  RemoveDirectoryA(gone.c_str());
  TTreeNode* root = tree_->GetFirstNode();
  const std::string rootText = root->Text();
  const int rootChildren = root->Count();

  tree_->ShellDeviceChange(" (Q:)", DBT_DEVICEREMOVECOMPLETE, list.Get(), dkMedia);
  PumpMessagesFor(2500);
  EXPECT_EQ(root->Text(), rootText);
  EXPECT_EQ(root->Count(), rootChildren);
  EXPECT_TRUE(root->Selected());
}

TEST_F(ShellTreeViewDevices, ANetworkVolumeGoingSelectsTheRootAndRefreshes) {
  scratch_.MakeFolder("keep");
  TTreeNode* scratch = ScratchNode();
  tree_->SetSelected(scratch);
  scratch_.MakeFolder("seen");  // read by the refresh, whether or not the watcher saw it first

  SendVolume(DBT_DEVICEREMOVECOMPLETE, 'N', DBTF_NET);
  ASSERT_TRUE(PumpMessagesUntil([&] { return tree_->GetFirstNode()->Selected(); }, kSettleWaitMs));
  EXPECT_EQ(ChildTexts(scratch), (std::vector<std::string>{"keep", "seen"}));
}

// --- Properties and messages --------------------------------------------------------------------

TEST_F(ShellTreeViewTest, IncludeHiddenAndVirtualItemsReReadTheTree) {
  const std::string hidden = scratch_.MakeFolder("hidden");
  SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
  scratch_.MakeFolder("shown");
  TTreeNode* scratch = ScratchNode();
  EXPECT_EQ(ChildTexts(scratch), (std::vector<std::string>{"hidden", "shown"}));

  tree_->SetIncludeHidden(false);
  EXPECT_EQ(ChildTexts(scratch), std::vector<std::string>{"shown"});
  tree_->SetIncludeHidden(true);
  EXPECT_EQ(ChildTexts(scratch), (std::vector<std::string>{"hidden", "shown"}));

  TTreeNode* root = tree_->GetFirstNode();
  tree_->SetShVirtuaItems({itNetWork});
  EXPECT_EQ(ChildOfType(root, itBitBucket), nullptr);
  EXPECT_NE(ChildOfType(root, itMyComputer), nullptr);
  tree_->SetShVirtuaItems({itBitBucket, itNetWork});
  EXPECT_NE(ChildOfType(root, itBitBucket), nullptr);
}

TEST_F(ShellTreeViewTest, CheckboxesOffRecreatesTheWindowAndKeepsTheSelection) {
  const TShIDListPtr scratch = ListOfPath(scratch_.Path());
  tree_->SelectIDList(scratch.Get());
  tree_->SetCheckboxes(true);
  const HWND first = tree_->Handle();
  EXPECT_NE(GetWindowLongA(first, GWL_STYLE) & TVS_CHECKBOXES, 0);
  EXPECT_EQ(tree_->SelectedPath(), scratch_.Path());

  tree_->SetCheckboxes(false);
  EXPECT_NE(tree_->Handle(), first);
  EXPECT_EQ(GetWindowLongA(tree_->Handle(), GWL_STYLE) & TVS_CHECKBOXES, 0);
  EXPECT_EQ(tree_->SelectedPath(), scratch_.Path());
  EXPECT_TRUE(tree_->GetFirstNode()->Expanded());

  // The new window still follows the file system.
  scratch_.MakeFolder("seen");
  EXPECT_TRUE(PumpMessagesUntil(
      [&] { return ScratchNode() && ChildTexts(ScratchNode()).size() == 1; }, kSettleWaitMs));
}

TEST_F(ShellTreeViewTest, RegistersWhileItLivesFromItsFirstFill) {
  const int registered = ShellCtrlList().Count();
  {
    TShellTreeView other(form_, TBounds{0, 0, 100, 100});
    EXPECT_EQ(ShellCtrlList().Count(), registered + 1);
  }
  EXPECT_EQ(ShellCtrlList().Count(), registered);
  {
    TShellTreeView later(form_, TBounds{0, 0, 100, 100}, TShellTreeView::TFirstFill::Later);
    EXPECT_EQ(ShellCtrlList().Count(), registered);
    EXPECT_EQ(later.GetFirstNode(), nullptr);
    later.FillFirstTime();
    EXPECT_EQ(ShellCtrlList().Count(), registered + 1);
    EXPECT_NE(later.GetFirstNode(), nullptr);
  }
  {
    // Its window made again between the fill's two steps: there was no drop target to revoke,
    // the new window completes the fill, and the second step finds nothing left to do.
    TShellTreeView later(form_, TBounds{0, 0, 100, 100}, TShellTreeView::TFirstFill::Later);
    later.ShowFirstNodes();
    later.SetCheckboxes(true);
    later.SetCheckboxes(false);
    EXPECT_EQ(ShellCtrlList().Count(), registered + 1);
    later.FillFirstTime();
    EXPECT_EQ(ShellCtrlList().Count(), registered + 1);
    EXPECT_NE(later.GetFirstNode(), nullptr);
  }
  // Gone before its first fill, it leaves nothing behind.
  { const TShellTreeView never(form_, TBounds{0, 0, 100, 100}, TShellTreeView::TFirstFill::Later); }
  EXPECT_EQ(ShellCtrlList().Count(), registered);
}

// --- Renaming -----------------------------------------------------------------------------------

TEST_F(ShellTreeViewTest, RenameMovesTheNodeAmongItsSiblingsAndRereadsItsChildren) {
  for (const char* name : {"a", "b\\inner", "c\\more"}) scratch_.MakeFolder(name);
  TTreeNode* b = Node(scratch_.PathOf("b"));
  ASSERT_NE(b, nullptr);
  ASSERT_TRUE(b->Expand());
  tree_->SetSelected(b->GetFirstChild());  // kept, under the new name

  ASSERT_TRUE(tree_->RenameNode(*b, "d"));
  EXPECT_TRUE(FolderExists(scratch_.PathOf("d")));
  EXPECT_FALSE(FolderExists(scratch_.PathOf("b")));
  EXPECT_EQ(b->Text(), "d");
  EXPECT_EQ(ChildTexts(b->Parent()), (std::vector<std::string>{"a", "c", "d"}));
  EXPECT_EQ(PathOf(b), scratch_.PathOf("d"));
  EXPECT_TRUE(b->Expanded());
  ASSERT_EQ(ChildTexts(b), std::vector<std::string>{"inner"});
  EXPECT_EQ(PathOf(b->GetFirstChild()), scratch_.PathOf("d\\inner"));
  EXPECT_EQ(tree_->Selected(), b->GetFirstChild());

  // Expanded with no selection below, it is read again all the same.
  TTreeNode* c = Node(scratch_.PathOf("c"));
  ASSERT_TRUE(c && c->Expanded());
  ASSERT_TRUE(tree_->RenameNode(*c, "e"));
  EXPECT_TRUE(c->Expanded());
  ASSERT_EQ(ChildTexts(c), std::vector<std::string>{"more"});
  EXPECT_EQ(PathOf(c->GetFirstChild()), scratch_.PathOf("e\\more"));
}

TEST_F(ShellTreeViewTest, AFailedRenameShowsTheOldNameAgain) {
  scratch_.MakeFolder("a");
  scratch_.MakeFolder("b");
  TTreeNode* a = Node(scratch_.PathOf("a"));
  ASSERT_NE(a, nullptr);
  a->SetText("edited");

  EXPECT_FALSE(tree_->RenameNode(*a, "b"));  // the name is taken
  EXPECT_EQ(a->Text(), "a");
  EXPECT_TRUE(FolderExists(scratch_.PathOf("a")));

  // The root cannot be renamed: nothing is touched, not even the text.
  TTreeNode* root = tree_->GetFirstNode();
  const std::string rootText = root->Text();
  EXPECT_FALSE(tree_->RenameNode(*root, "x"));
  EXPECT_EQ(root->Text(), rootText);
}

TEST_F(ShellTreeViewTest, EditingALabelRenamesTheFolder) {
  scratch_.MakeFolder("before");
  TTreeNode* node = Found(scratch_.PathOf("before"));
  ASSERT_NE(node, nullptr);
  const auto edit = [&](TTreeNode* target) {
    return reinterpret_cast<HWND>(SendMessageA(tree_->Handle(), TVM_EDITLABELA, 0,
                                               reinterpret_cast<LPARAM>(target->ItemId())));
  };

  const HWND field = edit(node);
  ASSERT_NE(field, nullptr);
  SetWindowTextA(field, "後で");
  SendMessageA(tree_->Handle(), TVM_ENDEDITLABELNOW, FALSE, 0);
  EXPECT_TRUE(FolderExists(scratch_.PathOf("後で")));
  EXPECT_FALSE(FolderExists(scratch_.PathOf("before")));
  EXPECT_EQ(node->Text(), "後で");
  EXPECT_EQ(PathOf(node), scratch_.PathOf("後で"));

  // Neither the desktop nor a drive (Wine's drives cannot be renamed) opens for editing.
  EXPECT_EQ(edit(tree_->GetFirstNode()), nullptr);
  EXPECT_EQ(edit(ChildWithPath(Computer(), "C:\\")), nullptr);
}

TEST(ShellFolderItemRename, ALevelOneItemTakesTheNewListAsItsAbsoluteList) {
  // Wine's desktop folder cannot rename (its SetNameOf is a stub), so a folder of the test's own
  // stands in as the desktop.
  class TRenamingFolder : public TFakeShellFolder {
   public:
    LPCITEMIDLIST answer = nullptr;
    std::wstring name;
    SHGDNF flags = 0;
    STDMETHODIMP SetNameOf(HWND, PCUITEMID_CHILD, LPCWSTR newName, SHGDNF nameFlags,
                           PITEMID_CHILD* out) override {
      name = newName;
      flags = nameFlags;
      *out = CopyIDList(answer);
      return S_OK;
    }
  };
  TRenamingFolder desktop;
  desktop.attributes = SFGAO_CANRENAME;
  TShIDListPtr bin;
  TShIDListPtr documents;
  ASSERT_TRUE(GetSpecialFolderIDList(sfBitBucket, bin.Out()));
  ASSERT_TRUE(GetSpecialFolderIDList(sfPersonal, documents.Out()));
  ASSERT_EQ(IDListLevel(documents.Get()), 1);
  desktop.answer = documents.Get();
  {
    TShellFolderItem item(TShIDListPtr::CopyOf(bin.Get()), TShIDListPtr::CopyOf(bin.Get()),
                          &desktop);
    ASSERT_EQ(item.GetLevel(), 1);

    EXPECT_TRUE(item.Rename("新しい名前"));
    EXPECT_EQ(desktop.name, L"\u65B0\u3057\u3044\u540D\u524D");
    EXPECT_EQ(desktop.flags, 0x20u);
    EXPECT_EQ(item.GetLevel(), 1);
    EXPECT_EQ(IDListSize(item.GetAbsoluteIDList()), IDListSize(documents.Get()));
    EXPECT_EQ(std::memcmp(item.GetAbsoluteIDList(), documents.Get(), IDListSize(documents.Get())),
              0);
    EXPECT_EQ(std::memcmp(item.RelativeIDList(), documents.Get(), IDListSize(documents.Get())), 0);

    desktop.attributes = 0;
    EXPECT_FALSE(item.Rename("x"));
    EXPECT_EQ(desktop.name, L"\u65B0\u3057\u3044\u540D\u524D");  // not asked
  }
  EXPECT_EQ(desktop.References(), 1);
}

}  // namespace

// --- Label editing against refreshes and the watcher
// ----------------------------------------------

class ShellTreeViewLabelEdit : public ShellTreeViewDevices {
 protected:
  HWND Edit(TTreeNode* node) {
    return reinterpret_cast<HWND>(
        SendMessageA(tree_->Handle(), TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(node->ItemId())));
  }
  HWND EditField() const {
    return reinterpret_cast<HWND>(SendMessageA(tree_->Handle(), TVM_GETEDITCONTROL, 0, 0));
  }
  // Enter in the field, as the user ends an edit.
  void Confirm(HWND field, const std::string& text) {
    SetWindowTextA(field, text.c_str());
    SendMessageA(field, WM_KEYDOWN, VK_RETURN, 1);
    SendMessageA(field, WM_CHAR, VK_RETURN, 1);
    Pump();
  }
};

TEST_F(ShellTreeViewLabelEdit, ARefreshOrAMediumRemovalThatDeletesTheEditedNodeEndsTheEditFirst) {
  scratch_.MakeFolder("doomed");
  scratch_.MakeFolder("stays");
  TTreeNode* scratch = ScratchNode();
  const HWND field = Edit(Found(scratch_.PathOf("doomed")));
  ASSERT_NE(field, nullptr);
  RemoveDirectoryA(scratch_.PathOf("doomed").c_str());
  ASSERT_TRUE(PumpMessagesUntil(
      [&] { return ChildTexts(scratch) == std::vector<std::string>{"stays"}; }, kSettleWaitMs));
  EXPECT_EQ(EditField(), nullptr);
  if (IsWindow(field)) Confirm(field, "late");
  EXPECT_FALSE(FolderExists(scratch_.PathOf("late")));

  // A drive's medium going empties its node: an edit below it ends as well.
  const HWND below = Edit(Found(scratch_.PathOf("stays")));
  ASSERT_NE(below, nullptr);
  SendVolume(DBT_DEVICEREMOVECOMPLETE, scratch_.Path()[0], DBTF_MEDIA);
  ASSERT_TRUE(PumpMessagesUntil([&] { return EditField() == nullptr; }, kSettleWaitMs));
  if (IsWindow(below)) Confirm(below, "late");
  EXPECT_TRUE(FolderExists(scratch_.PathOf("stays")));
}

TEST_F(ShellTreeViewLabelEdit, AfterALabelEditTheTreeStillFollowsFoldersThatExistedBefore) {
  scratch_.MakeFolder("old\\inner");
  scratch_.MakeFolder("name");
  TTreeNode* old = Node(scratch_.PathOf("old"));
  ASSERT_NE(old, nullptr);
  ASSERT_EQ(ChildTexts(old), std::vector<std::string>{"inner"});

  {
    // A refused edit (the name is taken), which opens again, and a good one.
    const TMessageBoxCloser ok;
    Confirm(Edit(Found(scratch_.PathOf("name"))), "old");
    ASSERT_TRUE(PumpMessagesUntil([&] { return EditField() != nullptr; }, 5000));
  }
  Confirm(EditField(), "renamed");
  ASSERT_TRUE(FolderExists(scratch_.PathOf("renamed")));

  scratch_.MakeFolder("old\\later");
  EXPECT_TRUE(PumpMessagesUntil([&] { return ChildTexts(old).size() == 2; }, kSettleWaitMs));
}

TEST_F(ShellTreeViewLabelEdit, ARefusedNameSaysWhyAndOpensTheEditAgainWithTheTypedText) {
  scratch_.MakeFolder("a");
  scratch_.MakeFolder("b");
  TTreeNode* a = Found(scratch_.PathOf("a"));
  ASSERT_NE(Edit(a), nullptr);
  const auto typeAndEnter = [&](const std::wstring& typed) {
    const TMessageBoxCloser ok;
    if (typed.empty()) PressKeys({VK_DELETE});
    TypeAsUnicodeKeys(typed);
    PressKeys({VK_RETURN});
    PumpMessagesUntil([&] { return !ok.Texts().empty() && EditField(); }, 5000);
    Pump();
    return ok.WideTexts();
  };
  const std::pair<std::wstring, std::wstring> refusals[] = {
      {L"b", L"「b」という名前は既にあります。\r\n別の名前を入力してください。"},
      {L"x*y", L"名前に次の文字は使えません。\r\n\\ / : * ? \" < > |"},
      {L"", L"名前を入力してください。"},
      // The system's look-alikes would make "cafe2c": the name is refused as typed.
      {L"café²😀",
       L"「é」(U+00E9)、「²」(U+00B2)、「😀」(U+1F600) は Shift-JIS にない文字のため、"
       L"名前に使えません。"},
  };
  for (const auto& [typed, reason] : refusals) {
    EXPECT_EQ(typeAndEnter(typed), std::vector<std::wstring>{reason});
    ASSERT_NE(EditField(), nullptr);
    EXPECT_EQ(TWinControl::WideTextOf(EditField()), typed);
  }
  PressKeys({VK_ESCAPE});
  Pump();
  EXPECT_EQ(EditField(), nullptr);
  EXPECT_EQ(a->Text(), "a");
  EXPECT_EQ(ChildTexts(ScratchNode()), (std::vector<std::string>{"a", "b"}));

  // A name too long for the folder cannot be typed in full.
  ASSERT_NE(Edit(a), nullptr);
  TypeAsUnicodeKeys(std::string(300, 'x'));
  Pump();
  const int longest = naming::LongestName(scratch_.Path());
  EXPECT_EQ(GetWindowTextLengthA(EditField()), longest);
  PressKeys({VK_RETURN});
  Pump();
  EXPECT_TRUE(FolderExists(scratch_.PathOf(std::string(static_cast<std::size_t>(longest), 'x'))));
}

// --- Presses, the context menu, dragging and dropping
// ---------------------------------------------

class TTreeWithTestTargets : public TShellTreeView {
 public:
  using TShellTreeView::TShellTreeView;
  TComPtr<IDropTarget> target;
  // What the tree itself would take as the item's target.
  bool ShellsTarget(TShellFolderItem& item, TComPtr<IDropTarget>& answer) {
    return TShellTreeView::ItemDropTarget(item, answer);
  }

 protected:
  bool ItemDropTarget(TShellFolderItem&, TComPtr<IDropTarget>& answer) override {
    answer = target;
    return static_cast<bool>(target);
  }
};

class ShellTreeViewInteraction : public ShellTreeViewTest {
 protected:
  // The middle of a node's label, on the screen or in the tree.
  POINT LabelPoint(TTreeNode* node) const {
    const RECT label = node->DisplayRect(true);
    return POINT{(label.left + label.right) / 2, (label.top + label.bottom) / 2};
  }
  POINT ScreenPoint(TTreeNode* node) const {
    POINT point = LabelPoint(node);
    ClientToScreen(tree_->Handle(), &point);
    return point;
  }
  // A click as the control's own press loop sees it: the release is already waiting.
  void Press(TTreeNode* node, UINT down, UINT up) {
    const POINT at = LabelPoint(node);
    PostMessageA(tree_->Handle(), up, 0, MAKELPARAM(at.x, at.y));
    SendMessageA(tree_->Handle(), down, down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON,
                 MAKELPARAM(at.x, at.y));
    Pump();
  }
  // The data the shell drags for a folder.
  TComPtr<IDataObject> DataOf(TTreeNode* node) {
    TComPtr<IShellFolder> parent;
    TComPtr<IDataObject> data;
    LPCITEMIDLIST relative = FolderItemOf(node)->RelativeIDList();
    if (FolderItemOf(node)->GetParentFolder(parent))
      parent->GetUIObjectOf(nullptr, 1, &relative, IID_IDataObject, nullptr, data.OutVoid());
    return data;
  }
  static POINTL AsPointL(POINT point) { return POINTL{point.x, point.y}; }
};

TEST_F(ShellTreeViewInteraction, AClickSelectsOnReleaseAndTheRootHasNoContextMenu) {
  scratch_.MakeFolder("a");
  TTreeNode* a = Found(scratch_.PathOf("a"));
  ASSERT_NE(a, nullptr);
  Press(a, WM_LBUTTONDOWN, WM_LBUTTONUP);
  EXPECT_TRUE(a->Selected());
  EXPECT_EQ(tree_->PressState(), TShellTreeView::TPressState::Idle);
  EXPECT_EQ(tree_->DropTarget(), nullptr);

  TShellPopupMenu menu(&form_);
  tree_->SetShellPopupMenu(&menu);
  EXPECT_FALSE(menu.AutoPopup);
  TMenuChooser chooser = TMenuChooser::Closing();
  Press(tree_->GetFirstNode(), WM_RBUTTONDOWN, WM_RBUTTONUP);
  PumpMessagesFor(300);
  EXPECT_FALSE(chooser.MenuShown());
  EXPECT_EQ(tree_->PressState(), TShellTreeView::TPressState::Idle);
  // Nor can its label be edited, whatever starts the edit.
  EXPECT_FALSE(tree_->GetFirstNode()->EditText());

  // A menu that goes first leaves no link behind.
  {
    TShellPopupMenu shortLived(&form_);
    tree_->SetShellPopupMenu(&shortLived);
  }
  EXPECT_EQ(tree_->ShellPopupMenu(), nullptr);
}

TEST_F(ShellTreeViewInteraction, TheShellsMenuDeletesRenamesAndCutsThroughTheTree) {
  for (const char* name : {"a", "b", "c", "d"}) scratch_.MakeFolder(name);
  TTreeNode* scratch = ScratchNode();
  TShellPopupMenu menu(&form_);
  menu.ReadOnly = false;
  menu.ContextType = shctNormal;  // Wine offers renaming only there
  tree_->SetShellPopupMenu(&menu);
  const auto choose = [&](TTreeNode* node, const std::string& text) {
    TMenuChooser chooser(
        [&](const std::vector<TShownMenuItem>& items) { return IdOfItemWith(items, text); });
    if (!node) {
      SendMessageA(tree_->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree_->Handle()),
                   MAKELPARAM(-1, -1));
      return chooser.MenuShown();
    }
    // A real click: the control's press loop takes what the mouse does.
    const POINT at = ScreenPoint(node);
    std::thread hand([at] {
      SetCursorPos(at.x, at.y);
      Sleep(150);
      mouse_event(MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
      Sleep(100);
      mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
    });
    PumpMessagesUntil([&] { return chooser.Done(); }, 10000);
    hand.join();
    PumpMessagesFor(200);
    return chooser.MenuShown();
  };
  TTreeNode* b = scratch->GetFirstChild()->GetNextSibling();
  tree_->SetSelected(b);
  {
    // Declined: the shell answers done, yet the folder and the selection stay.
    TMessageBoxCloser no(IDNO);
    ASSERT_TRUE(choose(b, "削除"));
    EXPECT_TRUE(b->Selected());
    EXPECT_EQ(ChildTexts(scratch), (std::vector<std::string>{"a", "b", "c", "d"}));
  }
  {
    TMessageBoxCloser yes(IDYES);
    // An unselected folder goes and the selection stays; the selected one's parent is selected.
    ASSERT_TRUE(choose(scratch->GetFirstChild(), "削除"));
    EXPECT_FALSE(FolderExists(scratch_.PathOf("a")));
    EXPECT_EQ(ChildTexts(scratch), (std::vector<std::string>{"b", "c", "d"}));
    EXPECT_TRUE(b->Selected());
    ASSERT_TRUE(choose(b, "削除"));
    EXPECT_EQ(ChildTexts(scratch), (std::vector<std::string>{"c", "d"}));
    EXPECT_TRUE(scratch->Selected());
  }
  // Renaming is the tree's: the label opens for editing.
  TTreeNode* c = scratch->GetFirstChild();
  ASSERT_TRUE(choose(c, "名前の変更"));
  ASSERT_EQ(tree_->Editing(), c);
  const HWND field =
      reinterpret_cast<HWND>(SendMessageA(tree_->Handle(), TVM_GETEDITCONTROL, 0, 0));
  SetWindowTextA(field, "z");
  SendMessageA(tree_->Handle(), TVM_ENDEDITLABELNOW, FALSE, 0);
  EXPECT_TRUE(FolderExists(scratch_.PathOf("z")));
  EXPECT_EQ(ChildTexts(scratch), (std::vector<std::string>{"d", "z"}));

  // From the keyboard the menu is the selected folder's; cut shows it dimmed.
  TTreeNode* d = scratch->GetFirstChild();
  tree_->SetSelected(d);
  ASSERT_TRUE(choose(nullptr, "切り取り"));
  EXPECT_NE(SendMessageA(tree_->Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(d->ItemId()),
                         TVIS_CUT) &
                TVIS_CUT,
            0);
  EXPECT_EQ(tree_->PressState(), TShellTreeView::TPressState::Idle);
}

TEST_F(ShellTreeViewInteraction,
       ADragStartsAfterMoreThanFivePixelsAndDropsOnTheFolderUnderThePointer) {
  // Wine's drop target of a folder is its parent's, which refuses items from itself: the folder
  // dragged comes from another one.
  scratch_.MakeFolder("from\\source");
  scratch_.MakeFolder("target");
  TTreeNode* source = Found(scratch_.PathOf("from\\source"));
  TTreeNode* target = Found(scratch_.PathOf("target"));
  ASSERT_TRUE(source && target);
  // Both well away from the edges, where a drag scrolls the tree.
  SendMessageA(tree_->Handle(), TVM_SELECTITEM, TVGN_FIRSTVISIBLE,
               reinterpret_cast<LPARAM>(source->Parent()->Parent()->ItemId()));
  // Wine's control cannot drop-highlight the selected folder: it is dragged all the same.
  tree_->SetSelected(source);
  const TTreeNode* selected = tree_->Selected();
  std::vector<POINT> starts;  // pointer offsets from the press when a drag was let start
  TTreeNode* droppedOn = nullptr;
  tree_->OnShBeginDrag = [&](TShellTreeView&, TTreeNode&, POINT press, int x, int y, bool&) {
    starts.push_back(POINT{x - press.x, y - press.y});
  };
  tree_->OnShDragDrop = [&](TShellTreeView&, TShellDragObject&, TTreeNode& node, TShiftState, int,
                            int, bool&) { droppedOn = &node; };
  const POINT from = ScreenPoint(source);
  const POINT to = ScreenPoint(target);
  DragWithTheMouse({from,
                    {from.x + 5, from.y},
                    {from.x + 5, from.y + 5},
                    {from.x + 6, from.y + 5},
                    to,
                    {to.x + 1, to.y}});
  Pump();

  ASSERT_FALSE(starts.empty());
  EXPECT_EQ(starts.front().x, 6);
  EXPECT_EQ(starts.front().y, 5);
  EXPECT_EQ(droppedOn, target);
  EXPECT_EQ(tree_->DropTarget(), nullptr);
  EXPECT_EQ(tree_->Selected(), selected);  // a press that turned into a drag selects nothing
  EXPECT_EQ(tree_->PressState(), TShellTreeView::TPressState::Idle);
  EXPECT_EQ(tree_->PendingDropTargets(), 1);
}

TEST_F(ShellTreeViewInteraction, DropsHandTheShellTargetTheDragsButtonAndHoverExpands) {
  scratch_.MakeFolder("closed\\inner");
  scratch_.MakeFolder("open");
  tree_.reset();
  auto made = std::make_unique<TTreeWithTestTargets>(form_, TBounds{3, 6, 400, 620});
  TTreeWithTestTargets& testTree = *made;
  tree_ = std::move(made);
  TTreeNode* closed = Found(scratch_.PathOf("closed"));
  ASSERT_TRUE(closed && !closed->Expanded());
  TTreeNode* open = closed->GetNextSibling();
  TComPtr<IDataObject> data = DataOf(open);
  IDropTarget* tree = tree_->OleDropTarget();

  // Data of neither format: no drop anywhere, no event.
  int events = 0;
  tree_->OnShDragEnter = [&](TShellTreeView&, TShellDragObject&, TShiftState, POINT, bool&) {
    ++events;
  };
  {
    TFakeDataObjectNeither neither;
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_HRESULT_SUCCEEDED(
        tree->DragEnter(&neither, MK_LBUTTON, AsPointL(ScreenPoint(open)), &effect));
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    effect = DROPEFFECT_COPY;
    EXPECT_HRESULT_SUCCEEDED(tree->DragOver(MK_LBUTTON, AsPointL(ScreenPoint(open)), &effect));
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    tree->DragLeave();
    EXPECT_EQ(events, 0);
  }

  bool gone = false;
  auto* recording = new TRecordingDropTarget(gone);
  testTree.target.Attach(recording);
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  ASSERT_HRESULT_SUCCEEDED(
      tree->DragEnter(data.Get(), MK_RBUTTON, AsPointL(ScreenPoint(closed)), &effect));
  EXPECT_EQ(events, 1);
  for (int call = 1; call <= 30; ++call)
    tree->DragOver(MK_RBUTTON, AsPointL(ScreenPoint(closed)), &effect);
  EXPECT_FALSE(closed->Expanded());
  tree->DragOver(MK_RBUTTON, AsPointL(ScreenPoint(closed)), &effect);
  tree->DragOver(MK_RBUTTON, AsPointL(ScreenPoint(closed)), &effect);
  EXPECT_TRUE(closed->Expanded());  // more than 30 calls on the same node
  // The pointer leaves and comes back: no folder stays marked in between.
  EXPECT_EQ(tree_->DropTarget(), closed);
  tree->DragLeave();
  EXPECT_EQ(tree_->DropTarget(), nullptr);
  ASSERT_HRESULT_SUCCEEDED(
      tree->DragEnter(data.Get(), MK_RBUTTON, AsPointL(ScreenPoint(closed)), &effect));

  recording->keys.clear();
  tree_->SetSelected(open);  // dropped on as any other
  TTreeNode* droppedOn = nullptr;
  tree_->OnShDragDrop = [&](TShellTreeView&, TShellDragObject&, TTreeNode& node, TShiftState, int,
                            int, bool&) { droppedOn = &node; };
  tree->DragOver(0, AsPointL(ScreenPoint(open)), &effect);
  recording->keys.clear();
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  ASSERT_HRESULT_SUCCEEDED(tree->Drop(data.Get(), 0, AsPointL(ScreenPoint(open)), &effect));
  // The button is up by the drop: the shell's target hears of the right one it was made with.
  EXPECT_EQ(recording->keys, (std::vector<DWORD>{MK_RBUTTON, MK_RBUTTON, 0}));
  EXPECT_EQ(droppedOn, open);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
  EXPECT_EQ(tree_->PressState(), TShellTreeView::TPressState::Idle);

  // Held until a directory report finds only the tree still holding it.
  testTree.target.Reset();
  EXPECT_EQ(tree_->PendingDropTargets(), 1);
  EXPECT_FALSE(gone);
  scratch_.MakeFolder("report");
  EXPECT_TRUE(PumpMessagesUntil([&] { return gone; }, kSettleWaitMs));
  EXPECT_EQ(tree_->PendingDropTargets(), 0);

  // The shell's target is taken for a folder that says it takes drops, and for the desktop, which
  // does not say so. (Wine offers a target for neither the desktop nor any folder that does not
  // say so: a folder of the test's own answers.)
  class TTargetsFolder : public TFakeShellFolder {
   public:
    bool released = false;
    STDMETHODIMP GetUIObjectOf(HWND, UINT, PCUITEMID_CHILD_ARRAY, REFIID iid, UINT*,
                               void** out) override {
      *out = IsEqualIID(iid, IID_IDropTarget) ? new TRecordingDropTarget(released) : nullptr;
      return *out ? S_OK : E_NOINTERFACE;
    }
  } folder;
  const TShIDListPtr desktop = SpecialFolder(sfDesktop);
  const TShIDListPtr bin = SpecialFolder(sfBitBucket);
  TShellFolderItem root(TShIDListPtr::CopyOf(desktop.Get()), TShIDListPtr::CopyOf(desktop.Get()),
                        &folder);
  TShellFolderItem child(TShIDListPtr::CopyOf(bin.Get()), TShIDListPtr::CopyOf(bin.Get()), &folder);
  TComPtr<IDropTarget> shells;
  EXPECT_TRUE(testTree.ShellsTarget(root, shells));
  EXPECT_FALSE(testTree.ShellsTarget(child, shells));
  folder.attributes = SFGAO_DROPTARGET;
  EXPECT_TRUE(testTree.ShellsTarget(child, shells));
}
