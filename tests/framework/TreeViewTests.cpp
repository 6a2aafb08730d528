// The tree view over the real common-controls tree: node ownership, navigation, expansion that
// asks every time, image indexes asked for drawn nodes only, selection and editing steps, and the
// re-creation that switching check boxes off needs.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "framework/TreeView.h"
#include "tests/framework/FrameworkFixture.h"
#include "tests/support/MessagePump.h"

namespace {

// Node data that counts how many of its kind are alive.
struct TCounted {
  explicit TCounted(int& alive) : alive_(alive) { ++alive_; }
  ~TCounted() { --alive_; }
  int& alive_;
};

class TTestTreeView : public TCustomTreeView {
 public:
  explicit TTestTreeView(TContainer& parent) : TCustomTreeView(parent, {8, 8, 220, 300}) {}

  using TCustomTreeView::RecreateWnd;
};

class TreeViewTest : public FrameworkFormTest {
 protected:
  TreeViewTest() : tree_(form_) { Pump(); }

  // "a", "b", "c" at the top; "a" has "a1" and "a2"; "a1" has "a11".
  void AddSample() {
    a_ = tree_.AddChild(nullptr, "a");
    b_ = tree_.AddChild(nullptr, "b");
    c_ = tree_.AddChild(nullptr, "c");
    a1_ = tree_.AddChild(a_, "a1");
    a2_ = tree_.AddChild(a_, "a2");
    a11_ = tree_.AddChild(a1_, "a11");
  }

  static std::vector<std::string> ChildTexts(const TTreeNode* parent) {
    std::vector<std::string> texts;
    for (TTreeNode* node = parent->GetFirstChild(); node; node = node->GetNextSibling())
      texts.push_back(node->Text());
    return texts;
  }

