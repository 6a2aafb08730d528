#include "naming/RunRecord.h"

#include <algorithm>
#include <charconv>

#include "naming/Composition.h"

namespace naming {

namespace {

constexpr std::string_view kVersionLead = "Tessarin undo record ";
constexpr std::string_view kVersion = "1";
constexpr std::string_view kLineEnd = "\r\n";

// Line marks of the file: a parent the run made, one that was there, a child in the latest.
constexpr char kMadeParent = '+';
constexpr char kOldParent = '=';
constexpr char kChild = '-';
constexpr char kTouched = '@';  // the latest parent's stamp from an earlier undo

// Only a plain folder name may come back from a file: never one that would reach outside the
// run's folders (empty, "." or "..", or holding a separator).
bool IsPlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && !HasForbiddenCharacter(name) &&
         !HasBrokenDoubleByteCharacter(name) &&
         name.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

std::optional<FileTime> ParseTime(std::string_view text) {
  FileTime value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return {};
  return value;
}

// Splits off the next line; false at the end of the text or for a line without its CR LF.
bool NextLine(std::string_view& text, std::string_view& line) {
  const std::size_t end = text.find(kLineEnd);
  if (end == std::string_view::npos) return false;
  line = text.substr(0, end);
  text.remove_prefix(end + kLineEnd.size());
  return true;
}

}  // namespace

void TimeSpan::Widen(FileTime moment) {
  from = std::min(from, moment);
  to = std::max(to, moment);
}

void RunRecord::AddParent(std::string name, bool made) {
  lastParentKept_ = made;
  if (!made) {
    lastParent_ = std::move(name);
    return;
  }
  groups_.push_back({std::move(name), true, {}});
  ++made_;
}

void RunRecord::AddChild(std::string name, bool made) {
  if (!made) return;
  if (!lastParentKept_) {
    groups_.push_back({std::move(lastParent_), false, {}});
    lastParentKept_ = true;
  }
  groups_.back().children.push_back(std::move(name));
  ++made_;
}

void RunRecord::Recount() {
  made_ = 0;
  for (const Group& group : groups_) made_ += group.children.size() + (group.parentMade ? 1 : 0);
}

std::string RunRecord::Text() const {
  std::string text;
  text.append(kVersionLead).append(kVersion).append(kLineEnd);
  text.append(base_).append(kLineEnd);
  text.append(std::to_string(span_.from) + ' ' + std::to_string(span_.to)).append(kLineEnd);
  for (const Group& group : groups_) {
    text.append(1, group.parentMade ? kMadeParent : kOldParent).append(group.parent);
    text.append(kLineEnd);
    if (group.touched != 0)
      text.append(1, kTouched).append(std::to_string(group.touched)).append(kLineEnd);
    for (const std::string& child : group.children)
      text.append(1, kChild).append(child).append(kLineEnd);
  }
  return text;
}

std::optional<RunRecord> RunRecord::FromText(std::string_view text, bool* otherVersion) {
  if (otherVersion) *otherVersion = false;
  std::string_view line;
  if (!NextLine(text, line) || line.substr(0, kVersionLead.size()) != kVersionLead) return {};
  if (line.substr(kVersionLead.size()) != kVersion) {
    if (otherVersion) *otherVersion = true;
    return {};
  }
  if (!NextLine(text, line) || line.empty()) return {};
  RunRecord record{std::string(line)};
  if (!NextLine(text, line)) return {};
  const std::size_t space = line.find(' ');
  const std::optional<FileTime> from = ParseTime(line.substr(0, space));
  const std::optional<FileTime> to =
      space == std::string_view::npos ? std::nullopt : ParseTime(line.substr(space + 1));
  if (!from || !to) return {};
  record.span_ = {*from, *to};
  while (NextLine(text, line)) {
    if (!line.empty() && line[0] == kTouched) {
      const std::optional<FileTime> touched = ParseTime(line.substr(1));
      if (!touched || record.groups_.empty()) return {};
      record.groups_.back().touched = *touched;
      continue;
    }
    if (line.empty() || !IsPlainName(line.substr(1))) return {};
    const std::string name(line.substr(1));
    switch (line[0]) {
      case kMadeParent:
      case kOldParent: record.groups_.push_back({name, line[0] == kMadeParent, {}}); break;
      case kChild:
        if (record.groups_.empty()) return {};
        record.groups_.back().children.push_back(name);
        break;
      default: return {};
    }
  }
  if (!text.empty()) return {};  // a last line cut short
  // A group with nothing to take back says nothing; drop it as a run would not have kept it.
  record.Drop([](std::size_t, std::size_t) { return false; });
  return record;
}

}  // namespace naming
