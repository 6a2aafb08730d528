// One press of "作成(&M)": the creation run over the two tiers, ending in one message box.

#include "app/Main.h"
#include "app/Win32Naming.h"
#include "framework/Application.h"
#include "naming/CreationRun.h"

namespace {

// What belongs to neither template: the child-folders box and the folder selected in the tree.
class TWindowRunSettings final : public naming::RunSettings {
 public:
  TWindowRunSettings(const TCheckBox& childFolders, const TShellTreeView& tree)
      : childFolders_(childFolders), tree_(tree) {}

  bool ChildFolders() const override { return childFolders_.Checked(); }
  std::string BasePath() const override { return tree_.SelectedPath(); }

 private:
  const TCheckBox& childFolders_;  // not owned
  const TShellTreeView& tree_;     // not owned
};

UINT IconFlag(naming::MessageIcon icon) {
  switch (icon) {
    case naming::MessageIcon::Warning: return MB_ICONWARNING;
    case naming::MessageIcon::Stop: return MB_ICONSTOP;
    case naming::MessageIcon::None: break;
  }
  return 0;
}

}  // namespace

void TForm1::Button1Click() {
  const TPanelTemplate parent(ParentTier);
  const TPanelTemplate child(ChildTier);
  const TWindowRunSettings settings(CheckBox1, ShellTreeView1);
  app::Win32DirectoryCreator creator;
  const naming::RunOutcome outcome = naming::RunCreation({parent, child, settings, dateFormats_.value()}, creator);
  Application().MessageBox(outcome.BoxText(), MB_OK | IconFlag(outcome.Icon()));
}
