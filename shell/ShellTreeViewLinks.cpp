// The folder tree's links to a path combo box and a file list: they show the selected folder,
// take the tree's settings, and follow its refreshes and device changes. The tree follows their
// events (TShellLink); they know nothing of it.

#include "shell/ShellComboBox.h"
#include "shell/ShellListView.h"
#include "shell/ShellTreeView.h"

template <class Control>
bool TShellTreeView::LinkControl(Control*& slot, Control* control) {
  if (control == slot) return false;
  if (slot) slot->Link().Unlink();
  if (!control) return false;
  control->Link().Unlink();  // from a tree it followed before
  control->SetShVirtuaItems(shVirtuaItems_);
  control->SetIncludeHidden(includeHidden_);
  slot = control;
  TShellLink& link = control->Link();
  link.Link(*this, [&slot] { slot = nullptr; });
  link.OnFolderChosen = [this](LPCITEMIDLIST folder) { SelectIDList(folder); };
  return true;
}

void TShellTreeView::SetShellComboBox(TShellComboBox* box) {
  if (LinkControl(comboBox_, box)) RefillComboBox();
}

void TShellTreeView::SetShellListView(TShellListView* list) {
  if (!LinkControl(listView_, list)) return;
  TShellLink& link = list->Link();
  link.OnSettingsChanged = [this, list] {
    includeHidden_ = list->IncludeHidden();
    shVirtuaItems_ = list->ShVirtuaItems();
    ShowSettings();
  };
  link.OnFolderGone = [this, list] { list->SetFolderIDList(SelectedIDList()); };
  link.OnItemsDeleted = [this] { RefreshTree(); };
  list->SetFolderIDList(SelectedIDList());
}

void TShellTreeView::UnlinkControls() noexcept {
  if (comboBox_) comboBox_->Link().Unlink();
  if (listView_) listView_->Link().Unlink();
}

void TShellTreeView::ShareSettings() {
  // A linked list takes them, and its OnSettingsChanged shows them here.
  if (!listView_) return ShowSettings();
  listView_->SetIncludeHidden(includeHidden_);
  listView_->SetShVirtuaItems(shVirtuaItems_);
}

void TShellTreeView::ShowSettings() {
  RefreshTree();
  RefillComboBox();
  if (listView_) listView_->SetFolderIDList(SelectedIDList());
}

void TShellTreeView::Change(TTreeNode* node) {
  TCustomTreeView::Change(node);
  const TShellFolderItem* item = FolderItemOf(node);
  if (!item || !item->IsValid()) return;
  if (comboBox_) comboBox_->SelectIDList(item->GetAbsoluteIDList());
  if (listView_) listView_->SetFolderIDList(item->GetAbsoluteIDList());
}

void TShellTreeView::RefillComboBox() {
  if (!comboBox_) return;
  comboBox_->BeginUpdate();
  comboBox_->FillList();
  comboBox_->SelectIDList(SelectedIDList());
  comboBox_->EndUpdate();
}

void TShellTreeView::ShowRenameInLinks(TTreeNode& renamed) {
  RefillComboBox();
  TShellFolderItem* item = FolderItemOf(&renamed);
  if (!listView_ || !listView_->FolderIDList() || !item) return;
  if (SameIDList(listView_->FolderIDList(), item->GetParentIDList()))
    listView_->Refill();
  else
    listView_->SetFolderIDList(SelectedIDList());
}

void TShellTreeView::ShowMediumInComboBox(const TDeviceChangeData& record) {
  if (!comboBox_) return;
  const TShellComboList& entries = comboBox_->Items();
  for (int i = 0; i < entries.Count(); ++i) {
    TShellComboItem& entry = *entries.Entry(i);
    if (!entry.IsValid() || !SameIDList(entry.GetAbsoluteIDList(), record.IDList())) continue;
    entry.ResetIcons();
    entry.SetDisplayName(record.DisplayText());
    InvalidateRect(comboBox_->Handle(), nullptr, TRUE);
  }
}
