#include "naming/Undo.h"

#include "naming/FolderCount.h"

namespace naming {

UndoOutcome UndoRun(RunRecord& record, DirectoryRemover& remover) {
  UndoOutcome outcome;
  record.VisitDeepestFirst([&](const std::string& path) {
    RemoveResult result = remover.Remove(path);
    switch (result.status) {
      case RemoveStatus::Removed: ++outcome.removed; return true;
      case RemoveStatus::Gone: ++outcome.gone; return true;
      case RemoveStatus::NotEmpty: ++outcome.notEmpty; return false;
      case RemoveStatus::Failed: break;
    }
    if (outcome.failed++ == 0) {
      outcome.firstFailedPath = path;
      outcome.firstFailureReason = std::move(result.reason);
    }
    return false;
  });
  return outcome;
}

std::string UndoOutcome::BoxText() const {
  std::string text = "作成したフォルダを " + GroupedNumber(removed) + " 個削除しました";
  if (Kept() == 0) return text;
  text += "\r\n" + GroupedNumber(Kept()) + " 個は残しました:";
  if (notEmpty > 0)
    text += "\r\n  中にファイルかフォルダがある: " + GroupedNumber(notEmpty) + " 個";
  if (gone > 0) text += "\r\n  見つからない (名前の変更か削除): " + GroupedNumber(gone) + " 個";
  if (failed > 0) {
    text += "\r\n  削除できない: " + GroupedNumber(failed) +
            " 個 (最初のフォルダ: " + firstFailedPath + " (" + firstFailureReason + "))";
  }
  return text;
}

MessageIcon UndoOutcome::Icon() const {
  return Kept() == 0 ? MessageIcon::None : MessageIcon::Warning;
}

}  // namespace naming
