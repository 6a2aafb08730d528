#pragma once
// Plain-value stand-ins for the window's controls and for the directory creation.

#include <algorithm>
#include <string>
#include <vector>

#include "naming/CreationRun.h"
#include "naming/Template.h"

// GCC 12 at -O3 reports overlapping copies that cannot happen when a literal is assigned to a
// string field of these stand-ins (its -Wrestrict false positive in basic_string::_M_replace).
// Every file that fills them does so; the warning is off for those files.
#pragma GCC diagnostic ignored "-Wrestrict"

namespace naming::test {

struct TestTier final : TierTemplate {
  SequenceKind kind = SequenceKind::Number;
  std::string front, back;
  int pattern = 0;
  std::string start = "0", end = "0", digits = "1";
  CalendarDate startDate{2004, 2, 3}, endDate{2004, 2, 4};
  int dateFormat = 0;
  std::string folderCount = "1", lettersPerName = "1";
  int letterCase = 0;
  std::vector<std::string> lines;
  mutable int freeLineReads = 0;

  SequenceKind Kind() const override { return kind; }
  std::string FrontText() const override { return front; }
  std::string BackText() const override { return back; }
  int PositionPattern() const override { return pattern; }
  std::string StartNumberText() const override { return start; }
  std::string EndNumberText() const override { return end; }
  std::string DigitCountText() const override { return digits; }
  CalendarDate StartDate() const override { return startDate; }
  CalendarDate EndDate() const override { return endDate; }
  int DateFormatIndex() const override { return dateFormat; }
  std::string FolderCountText() const override { return folderCount; }
  std::string LettersPerNameText() const override { return lettersPerName; }
  int LetterCase() const override { return letterCase; }
  int FreeLineCount() const override { return static_cast<int>(lines.size()); }
  std::string FreeLine(int k) const override {
    ++freeLineReads;
    return k < FreeLineCount() ? lines[k] : "";
  }
  std::string FreeLinesText() const override {
    std::string text;
    for (const std::string& line : lines) text.append(line).append("\r\n");
    return text;
  }
};

struct TestSettings final : RunSettings {
  bool childFolders = false;
  std::string base = "C:\\work";
  bool ChildFolders() const override { return childFolders; }
  std::string BasePath() const override { return base; }
};

// Records every path. A path in `refused` fails; one in `existing` or made before is there, a
// folder stamped with the number of its first creation call.
struct RecordingCreator final : DirectoryCreator {
  std::vector<std::string> paths, existing, refused;
  FolderFacts Inspect(const std::string& path) override {
    const auto made = std::find(paths.begin(), paths.end(), path);
    if (made == paths.end()) return {};
    return {FolderFacts::Kind::Folder, static_cast<FileTime>(made - paths.begin()) + 1};
  }
  CreateResult Create(const std::string& path) override {
    auto listed = [&path](const std::vector<std::string>& list) {
      return std::find(list.begin(), list.end(), path) != list.end();
    };
    const bool there = listed(existing) || listed(paths);
    paths.push_back(path);
    if (listed(refused)) return {CreateStatus::Failed, "denied"};
    return {there ? CreateStatus::AlreadyThere : CreateStatus::Made, {}};
  }
};

}  // namespace naming::test
