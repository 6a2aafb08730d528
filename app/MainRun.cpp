// One press of "作成(&M)": the creation run over the two tiers, ending in one message box; and
// "作成を元に戻す", which takes the last run back.

#include "app/Main.h"

#include <utility>

#include "app/RunProgress.h"
#include "app/Win32Naming.h"
#include "framework/Application.h"
#include "naming/CreationRun.h"
#include "naming/FolderCount.h"
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
    TWindowRunControl control(*this, "フォルダを作成しています");
    outcome =
        naming::RunCreation({parent, child, settings, dateFormats_.value()}, creator, &control);
  }  // the progress window goes before the closing box shows
  std::string text = outcome.BoxText();
  UINT icon = IconFlag(outcome.Icon());
  // Only a run that made something replaces the record: a second press that makes nothing keeps
  // the first run's undo.
  if (outcome.kind == naming::RunOutcome::Kind::Created && outcome.record.Made() > 0) {
    lastRun_ = std::move(outcome.record);
    if (const std::string failure = SaveUndoRecord(); !failure.empty()) {
      text += "\r\n" + failure;
      icon = MB_ICONWARNING;
    }
    ShowUndoCount();
  }
  if (!text.empty()) Application().MessageBox(text, MB_OK | icon);
}

void TForm1::UndoCreation1Click() {
  naming::UndoOutcome outcome;
  const bool anything = lastRun_.Made() > 0;
  if (anything) {
    app::Win32DirectoryRemover remover;
    TWindowRunControl control(*this, "フォルダを削除しています");
    outcome = naming::UndoRun(lastRun_, remover, &control);
  }
  outcome.note = std::exchange(undoNote_, {});
  if (const std::string failure = SaveUndoRecord(); !failure.empty()) {
    outcome.note += (outcome.note.empty() ? "" : "\r\n") + failure;
  }
  ShowUndoCount();
  const std::string text =
      anything ? outcome.BoxText() : "元に戻す作成はありません\r\n" + outcome.note;
  Application().MessageBox(text, MB_OK | IconFlag(outcome.Icon()));
}

bool TForm1::CanUndoCreation() const { return lastRun_.Made() > 0 || !undoNote_.empty(); }

void TForm1::LoadUndoRecord() {
  app::TUndoFile::Loaded loaded = undoFile_.Read();
  lastRun_ = std::move(loaded.record);
  undoNote_ = std::move(loaded.note);
  ShowUndoCount();
}

std::string TForm1::SaveUndoRecord() {
  if (undoFile_.Write(lastRun_) || undoWriteFailureSaid_) return {};
  undoWriteFailureSaid_ = true;
  return undoFile_.Path() +
         " に書き込めません (作成を元に戻せるのは、このウィンドウを閉じるまでです)";
}

void TForm1::ShowUndoCount() {
  const std::uint64_t made = lastRun_.Made();
  const std::string count = made == 0 ? "" : " (" + naming::GroupedNumber(made) + " 個)";
  UndoCreation1.SetCaption("作成を元に戻す" + count + "(&R)");
}
