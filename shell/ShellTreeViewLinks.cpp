// The folder tree's links to a path combo box and a file list: they show the selected folder,
// take the tree's settings, and follow its refreshes and device changes.

#include "shell/ShellComboBox.h"
#include "shell/ShellListView.h"
#include "shell/ShellTreeView.h"

void TShellTreeView::SetShellComboBox(TShellComboBox* box) {
  if (box == comboBox_) return;
  if (comboBox_) comboBox_->tree_ = nullptr;
  comboBox_ = nullptr;
  if (!box) return;
  if (box->tree_) box->tree_->SetShellComboBox(nullptr);
  comboBox_ = box;
  box->tree_ = this;
  box->SetShVirtuaItems(shVirtuaItems_);
  box->SetIncludeHidden(includeHidden_);
  RefillComboBox();
}

void TShellTreeView::SetShellListView(TShellListView* list) {
  if (list == listView_) return;
  if (listView_) listView_->tree_ = nullptr;
  listView_ = nullptr;
  if (!list) return;
  if (list->tree_) list->tree_->SetShellListView(nullptr);
  listView_ = list;
  list->tree_ = this;
  list->SetShVirtuaItems(shVirtuaItems_);
  list->SetIncludeHidden(includeHidden_);
  list->SetFolderIDList(SelectedIDList());
}

void TShellTreeView::UnlinkControls() noexcept {
  if (comboBox_) comboBox_->tree_ = nullptr;
  if (listView_) listView_->tree_ = nullptr;
  comboBox_ = nullptr;
  listView_ = nullptr;
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