  TTestTreeView tree_;
  TTreeNode* a_ = nullptr;
  TTreeNode* b_ = nullptr;
  TTreeNode* c_ = nullptr;
  TTreeNode* a1_ = nullptr;
  TTreeNode* a2_ = nullptr;
  TTreeNode* a11_ = nullptr;
};

TEST_F(TreeViewTest, NodesKeepTheirPlaceTextAndRelations) {
  AddSample();
  TTreeNode* first = tree_.Insert(*a1_, "a0");
  TTreeNode* middle = tree_.Insert(*c_, "bc");
  ASSERT_TRUE(first && middle);

  EXPECT_EQ(tree_.GetFirstNode(), a_);
  EXPECT_EQ(ChildTexts(a_), (std::vector<std::string>{"a0", "a1", "a2"}));
  EXPECT_EQ(b_->GetNextSibling(), middle);
  EXPECT_EQ(a11_->Parent(), a1_);
  EXPECT_EQ(a_->Parent(), nullptr);
  EXPECT_EQ(a11_->Level(), 2);
  EXPECT_EQ(a_->Count(), 3);
  EXPECT_EQ(tree_.Count(), 8);
  // Depth-first: a, a0, a1, a11, a2, b, bc, c.
  EXPECT_EQ(a11_->AbsoluteIndex(), 3);
  EXPECT_EQ(c_->AbsoluteIndex(), 7);
  EXPECT_EQ(a2_->GetNext(), b_);
  EXPECT_EQ(c_->GetNext(), nullptr);

  a2_->SetText("フォルダ表示");  // 表 has the trail byte 0x5C
  EXPECT_EQ(a2_->Text(), "フォルダ表示");
}

TEST_F(TreeViewTest, NodesAndTheirDataAreFreedWithTheirItems) {
  int alive = 0;
  AddSample();
  for (TTreeNode* node : {a_, b_, c_, a1_, a2_, a11_})
    node->SetData(std::make_unique<TCounted>(alive));
  ASSERT_EQ(alive, 6);

  a1_->DeleteChildren();
  EXPECT_EQ(alive, 5);
  EXPECT_EQ(a1_->GetFirstChild(), nullptr);
  a_->Delete();  // with a1 and a2
  EXPECT_EQ(alive, 2);
  EXPECT_EQ(tree_.GetFirstNode(), b_);
  tree_.Clear();
  EXPECT_EQ(alive, 0);

  {
    TTestTreeView other(form_);
    other.AddChild(nullptr, "x")->SetData(std::make_unique<TCounted>(alive));
    EXPECT_EQ(alive, 1);
  }
  EXPECT_EQ(alive, 0);  // freed with the tree
}

TEST_F(TreeViewTest, FlagsAndOverlayReachTheControl) {
  AddSample();
  const auto nativeChildren = [&](TTreeNode* node) {
    TVITEMA item{};
    item.mask = TVIF_CHILDREN | TVIF_HANDLE;
    item.hItem = node->ItemId();
    SendMessageA(tree_.Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.cChildren;
  };
  EXPECT_FALSE(b_->HasChildren());
  EXPECT_EQ(nativeChildren(b_), 0);
  b_->SetHasChildren(true);
  EXPECT_TRUE(b_->HasChildren());
  EXPECT_EQ(nativeChildren(b_), 1);  // asked from the node when the control needs it
  b_->SetHasChildren(false);
  EXPECT_FALSE(b_->HasChildren());
  EXPECT_EQ(nativeChildren(b_), 0);

  EXPECT_EQ(b_->OverlayIndex(), -1);
  b_->SetOverlayIndex(0);
  EXPECT_EQ(b_->OverlayIndex(), 0);
  EXPECT_EQ(SendMessageA(tree_.Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(b_->ItemId()),
                         TVIS_OVERLAYMASK),
            INDEXTOOVERLAYMASK(1));
  b_->SetOverlayIndex(-1);
  EXPECT_EQ(b_->OverlayIndex(), -1);
}

TEST_F(TreeViewTest, EveryExpansionAsksCanExpandAndMayBeRefused) {
  // Children appear only when asked for, as a lazily filled tree does it.
  b_ = tree_.AddChild(nullptr, "b");
  b_->SetHasChildren(true);
  int asked = 0;
  bool allow = true;
  tree_.OnExpanding = [&](TTreeNode& node, bool& allowExpansion) {
    ++asked;
    allowExpansion = allow;
    if (allow && !node.GetFirstChild()) tree_.AddChild(&node, "child");
  };

  allow = false;
  EXPECT_FALSE(b_->Expand());
  EXPECT_FALSE(b_->Expanded());
  EXPECT_EQ(b_->GetFirstChild(), nullptr);

  allow = true;
  EXPECT_TRUE(b_->Expand());
  EXPECT_TRUE(b_->Expanded());
  EXPECT_EQ(ChildTexts(b_), std::vector<std::string>{"child"});
  EXPECT_EQ(asked, 2);

  // Collapsed and expanded again: the control would not notify a second time by itself.
  b_->Collapse();
  EXPECT_FALSE(b_->Expanded());
  EXPECT_TRUE(b_->Expand());
  EXPECT_EQ(asked, 3);

  // The user's way: the keyboard on the selected node goes through the control's notification.
  b_->Collapse();
  tree_.SetSelected(b_);
  SendMessageA(tree_.Handle(), WM_KEYDOWN, VK_RIGHT, 1);
  EXPECT_TRUE(b_->Expanded());
  EXPECT_EQ(asked, 4);
}

TEST_F(TreeViewTest, KeepsTheControlsExpandedStateWhoeverChangesIt) {
  AddSample();
  const auto native = [&](TTreeNode* node) {
    return (SendMessageA(tree_.Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node->ItemId()),
                         TVIS_EXPANDED) &
            TVIS_EXPANDED) != 0;
  };
  const auto agree = [&] {
    for (TTreeNode* node : {a_, a1_, b_})
      if (node->Expanded() != native(node)) return false;
    return true;
  };
  a_->SetHasChildren(true);
  a1_->SetHasChildren(true);

  // Selecting a node inside collapsed ones makes the control open them.
  tree_.SetSelected(a11_);
  EXPECT_TRUE(a_->Expanded() && a1_->Expanded());
  EXPECT_TRUE(agree());

  // The user closes one with the keyboard.
  tree_.SetSelected(a1_);
  SendMessageA(tree_.Handle(), WM_KEYDOWN, VK_LEFT, 1);
  EXPECT_FALSE(a1_->Expanded());
  EXPECT_TRUE(agree());

  // A node whose children all go.
  ASSERT_TRUE(a1_->Expand());
  a1_->DeleteChildren();
  EXPECT_TRUE(agree());

  // Walking: display order follows the expanded nodes, depth-first order all of them.
  const auto visible = [&] {
    std::vector<std::string> texts;
    for (TTreeNode* node = tree_.GetFirstNode(); node; node = node->GetNextVisible())
      texts.push_back(node->Text());
    return texts;
  };
  a1_->Collapse();
  EXPECT_EQ(visible(), (std::vector<std::string>{"a", "a1", "a2", "b", "c"}));
  a_->Collapse();
  EXPECT_EQ(visible(), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_TRUE(agree());
}

TEST_F(TreeViewTest, ImageIndexesAreAskedForDrawnNodesOnly) {
  HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32, 4, 4);
  tree_.SetImages(images);
  std::vector<TTreeNode*> nodes;
  TTreeNode* hidden = nullptr;
  for (int i = 0; i < 200; ++i)
    nodes.push_back(tree_.AddChild(nullptr, "node " + std::to_string(i)));
  hidden = tree_.AddChild(nodes[0], "inside a collapsed node");
  std::vector<const TTreeNode*> asked;
  std::vector<const TTreeNode*> askedSelected;
  tree_.OnGetImageIndex = [&](TTreeNode& node) {
    asked.push_back(&node);
    node.SetImageIndex(1);
  };
  tree_.OnGetSelectedIndex = [&](TTreeNode& node) {
    askedSelected.push_back(&node);
    node.SetSelectedIndex(2);
  };
  tree_.SetSelected(nodes[3]);
  InvalidateRect(tree_.Handle(), nullptr, TRUE);
  UpdateWindow(tree_.Handle());

  EXPECT_FALSE(asked.empty());
  EXPECT_LT(asked.size(), 100u);  // some twenty rows fit in 300 pixels
  EXPECT_EQ(std::count(asked.begin(), asked.end(), hidden), 0);
  EXPECT_EQ(std::count(asked.begin(), asked.end(), nodes[199]), 0);

  // Only the selected node is asked for its selected image.
  EXPECT_FALSE(askedSelected.empty());
  EXPECT_EQ(std::count(askedSelected.begin(), askedSelected.end(), nodes[3]),
            static_cast<std::ptrdiff_t>(askedSelected.size()));

  // What the steps set is what the control draws.
  TVITEMA item{};
  item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
  item.hItem = nodes[3]->ItemId();
  SendMessageA(tree_.Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(item.iImage, 1);
  EXPECT_EQ(item.iSelectedImage, 2);
  tree_.Clear();
  ImageList_Destroy(images);
}

TEST_F(TreeViewTest, SelectionRunsCanChangeThenChange) {
  AddSample();
  std::vector<std::string> changes;
  bool allow = true;
  tree_.OnChanging = [&](TTreeNode*, bool& allowChange) { allowChange = allow; };
  tree_.OnChange = [&](TTreeNode* node) { changes.push_back(node ? node->Text() : "(none)"); };

  tree_.SetSelected(b_);
  EXPECT_EQ(tree_.Selected(), b_);
  EXPECT_TRUE(b_->Selected());
  EXPECT_EQ(changes, std::vector<std::string>{"b"});

  allow = false;
  tree_.SetSelected(c_);
  EXPECT_EQ(tree_.Selected(), b_);
  EXPECT_EQ(changes.size(), 1u);

  // With a delay, OnChange waits for the timer.
  allow = true;
  tree_.SetChangeDelay(50);
  tree_.SetSelected(c_);
  EXPECT_EQ(changes.size(), 1u);
  PumpMessagesUntil([&] { return changes.size() == 2; }, 2000);
  EXPECT_EQ(changes, (std::vector<std::string>{"b", "c"}));

  tree_.SetDropTarget(a2_);
  EXPECT_EQ(tree_.DropTarget(), a2_);
  tree_.SetDropTarget(nullptr);
  EXPECT_EQ(tree_.DropTarget(), nullptr);
}

TEST_F(TreeViewTest, CustomSortOrdersSiblings) {
  for (const char* text : {"delta", "alpha", "charlie", "bravo"}) tree_.AddChild(nullptr, text);
  TTreeNode* parent = tree_.AddChild(nullptr, "parent");
  for (const char* text : {"3", "1", "2"}) tree_.AddChild(parent, text);
  const auto byText = [](TTreeNode& x, TTreeNode& y) { return x.Text().compare(y.Text()); };

  // The nodes' own order and the control's agree.
  const auto controlOrder = [&](HTREEITEM first) {
    std::vector<std::string> texts;
    for (HTREEITEM item = first; item;
         item = reinterpret_cast<HTREEITEM>(SendMessageA(tree_.Handle(), TVM_GETNEXTITEM, TVGN_NEXT,
                                                         reinterpret_cast<LPARAM>(item)))) {
      char text[32] = {};
      TVITEMA info{};
      info.mask = TVIF_TEXT | TVIF_HANDLE;
      info.hItem = item;
      info.pszText = text;
      info.cchTextMax = sizeof text;
      SendMessageA(tree_.Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info));
      texts.push_back(text);
    }
    return texts;
  };

  parent->CustomSort(byText);
  EXPECT_EQ(ChildTexts(parent), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(controlOrder(parent->GetFirstChild()->ItemId()), ChildTexts(parent));
  tree_.CustomSort(byText);
  const std::vector<std::string> top = {"alpha", "bravo", "charlie", "delta", "parent"};
  EXPECT_EQ(controlOrder(tree_.GetFirstNode()->ItemId()), top);
  std::vector<std::string> nodes;
  for (TTreeNode* node = tree_.GetFirstNode(); node; node = node->GetNextSibling())
    nodes.push_back(node->Text());
  EXPECT_EQ(nodes, top);
}

TEST_F(TreeViewTest, LabelEditingRunsCanEditAndEdited) {
  AddSample();
  bool allow = false;
  tree_.OnEditing = [&](TTreeNode&, bool& allowEdit) { allowEdit = allow; };
  tree_.OnEdited = [&](TTreeNode&, std::string& text) { text += "!"; };

  EXPECT_EQ(SendMessageA(tree_.Handle(), TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(b_->ItemId())),
            0);

  allow = true;
  auto edit = reinterpret_cast<HWND>(
      SendMessageA(tree_.Handle(), TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(b_->ItemId())));
  ASSERT_NE(edit, nullptr);
  SetWindowTextA(edit, "renamed");
  SendMessageA(tree_.Handle(), TVM_ENDEDITLABELNOW, FALSE, 0);
  EXPECT_EQ(b_->Text(), "renamed!");

  // Cancelled (the control tells with no text): the text stays. Sent as the control sends it,
  // since Wine's control commits the typed text even when TVM_ENDEDITLABELNOW says cancel.
  NMTVDISPINFOA cancelled{};
  cancelled.hdr.hwndFrom = tree_.Handle();
  cancelled.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(tree_.Handle()));
  cancelled.hdr.code = TVN_ENDLABELEDITA;
  cancelled.item.hItem = c_->ItemId();
  cancelled.item.pszText = nullptr;
  SendMessageA(form_.Handle(), WM_NOTIFY, cancelled.hdr.idFrom,
               reinterpret_cast<LPARAM>(&cancelled));
  EXPECT_EQ(c_->Text(), "c");

  tree_.SetReadOnly(true);
  EXPECT_TRUE(tree_.ReadOnly());
  EXPECT_EQ(GetWindowLongA(tree_.Handle(), GWL_STYLE) & TVS_EDITLABELS, 0);
}

TEST_F(TreeViewTest, ANewTreeHasTheUsualStyles) {
  EXPECT_EQ(GetWindowLongA(tree_.Handle(), GWL_STYLE) &
                (TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS | TVS_NOTOOLTIPS |
                 TVS_SHOWSELALWAYS | TVS_SINGLEEXPAND | TVS_TRACKSELECT | TVS_FULLROWSELECT |
                 TVS_DISABLEDRAGDROP),
            TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS | TVS_DISABLEDRAGDROP);
  EXPECT_NE(GetWindowLongA(tree_.Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
}

TEST_F(TreeViewTest, CheckboxesOffRecreatesTheWindowInItsTabPlace) {
  TTestTreeView second(form_);
  TTestTreeView third(form_);
  tree_.SetIndent(19);
  tree_.SetCheckboxes(true);
  const HWND first = tree_.Handle();
  EXPECT_NE(GetWindowLongA(first, GWL_STYLE) & TVS_CHECKBOXES, 0);

  tree_.SetCheckboxes(false);
  EXPECT_NE(tree_.Handle(), first);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(GetWindowLongA(tree_.Handle(), GWL_STYLE) & TVS_CHECKBOXES, 0);
  EXPECT_EQ(tree_.Indent(), 19);
  EXPECT_EQ(TWinControl::FromHandle(tree_.Handle()), &tree_);
  // Still first in the Tab order, before the controls made after it.
  EXPECT_EQ(GetWindow(tree_.Handle(), GW_HWNDPREV), nullptr);
  EXPECT_EQ(GetWindow(tree_.Handle(), GW_HWNDNEXT), second.Handle());

  // The new window works: notifications reach this object.
  TTreeNode* node = tree_.AddChild(nullptr, "x");
  int changes = 0;
  tree_.OnChange = [&](TTreeNode*) { ++changes; };
  tree_.SetSelected(node);
  EXPECT_EQ(changes, 1);
}

}  // namespace
