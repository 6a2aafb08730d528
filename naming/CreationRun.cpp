#include "naming/CreationRun.h"

#include <memory>
#include <optional>

#include "naming/Composition.h"
#include "naming/Integer.h"
#include "naming/Sequence.h"

namespace naming {

namespace {

// One tier's part of a run: its parameters, read once, and the name of its folder k.
class TierRun {
 public:
  TierRun(const TierTemplate& tier, const DateFormatTable& formats)
      : tier_(tier),
        front_(tier.FrontText()),
        back_(tier.BackText()),
        pattern_(tier.PositionPattern()),
        freeLines_(UsesFreeLines(pattern_) ? tier.FreeLineCount() : 0),
        sequence_(ReadSequence(tier, formats)) {}

  std::int64_t Count() const { return sequence_->Count(); }

  // Free lines count from 0 in every call of a tier's run, so each parent folder gets the same
  // child names; a folder past the last free line gets an empty one.
  std::string Name(std::int64_t k) const {
    const std::string freeLine = k < freeLines_ ? tier_.FreeLine(static_cast<int>(k)) : "";
    return ComposeName(pattern_, front_, sequence_->Text(k), back_, freeLine);
  }

 private:
  const TierTemplate& tier_;  // not owned: the window's controls
  std::string front_;
  std::string back_;
  int pattern_;
  std::int64_t freeLines_;
  std::unique_ptr<Sequence> sequence_;
};

class FailureTally {
 public:
  void Record(const std::string& path, CreateResult result) {
    // "Already there" is how children are added to existing folders: not a failure.
    if (result.status != CreateStatus::Failed) return;
    if (outcome_.failures++ == 0) {
      outcome_.firstFailedPath = path;
      outcome_.firstFailureReason = std::move(result.reason);
    }
  }
  RunOutcome Outcome() && { return std::move(outcome_); }

 private:
  RunOutcome outcome_;
};

RunOutcome Stopped(RunOutcome::Kind kind, std::string conversionMessage = {}) {
  RunOutcome outcome;
  outcome.kind = kind;
  outcome.conversionMessage = std::move(conversionMessage);
  return outcome;
}

}  // namespace

RunOutcome RunCreation(const RunInputs& inputs, DirectoryCreator& creator) {
  const bool childFolders = inputs.settings.ChildFolders();
  std::optional<TierRun> parent;
  std::optional<TierRun> child;
  try {
    // The parent's digit count is read before the check, as its own step; the other fields
    // after it. A child field that fails ends the run here too, before anything exists.
    if (inputs.parent.Kind() == SequenceKind::Number) ToInteger(inputs.parent.DigitCountText());
    if (!CharErrCheck(inputs.parent, inputs.child, childFolders)) {
      return Stopped(RunOutcome::Kind::ForbiddenCharacters);
    }
    if (!DoubleByteCheck(inputs.parent, inputs.child, childFolders)) {
      return Stopped(RunOutcome::Kind::BrokenDoubleByte);
    }
    parent.emplace(inputs.parent, inputs.dateFormats);
    if (childFolders) child.emplace(inputs.child, inputs.dateFormats);
  } catch (const ConversionError& error) {
    return Stopped(RunOutcome::Kind::ConversionError, error.what());
  }

  // An empty base path would put the folders at the root of the current drive.
  const std::string base = inputs.settings.BasePath();
  if (base.empty()) return Stopped(RunOutcome::Kind::NoBasePath);

  FailureTally tally;
  const std::int64_t parents = parent->Count();
  const std::int64_t children = child ? child->Count() : 0;
  for (std::int64_t k = 0; k < parents; ++k) {
    const std::string path = FolderPath(base, parent->Name(k));
    tally.Record(path, creator.Create(path));
    // Children go in even when the parent failed: an existing folder gets them, and a missing
    // one makes each of them fail in its turn.
    for (std::int64_t j = 0; j < children; ++j) {
      const std::string childPath = FolderPath(path, child->Name(j));
      tally.Record(childPath, creator.Create(childPath));
    }
  }
  return std::move(tally).Outcome();
}

std::string RunOutcome::BoxText() const {
  switch (kind) {
    case Kind::ForbiddenCharacters:
      return ForbiddenCharacterMessage();
    case Kind::BrokenDoubleByte:
      return BrokenDoubleByteMessage();
    case Kind::NoBasePath:
      return "フォルダを作成できませんでした\r\n作成先には、ドライブ上のフォルダを選択してください";
    case Kind::ConversionError:
      return conversionMessage + ".";  // the full stop the standard error box adds
    case Kind::Created:
      break;
  }
  std::string text = "フォルダを作成しました";
  if (failures == 0) return text;
  text += "\r\n" + std::to_string(failures) + " 個のフォルダを作成できませんでした。最初のフォルダ: " +
          firstFailedPath + " (" + firstFailureReason + ")";
  return text;
}

MessageIcon RunOutcome::Icon() const {
  switch (kind) {
    case Kind::ForbiddenCharacters:
    case Kind::BrokenDoubleByte: return MessageIcon::None;
    case Kind::NoBasePath: return MessageIcon::Warning;
    case Kind::ConversionError: return MessageIcon::Stop;
    case Kind::Created: break;
  }
  return failures == 0 ? MessageIcon::None : MessageIcon::Warning;
}

}  // namespace naming
