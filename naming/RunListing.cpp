#include "naming/RunListing.h"

#include "naming/Composition.h"
#include "naming/FolderCount.h"
#include "naming/Integer.h"

namespace naming {

namespace {

// The run's two-line box text as one reason.
std::string OneLine(std::string message) {
  const std::size_t lineBreak = message.find("\r\n");
  if (lineBreak != std::string::npos) message.erase(lineBreak, 2);
  return message;
}

}  // namespace

std::optional<RunListing> RunListing::Make(const RunInputs& inputs, RunOutcome& refusal) {
  const bool childFolders = inputs.settings.ChildFolders();
  RunListing listing;
  try {
    // The run's own order of reading: the parent's digit count first, then the checks.
    if (inputs.parent.Kind() == SequenceKind::Number) ToInteger(inputs.parent.DigitCountText());
    if (!CharErrCheck(inputs.parent, inputs.child, childFolders))
      listing.refusedTemplate_ = OneLine(ForbiddenCharacterMessage());
    else if (!DoubleByteCheck(inputs.parent, inputs.child, childFolders))
      listing.refusedTemplate_ = OneLine(BrokenDoubleByteMessage());
    listing.parent_ = std::make_shared<const TierRun>(inputs.parent, inputs.dateFormats);
    if (childFolders)
      listing.child_ = std::make_shared<const TierRun>(inputs.child, inputs.dateFormats);
  } catch (const ConversionError& error) {
    refusal.kind = RunOutcome::Kind::ConversionError;
    refusal.conversionMessage = error.what();
    return std::nullopt;
  }
  listing.base_ = inputs.settings.BasePath();
  if (listing.base_.empty()) {
    refusal.kind = RunOutcome::Kind::NoBasePath;
    return std::nullopt;
  }
  listing.total_ = TotalFolders(listing.parent_->Count(),
                                listing.child_ ? listing.child_->Count() : 0, childFolders);
  return listing;
}

std::string StateText(CreateStatus status) {
  switch (status) {
    case CreateStatus::Made: return "作成";
    case CreateStatus::AlreadyThere: return "既存";
    case CreateStatus::Failed: break;
  }
  return "作成不可";
}

// Each parent folder is followed by its children: a stride of 1 + M creations.
std::uint64_t RunListing::Stride() const {
  return child_ ? 1 + static_cast<std::uint64_t>(child_->Count()) : 1;
}

ListedPath RunListing::Path(std::uint64_t k) const {
  const std::uint64_t stride = Stride();
  ListedPath listed;
  listed.below = parent_->Name(static_cast<std::int64_t>(k / stride));
  const std::uint64_t place = k % stride;
  if (place > 0) listed.below = FolderPath(listed.below, child_->Name(place - 1));
  listed.path = FolderPath(base_, listed.below);
  return listed;
}

CreateResult RunListing::State(std::uint64_t k, const PathProbe& probe) const {
  if (!refusedTemplate_.empty()) return {CreateStatus::Failed, refusedTemplate_};
  const std::uint64_t parent = k - k % Stride();
  if (parent != k && probe.Probe(Path(parent).path).status == CreateStatus::Failed)
    return {CreateStatus::Failed, "親フォルダを作成できません"};
  return probe.Probe(Path(k).path);
}

void ListingTally::Add(CreateStatus status) {
  switch (status) {
    case CreateStatus::Made: ++made; break;
    case CreateStatus::AlreadyThere: ++existing; break;
    case CreateStatus::Failed: ++refused; break;
  }
}

std::string ListingTally::Text() const {
  return "作成 " + GroupedNumber(made) + "  既存 " + GroupedNumber(existing) + "  作成不可 " +
         GroupedNumber(refused);
}

}  // namespace naming
