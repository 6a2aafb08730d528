// "作成するフォルダの一覧(&L)...": the list of every folder the run would make, before it runs.

#include "app/FolderListWindow.h"
#include "app/Main.h"
#include "app/Win32Naming.h"

void TForm1::ListFolders1Click() {
  const TPanelTemplate parent(ParentTier);
  const TPanelTemplate child(ChildTier());
  const naming::FixedRunSettings settings(CheckBox1.Checked(), ShellTreeView1.SelectedPath());
  naming::RunOutcome refusal;
  std::optional<naming::RunListing> listing = naming::RunListing::Make(
      {parent, child, settings, dateFormats_.value()}, app::DiskReader().Folding(), refusal);
  // A run that would end before its first folder says why in its own box, and makes nothing.
  if (!listing) {
    Button1Click();
    return;
  }
  folderList_ = std::make_unique<TFolderListForm>(*this, std::move(*listing));
  // The window takes no input while the list shows, so the list stays the run's.
  folderList_->OnClosed = [this] { SetEnabled(true); };
  folderList_->OnRunRequested = [this] {
    folderList_->Close();
    Button1Click();
  };
  SetEnabled(false);
  folderList_->Show();
  folderList_->List.SetFocus();
}
