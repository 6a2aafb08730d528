// The folder tree's mouse presses, its shell context menu and its label editing.

#include "framework/CodePage.h"
#include "shell/ShellPopupMenu.h"
#include "shell/ShellTreeView.h"

namespace {

// A press on these parts of a row arms a click or a drag: not on the indent, the button or the
// space right of the label.
constexpr UINT kItemHitFlags = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON;

// A context-menu request from the keyboard (Shift+F10, the Apps key) names no point.
bool FromKeyboard(POINT screenPoint) { return screenPoint.x == -1 && screenPoint.y == -1; }

// A node the shell's menu may be shown for, or renamed: not the desktop.
TShellFolderItem* BelowTheDesktop(TTreeNode* node) {
  TShellFolderItem* item = FolderItemOf(node);
  return item && item->IsValid() && item->GetLevel() != 0 ? item : nullptr;
}

}  // namespace

// --- Presses ------------------------------------------------------------------------------------

void TShellTreeView::LeftButtonDown(POINT point) {
  EndPress();
  UINT hit = 0;
  TTreeNode* node = GetNodeAt(point, &hit);
  if (!node) return;
  if (!(hit & kItemHitFlags)) {
    SetDropTarget(nullptr);
    return;
  }
  SetDropTarget(node);
  pressState_ = TPressState::LeftPress;
  pressPoint_ = point;
  pressedNode_ = node;
}

void TShellTreeView::LeftButtonUp() {
  if (pressState_ == TPressState::LeftPress) {
    TTreeNode* node = PressedNode();
    TShellFolderItem* item = FolderItemOf(node);
    EndPress();
    SetDropTarget(nullptr);
    if (item && item->IsValid()) {
      SetSelected(node);
      if (AutoExpand()) Change(Selected());
    }
  }
  EndPress();
}

void TShellTreeView::RightButtonDown(POINT point) {
  EndPress();
  TTreeNode* node = GetNodeAt(point);
  if (!BelowTheDesktop(node)) return;
  SetDropTarget(node);
  pressState_ = TPressState::RightPress;
  pressPoint_ = point;
  pressedNode_ = node;
}

TTreeNode* TShellTreeView::PressedNode() const {
  // A volume event handled during the press may have deleted it.
  return HasNode(pressedNode_) ? pressedNode_ : nullptr;
}

void TShellTreeView::MouseMoved(POINT point) {
  if (pressState_ != TPressState::LeftPress && pressState_ != TPressState::RightPress) return;
  TTreeNode* node = PressedNode();
  if (node && CanBeginDrag(*node, point.x, point.y)) BeginDrag(*node);
}

// --- Context menu -------------------------------------------------------------------------------

void TShellTreeView::SetShellPopupMenu(TShellPopupMenu* menu) {
  if (shellPopupMenu_) shellPopupMenu_->OnDestroying = nullptr;
  shellPopupMenu_ = menu;
  if (!menu) return;
  menu->AutoPopup = false;
  menu->OnDestroying = [this] { shellPopupMenu_ = nullptr; };
}

bool TShellTreeView::ContextPopup(POINT screenPoint) {
  if (!shellPopupMenu_) return false;
  TTreeNode* node = nullptr;
  if (FromKeyboard(screenPoint)) {
    // As a right press on the selected folder, with the menu below its label.
    node = Selected();
    if (!BelowTheDesktop(node) || pressState_ != TPressState::Idle) return false;
    const RECT label = node->DisplayRect(true);
    screenPoint = POINT{label.left, label.bottom};
    ClientToScreen(Handle(), &screenPoint);
    SetDropTarget(node);
    pressState_ = TPressState::RightPress;
  } else {
    if (pressState_ != TPressState::RightPress) return false;
    // The pressed node, found again: Wine's control drops the highlight of a selected node on
    // a right click.
    node = GetNodeAt(pressPoint_);
  }

  struct TMenuEnd {
    TShellTreeView& tree;
    ~TMenuEnd() {
      tree.SetDropTarget(nullptr);
      tree.EndPress();
    }
  } end{*this};
  TShellFolderItem* item = BelowTheDesktop(node);
  if (!item) return true;
  int command = 0;
  {
    // The shell's commands change folders; the tree refreshes after them itself.
    const TReportHold hold(*this);
    contextList_.Clear();
    contextList_.SetParentIDList(const_cast<LPITEMIDLIST>(item->GetParentIDList()));
    contextList_.Add(const_cast<LPITEMIDLIST>(item->RelativeIDList()));
    shellPopupMenu_->PopupComponent = this;
    command = shellPopupMenu_->PopupShellMenu(contextList_, screenPoint);
    contextList_.Clear();
  }
  // A device record handled while the menu was open may have deleted the node.
  if (!HasNode(node)) node = nullptr;
  ActOnShellCommand(command, node);
  return true;
}

void TShellTreeView::ActOnShellCommand(int command, TTreeNode* node) {
  switch (command) {
    case kShellDeleteDone:
      // The shell answers done also when the user declined: the refresh finds out what went,
      // and moves the selection up only from a folder really gone.
      EndPress();
      RefreshTree();
      RefillComboBox();
      break;
    case kShellRenameChosen:
      EndPress();
      if (node) node->EditText();
      break;
    case kShellCutDone:
      if (node) node->SetCut(true);
      break;
    default: EndPress(); break;
  }
}

bool TShellTreeView::FileManagerKey(UINT key) {
  TTreeNode* selected = Selected();
  if (!selected) return false;
  if (key == VK_F2) {
    // The same rules as any start of an edit: CanEdit decides.
    selected->EditText();
    return true;
  }
  if (key == VK_APPS || (key == VK_F10 && GetKeyState(VK_SHIFT) < 0)) {
    PopupMenuForSelected();
    return true;
  }
  return false;
}

// --- Label editing ------------------------------------------------------------------------------

bool TShellTreeView::CanEdit(TTreeNode& node) {
  TShellFolderItem* item = BelowTheDesktop(&node);
  if (pressState_ != TPressState::Idle || !item || !item->HasAttribute(saCanRename)) return false;
  if (!TCustomTreeView::CanEdit(node)) return false;
  LimitNameEdit(reinterpret_cast<HWND>(Perform(TVM_GETEDITCONTROL, 0, 0)), item->GetPath());
  return true;
}

void TShellTreeView::Edited(TTreeNode& node, std::string& text) {
  TCustomTreeView::Edited(node, text);
  TShellFolderItem* item = FolderItemOf(&node);
  if (!item || !item->IsValid()) return;
  const std::string refusal = NewNameRefusal(item->GetPath(), text);
  if (!refusal.empty()) {
    node.SetText(item->GetDisplayName());
    refusedNode_ = &node;
    refusedName_.Start(Handle(), AnsiToWide(text), AnsiToWide(refusal));
    return;
  }
  // The tree's own rename is no change from outside to refresh for.
  const TReportHold hold(*this);
  if (RenameNode(node, text)) ShowRenameInLinks(node);
}

void TShellTreeView::EditRefused(TTreeNode& node, const std::wstring& typed,
                                 const std::vector<char32_t>& refused) {
  refusedNode_ = &node;
  refusedName_.Start(Handle(), typed, UnknownCharactersRefusal(refused));
}

void TShellTreeView::EditRefusedName() {
  refusedName_.Step(Handle(), [this]() -> HWND {
    if (!HasNode(refusedNode_) || !refusedNode_->EditText()) return nullptr;
    return reinterpret_cast<HWND>(Perform(TVM_GETEDITCONTROL, 0, 0));
  });
}
