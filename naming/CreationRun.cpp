#include "naming/CreationRun.h"

#include <memory>

#include "naming/Composition.h"
#include "naming/FolderCount.h"
#include "naming/FolderRule.h"
#include "naming/Integer.h"
#include "naming/TierRun.h"

namespace naming {

namespace {

// The total and the first and last paths, by the names the run will use.
RunPlan Plan(const std::string& base, const TierRun& parent, const TierRun* child) {
  RunPlan plan;
  const std::int64_t parents = parent.Count();
  const std::int64_t children = child ? child->Count() : 0;
  plan.total = TotalFolders(parents, children, child != nullptr);
  if (parents == 0) return plan;
  plan.firstPath = FolderPath(base, parent.Name(0));
  plan.lastPath = FolderPath(base, parent.Name(parents - 1));
  if (children > 0) plan.lastPath = FolderPath(plan.lastPath, child->Name(children - 1));
  return plan;
}

// Counts the failures and keeps the record: the folders made and the span they were stamped in.
class Tally {
 public:
  Tally(std::string base, FolderInspector& inspector) : inspector_(inspector) {
    outcome_.record = RunRecord(std::move(base));
  }

  void RecordParent(std::string name, const std::string& path, CreateResult result) {
    const bool made = Count(path, std::move(result));
    if (made) lastMadeIn_.clear();
    outcome_.record.AddParent(std::move(name), made);
  }
  void RecordChild(std::string name, const std::string& path, const std::string& parentPath,
                   CreateResult result) {
    const bool made = Count(path, std::move(result));
    if (made) lastMadeIn_ = parentPath;
    outcome_.record.AddChild(std::move(name), made);
  }
  RunOutcome Stopped() && {
    outcome_.stopped = true;
    return std::move(*this).Outcome();
  }
  RunOutcome Outcome() && {
    if (!lastMade_.empty()) WidenSpan(lastMade_);
    // Making a child restamps its parent, a moment later where stamps are fine-grained.
    if (!lastMadeIn_.empty()) WidenSpan(lastMadeIn_);
    return std::move(outcome_);
  }

 private:
  // True when the run made the folder.
  bool Count(const std::string& path, CreateResult result) {
    const bool made = result.status == CreateStatus::Made;
    if (made) {
      // The first folder's stamp at once, before its children change it where the file system
      // stamps a folder's last change; the last folder's at the end. Two readings per run.
      if (outcome_.made++ == 0) WidenSpan(path);
      lastMade_ = path;
    }
    // "Already there" is how children are added to existing folders: not a failure.
    if (result.status == CreateStatus::AlreadyThere) ++outcome_.existing;
    if (result.status != CreateStatus::Failed) return made;
    if (outcome_.failures++ == 0) {
      outcome_.firstFailedPath = path;
      outcome_.firstFailureReason = std::move(result.reason);
    }
    return false;
  }
  void WidenSpan(const std::string& path) {
    const FolderFacts facts = inspector_.Inspect(path);
    if (facts.kind == FolderFacts::Kind::Folder) outcome_.record.Span().Widen(facts.created);
  }

