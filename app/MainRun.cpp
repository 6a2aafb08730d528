// One press of "作成(&M)": the creation run over the two tiers, ending in one message box; and
// "作成を元に戻す", which takes the last run back.

#include "app/Main.h"
#include "app/RunProgress.h"
#include "app/Win32Naming.h"
#include "framework/Application.h"
#include "naming/CreationRun.h"
#include "naming/Undo.h"

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
  const TPanelTemplate child(ChildTier());
  const TWindowRunSettings settings(CheckBox1, ShellTreeView1);
  app::Win32DirectoryCreator creator;
  naming::RunOutcome outcome;
  {
    TWindowRunControl control(*this);
    outcome =
        naming::RunCreation({parent, child, settings, dateFormats_.value()}, creator, &control);
  }  // the progress window goes before the closing box shows
  // A run that got as far as creating replaces the record, also when it made nothing.
  if (outcome.kind == naming::RunOutcome::Kind::Created) lastRun_ = std::move(outcome.record);
  const std::string text = outcome.BoxText();
  if (!text.empty()) Application().MessageBox(text, MB_OK | IconFlag(outcome.Icon()));
}

void TForm1::UndoCreation1Click() {
  app::Win32DirectoryRemover remover;
  const naming::UndoOutcome outcome = naming::UndoRun(lastRun_, remover);
  Application().MessageBox(outcome.BoxText(), MB_OK | IconFlag(outcome.Icon()));
}
