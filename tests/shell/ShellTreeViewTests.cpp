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
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Form.h"
#include "shell/ShellCtrlList.h"
#include "shell/ShellDataItems.h"
#include "shell/ShellIDFunc.h"
#include "shell/ShellTreeView.h"
#include "shell/ShellUtils.h"
#include "tests/shell/FakeShellFolder.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScratchFolder.h"

namespace {

constexpr DWORD kSettleWaitMs = 15000;  // the watcher reports 1.5 s after a change; a loaded machine is slower

TShIDListPtr ListOf(const std::string& path) {
    TShIDListPtr list;
    IDListFromPath(path, list.Out());
    return list;
}

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

class ShellTreeViewTest : public testing::Test {
protected:
    ShellTreeViewTest() : form_("ShellTreeViewTest", TBorderStyle::Single), scratch_("tree") {
        form_.SetClientSize(420, 640);
        form_.Show();
        tree_ = std::make_unique<TShellTreeView>(form_, TBounds{3, 6, 400, 620});
        Pump();
    }

    static void Pump() { Application().ProcessMessages(); }

    // The node of a folder, found as a selection finds it: its ancestors expand on the way.
    TTreeNode* Found(const std::string& path) {
        const TShIDListPtr list = ListOf(path);
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

    TForm form_;
    TScratchFolder scratch_;
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
    for (TTreeNode* node = root->GetFirstChild(); node && node->GetNextSibling(); node = node->GetNextSibling())
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

    const TShIDListPtr scratch = ListOf(scratch_.Path());
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
    EXPECT_EQ(FolderItemOf(outer->GetFirstChild())->GetItemIndex(), outer->GetFirstChild()->AbsoluteIndex());
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
    const TShIDListPtr list = ListOf(gone);
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

TEST_F(ShellTreeViewTest, NothingRefreshesWhileADragIsOverTheTree) {
    scratch_.MakeFolder("keep");
    TTreeNode* scratch = ScratchNode();
    ASSERT_NE(scratch, nullptr);
    // Data as the shell drags it: the scratch folder itself.
    TComPtr<IShellFolder> parent;
    ASSERT_TRUE(FolderItemOf(scratch)->GetParentFolder(parent));
    LPCITEMIDLIST relative = FolderItemOf(scratch)->RelativeIDList();
    TComPtr<IDataObject> data;
    ASSERT_HRESULT_SUCCEEDED(parent->GetUIObjectOf(nullptr, 1, &relative, IID_IDataObject, nullptr, data.OutVoid()));

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
        return SendMessageA(ShellCtrlList().Handle(), WM_DEVICECHANGE, code, reinterpret_cast<LPARAM>(&record));
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
    const TShIDListPtr list = ListOf(gone);
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
    const TShIDListPtr scratch = ListOf(scratch_.Path());
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
    EXPECT_TRUE(PumpMessagesUntil([&] { return ScratchNode() && ChildTexts(ScratchNode()).size() == 1; },
                                  kSettleWaitMs));
}

TEST_F(ShellTreeViewTest, RegistersWhileItLives) {
    const int registered = ShellCtrlList().Count();
    {
        TShellTreeView other(form_, TBounds{0, 0, 100, 100});
        EXPECT_EQ(ShellCtrlList().Count(), registered + 1);
    }
    EXPECT_EQ(ShellCtrlList().Count(), registered);
}

// --- Renaming -----------------------------------------------------------------------------------

TEST_F(ShellTreeViewTest, RenameMovesTheNodeAmongItsSiblingsAndRereadsItsChildren) {
    for (const char* name : {"a", "b\\inner", "c"}) scratch_.MakeFolder(name);
    TTreeNode* b = Node(scratch_.PathOf("b"));
    ASSERT_NE(b, nullptr);
    ASSERT_TRUE(b->Expand());

    ASSERT_TRUE(tree_->RenameNode(*b, "d"));
    EXPECT_TRUE(FolderExists(scratch_.PathOf("d")));
    EXPECT_FALSE(FolderExists(scratch_.PathOf("b")));
    EXPECT_EQ(b->Text(), "d");
    EXPECT_EQ(ChildTexts(b->Parent()), (std::vector<std::string>{"a", "c", "d"}));
    EXPECT_EQ(PathOf(b), scratch_.PathOf("d"));
    EXPECT_TRUE(b->Expanded());
    ASSERT_EQ(ChildTexts(b), std::vector<std::string>{"inner"});
    EXPECT_EQ(PathOf(b->GetFirstChild()), scratch_.PathOf("d\\inner"));
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
        return reinterpret_cast<HWND>(
            SendMessageA(tree_->Handle(), TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(target->ItemId())));
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
        TShellFolderItem item(CopyIDList(bin.Get()), CopyIDList(bin.Get()), &desktop);
        ASSERT_EQ(item.GetLevel(), 1);

        EXPECT_TRUE(item.Rename("新しい名前"));
        EXPECT_EQ(desktop.name, L"\u65B0\u3057\u3044\u540D\u524D");
        EXPECT_EQ(desktop.flags, 0x20u);
        EXPECT_EQ(item.GetLevel(), 1);
        EXPECT_EQ(IDListSize(item.GetAbsoluteIDList()), IDListSize(documents.Get()));
        EXPECT_EQ(std::memcmp(item.GetAbsoluteIDList(), documents.Get(), IDListSize(documents.Get())), 0);
        EXPECT_EQ(std::memcmp(item.RelativeIDList(), documents.Get(), IDListSize(documents.Get())), 0);

        desktop.attributes = 0;
        EXPECT_FALSE(item.Rename("x"));
        EXPECT_EQ(desktop.name, L"\u65B0\u3057\u3044\u540D\u524D");  // not asked
    }
    EXPECT_EQ(desktop.references, 1);
}

}  // namespace

// --- Label editing against refreshes and the watcher ----------------------------------------------

class ShellTreeViewLabelEdit : public ShellTreeViewDevices {
protected:
    HWND Edit(TTreeNode* node) {
        return reinterpret_cast<HWND>(
            SendMessageA(tree_->Handle(), TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(node->ItemId())));
    }
    HWND EditField() const { return reinterpret_cast<HWND>(SendMessageA(tree_->Handle(), TVM_GETEDITCONTROL, 0, 0)); }
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
    ASSERT_TRUE(PumpMessagesUntil([&] { return ChildTexts(scratch) == std::vector<std::string>{"stays"}; },
                                  kSettleWaitMs));
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

    // A failed edit (the name is taken) and a good one.
    Confirm(Edit(Found(scratch_.PathOf("name"))), "old");
    Confirm(Edit(Found(scratch_.PathOf("name"))), "renamed");
    ASSERT_TRUE(FolderExists(scratch_.PathOf("renamed")));

    scratch_.MakeFolder("old\\later");
    EXPECT_TRUE(PumpMessagesUntil([&] { return ChildTexts(old).size() == 2; }, kSettleWaitMs));
}
