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

CreateResult Refused(std::string_view reason) {
  return {CreateStatus::Failed, std::string(reason)};
}

// What making a folder of `key` in `folder` finds.
CreateResult Inside(const FolderContents& folder, const std::string& key) {
  if (!folder.Refusal().empty()) return Refused(folder.Refusal());
  switch (folder.Find(key)) {
    case FolderContents::Entry::None: return {};
    case FolderContents::Entry::Folder: return {CreateStatus::AlreadyThere, {}};
    case FolderContents::Entry::File: break;
  }
  return Refused(kFileInTheWay);
}

}  // namespace

std::optional<RunListing> RunListing::Make(const RunInputs& inputs, const NameFolding& folding,
                                           RunOutcome& refusal) {
  const bool childFolders = inputs.settings.ChildFolders();
  RunListing listing(inputs.settings.BasePath());
  listing.folding_ = &folding;
  try {
    // The run's own order of reading: the parent's digit count first, then the checks.
    if (inputs.parent.Kind() == SequenceKind::Number) ToInteger(inputs.parent.DigitCountText());
    if (!CharErrCheck(inputs.parent, inputs.child, childFolders)) {
      refusal.kind = RunOutcome::Kind::ForbiddenCharacters;
      listing.refusedTemplate_ = OneLine(ForbiddenCharacterMessage());
    } else if (!DoubleByteCheck(inputs.parent, inputs.child, childFolders)) {
      refusal.kind = RunOutcome::Kind::BrokenDoubleByte;
      listing.refusedTemplate_ = OneLine(BrokenDoubleByteMessage());
    }
    listing.parent_ = std::make_shared<const TierNames>(
        std::make_shared<const TierRun>(inputs.parent, inputs.dateFormats), folding);
    if (childFolders) {
      listing.child_ = std::make_shared<const TierNames>(
          std::make_shared<const TierRun>(inputs.child, inputs.dateFormats), folding);
    }
  } catch (const ConversionError& error) {
    refusal.kind = RunOutcome::Kind::ConversionError;
    refusal.conversionMessage = error.what();
    return std::nullopt;
  }
  if (listing.base_.empty()) {
    refusal.kind = RunOutcome::Kind::NoBasePath;
    return std::nullopt;
  }
  const std::int64_t children = listing.child_ ? listing.child_->Count() : 0;
  listing.stride_ = 1 + static_cast<std::uint64_t>(children);
  listing.total_ = TotalFolders(listing.parent_->Count(), children, childFolders);
  if (!listing.refusedTemplate_.empty()) return listing;
  listing.emptyParent_ = listing.parent_->FirstEmptyName();
  if (listing.emptyParent_ && children > 0) {
    const RunListing& names = listing;
    listing.inTarget_ = std::make_shared<const KeyIndex>(
        static_cast<std::uint64_t>(listing.parent_->Count() + children),
        [&names](std::uint64_t position) { return names.TargetKey(position); });
  }
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

RunListing::Place RunListing::PlaceOf(std::uint64_t k) const {
  return {static_cast<std::int64_t>(k / stride_), static_cast<std::int64_t>(k % stride_) - 1};
}

std::uint64_t RunListing::IndexOf(Place place) const {
  return static_cast<std::uint64_t>(place.parent) * stride_ +
         static_cast<std::uint64_t>(place.child + 1);
}

ListedPath RunListing::Path(std::uint64_t k) const {
  const Place place = PlaceOf(k);
  ListedPath listed;
  listed.below = parent_->Name(place.parent);
  if (place.child >= 0) listed.below = JoinedPath(listed.below, child_->Name(place.child));
  listed.path = JoinedPath(base_, listed.below);
  return listed;
}

CreateResult RunListing::State(std::uint64_t k, DiskCache& disk) const {
  if (!refusedTemplate_.empty()) return Refused(refusedTemplate_);
  return At(PlaceOf(k), disk).result;
}

RunListing::Found RunListing::At(Place place, DiskCache& disk) const {
  if (place.child >= 0) return Child(place, disk);
  return InTarget(IndexOf(place), parent_->Name(place.parent), place.parent, disk);
}

// A path that comes again finds what the run left there the first time.
RunListing::Found RunListing::Again(std::uint64_t first, DiskCache& disk) const {
  Found again = At(PlaceOf(first), disk);
  if (again.result.status == CreateStatus::Made) again.result.status = CreateStatus::AlreadyThere;
  return again;
}

RunListing::Found RunListing::InTarget(std::uint64_t own, const std::string& name,
                                       std::optional<std::int64_t> parent, DiskCache& disk) const {
  const FolderContents& target = disk.Target(base_);
  // An empty name's path is the target folder itself.
  if (name.empty()) {
    if (!target.Exists()) return {Refused(target.Refusal())};
    return {{CreateStatus::AlreadyThere, {}}};
  }
  if (const std::string_view refusal = FolderRefusal(name, measure_.Of(name)); !refusal.empty())
    return {Refused(refusal)};
  const std::string key = folding_->Fold(name);
  const std::uint64_t first = FirstInTarget(key, parent);
  if (first < own) return Again(first, disk);
  const CreateResult result = Inside(target, key);
  return {result, result.status == CreateStatus::Made};
}

RunListing::Found RunListing::Child(Place place, DiskCache& disk) const {
  const std::string parentName = parent_->Name(place.parent);
  const Found above = InTarget(IndexOf({place.parent, -1}), parentName, place.parent, disk);
  if (above.result.status == CreateStatus::Failed) return {Refused(kParentNotMade)};
  const std::string name = child_->Name(place.child);
  // The path names its parent folder, which is there by now.
  if (name.empty()) return {{CreateStatus::AlreadyThere, {}}};
  const std::uint64_t own = IndexOf(place);
  if (parentName.empty()) return InTarget(own, name, std::nullopt, disk);
  if (const std::string_view refusal = FolderRefusal(name, measure_.Of(parentName, name));
      !refusal.empty()) {
    return {Refused(refusal)};
  }
  const std::string parentKey = folding_->Fold(parentName);
  const std::string key = folding_->Fold(name);
  const std::uint64_t first =
      IndexOf({parent_->FirstOf(place.parent, parentKey), child_->FirstOf(place.child, key)});
  if (first < own) return Again(first, disk);
  // A folder the run made holds nothing but what the run puts in it.
  if (above.made) return {{}, true};
  const CreateResult result = Inside(disk.Below(parentKey, JoinedPath(base_, parentName)), key);
  return {result, result.status == CreateStatus::Made};
}

std::uint64_t RunListing::FirstInTarget(const std::string& key,
                                        std::optional<std::int64_t> parent) const {
  if (!inTarget_) return IndexOf({parent_->FirstOf(*parent, key), -1});
  const std::optional<std::uint64_t> position =
      inTarget_->First(key, [this](std::uint64_t p) { return TargetKey(p); });
  return IndexOf(TargetPlace(*position));
}

// The names made in the target, in run order: the parents up to the first with an empty name, that
// parent's children, then the other parents.
RunListing::Place RunListing::TargetPlace(std::uint64_t position) const {
  const auto empty = static_cast<std::uint64_t>(*emptyParent_);
  const std::uint64_t children = stride_ - 1;
  if (position <= empty) return {static_cast<std::int64_t>(position), -1};
  if (position <= empty + children)
    return {*emptyParent_, static_cast<std::int64_t>(position - empty - 1)};
  return {static_cast<std::int64_t>(position - children), -1};
}

std::string RunListing::TargetKey(std::uint64_t position) const {
  const Place place = TargetPlace(position);
  return place.child < 0 ? parent_->Key(place.parent) : child_->Key(place.child);
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