  FolderInspector& inspector_;  // not owned
  RunOutcome outcome_;
  std::string lastMade_;
  std::string lastMadeIn_;  // the folder the last made child went into; empty after a parent
};

RunOutcome EndedEarly(RunOutcome::Kind kind, std::string conversionMessage = {}) {
  RunOutcome outcome;
  outcome.kind = kind;
  outcome.conversionMessage = std::move(conversionMessage);
  return outcome;
}

// The creation, unless the rule refused the folder before it.
CreateResult Attempt(DirectoryCreator& creator, const std::string& path, std::string_view refusal) {
  if (!refusal.empty()) return {CreateStatus::Failed, std::string(refusal)};
  return creator.Create(path);
}

// Asks and answers for a run without a control: no confirmation, no stop.
class Unattended final : public RunControl {
 public:
  bool Confirm(const RunPlan&) override { return true; }
  bool Continue(std::uint64_t, std::uint64_t, const std::string&) override { return true; }
};

}  // namespace

RunOutcome RunCreation(const RunInputs& inputs, DirectoryCreator& creator, RunControl* control) {
  Unattended unattended;
  RunControl& user = control ? *control : unattended;
  const bool childFolders = inputs.settings.ChildFolders();
  std::shared_ptr<const TierRun> parent;
  std::shared_ptr<const TierRun> child;
  try {
    // The parent's digit count is read before the check, as its own step; the other fields
    // after it. A child field that fails ends the run here too, before anything exists.
    if (inputs.parent.Kind() == SequenceKind::Number) ToInteger(inputs.parent.DigitCountText());
    if (!CharErrCheck(inputs.parent, inputs.child, childFolders)) {
      return EndedEarly(RunOutcome::Kind::ForbiddenCharacters);
    }
    if (!DoubleByteCheck(inputs.parent, inputs.child, childFolders)) {
      return EndedEarly(RunOutcome::Kind::BrokenDoubleByte);
    }
    parent = std::make_shared<const TierRun>(inputs.parent, inputs.dateFormats);
    if (childFolders) child = std::make_shared<const TierRun>(inputs.child, inputs.dateFormats);
  } catch (const ConversionError& error) {
    return EndedEarly(RunOutcome::Kind::ConversionError, error.what());
  }

  // An empty base path would put the folders at the root of the current drive.
  const std::string base = inputs.settings.BasePath();
  if (base.empty()) return EndedEarly(RunOutcome::Kind::NoBasePath);

  const std::int64_t parents = parent->Count();
  const std::int64_t children = child ? child->Count() : 0;
  const RunPlan plan = Plan(base, *parent, child.get());
  if (plan.NeedsConfirmation() && !user.Confirm(plan))
    return EndedEarly(RunOutcome::Kind::Cancelled);

  const PathMeasure measure(base);
  Tally tally(base, creator);
  std::uint64_t done = 0;
  for (std::int64_t k = 0; k < parents; ++k) {
    const std::string name = parent->Name(k);
    const std::string path = FolderPath(base, name);
    if (!user.Continue(done++, plan.total, path)) return std::move(tally).Stopped();
    const std::string_view refusal = FolderRefusal(name, measure.Of(name));
    tally.RecordParent(name, path, Attempt(creator, path, refusal));
    // Children go in even when the parent failed: an existing folder gets them, and a missing
    // one makes each of them fail in its turn. Under a name the rule refused they are not tried:
    // Windows would read the path without the name's trailing period.
    for (std::int64_t j = 0; j < children; ++j) {
      std::string childName = child->Name(j);
      const std::string childPath = FolderPath(path, childName);
      if (!user.Continue(done++, plan.total, childPath)) return std::move(tally).Stopped();
      const std::string_view childRefusal =
          refusal.empty() ? FolderRefusal(childName, measure.Of(name, childName)) : kParentNotMade;
      tally.RecordChild(std::move(childName), childPath, path,
                        Attempt(creator, childPath, childRefusal));
    }
  }
  return std::move(tally).Outcome();
}

std::string RunOutcome::BoxText() const {
  switch (kind) {
    case Kind::ForbiddenCharacters: return ForbiddenCharacterMessage();
    case Kind::BrokenDoubleByte: return BrokenDoubleByteMessage();
    case Kind::NoBasePath:
      return "フォルダを作成できませんでした。\r\n作成先には、ドライブ上のフォルダを選択してくださ"
             "い。";
    case Kind::ConversionError:
      return conversionMessage + ".";  // the full stop the standard error box adds
    case Kind::Cancelled: return {};
    case Kind::Created: break;
  }
  std::string text;
  if (stopped) {
    text = "作成を中止しました。\r\n中止までに " + GroupedNumber(made) +
           " 個のフォルダを作成しました。";
  } else if (made > 0) {
    text = "フォルダを作成しました";
  } else if (failures == 0) {
    return existing == 0 ? "作成するフォルダはありません。"
                         : GroupedNumber(existing) +
                               " 個のフォルダがすべて既にあるため、作成したフォルダはありません。";
  } else {
    text = "フォルダを作成できませんでした。";
    if (existing > 0) text += "\r\n" + GroupedNumber(existing) + " 個のフォルダは既にあります。";
  }
  if (failures == 0) return text;
  text += "\r\n" + GroupedNumber(failures) +
          " 個のフォルダを作成できませんでした。最初のフォルダ: " + firstFailedPath + " (" +
          firstFailureReason + ")";
  return text;
}

MessageIcon RunOutcome::Icon() const {
  switch (kind) {
    case Kind::ForbiddenCharacters:
    case Kind::BrokenDoubleByte: return MessageIcon::None;
    case Kind::NoBasePath: return MessageIcon::Warning;
    case Kind::ConversionError: return MessageIcon::Stop;
    case Kind::Cancelled:
    case Kind::Created: break;
  }
  return failures == 0 ? MessageIcon::None : MessageIcon::Warning;
}

}  // namespace naming
