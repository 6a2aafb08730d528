#include <gtest/gtest.h>

#include "naming/RunListing.h"
#include "testkit/TestTier.h"
#include "tests/fuzz/ListingModel.h"

namespace naming::test {
namespace {

struct RunListingTest : testing::Test {
  TestTier parent, child;
  TestSettings settings;
  ModelDisk disk;
  const DateFormatTable table = DateTypeInit(nullptr);
  RunOutcome refusal;

  void SetUp() override { disk.Add(settings.base, true); }

  std::optional<RunListing> Listing() {
    return RunListing::Make({parent, child, settings, table}, disk.Folding(), refusal);
  }

  // Every row as "below|state|reason", one a line.
  std::string Rows() {
    const std::optional<RunListing> listing = Listing();
    if (!listing) return "no listing";
    DiskCache cache(disk);
    std::string rows;
    for (std::uint64_t k = 0; k < listing->Count(); ++k) {
      const CreateResult state = listing->State(k, cache);
      rows += listing->Path(k).below + "|" + StateText(state.status) + "|" + state.reason + "\n";
    }
    return rows;
  }
};

TEST_F(RunListingTest, ListsExactlyThePathsTheRunMakesInItsOrder) {
  parent.start = "1", parent.end = "3", parent.digits = "2", parent.front = "P";
  settings.childFolders = true;
  child.kind = SequenceKind::Letters, child.folderCount = "2", child.pattern = 1;
  child.lines = {"x"};
  RecordingCreator creator;
  RunCreation({parent, child, settings, table}, creator);
  const std::optional<RunListing> listing = Listing();
  ASSERT_TRUE(listing);
  ASSERT_EQ(listing->Count(), creator.paths.size());
  for (std::uint64_t k = 0; k < listing->Count(); ++k)
    EXPECT_EQ(listing->Path(k).path, creator.paths[k]) << k;

  disk.Add("C:\\work\\P02", true);
  disk.Add("C:\\work\\P02\\AX", true);
  disk.Add("C:\\work\\P03", false);
  EXPECT_EQ(
      Rows(),
      "P01|作成|\nP01\\Ax|作成|\nP01\\B|作成|\n"
      "P02|既存|\nP02\\Ax|既存|\nP02\\B|作成|\n"
      "P03|作成不可|同じ名前のファイルがあります\n"
      "P03\\Ax|作成不可|親フォルダを作成できません\nP03\\B|作成不可|親フォルダを作成できません\n");
}

TEST_F(RunListingTest, RefusedTemplatesAndRunsThatNeverStart) {
  parent.start = "1", parent.end = "2", parent.front = "a?";
  std::string reason = ForbiddenCharacterMessage();
  reason.erase(reason.find("\r\n"), 2);
  EXPECT_EQ(Rows(), "a?1|作成不可|" + reason + "\na?2|作成不可|" + reason + "\n");
  EXPECT_EQ(refusal.kind, RunOutcome::Kind::ForbiddenCharacters);

  parent.front = "a", parent.end = "x";
  EXPECT_FALSE(Listing());
  EXPECT_EQ(refusal.kind, RunOutcome::Kind::ConversionError);
  parent.end = "2", settings.base.clear();
  EXPECT_FALSE(Listing());
  EXPECT_EQ(refusal.kind, RunOutcome::Kind::NoBasePath);
}

// Each class of path the list once got wrong, in its last rows: names that come again (letters
// past 26, dates without the day or the year, an era changing within a month, a free line meeting
// a number), names Windows would change or takes for a device, lengths counted in characters
// (C:\work\ and 116 Greek letters are 124), and a parent with an empty name, whose children go
// into the target itself.
TEST_F(RunListingTest, EachPathIsListedAsTheRunWillFindIt) {
  std::string greek;
  for (int i = 0; i < 116; ++i) greek += "α";
  const std::string x239(239, 'x'), y240(240, 'y');
  const struct {
    std::function<void(TestTier&, TestTier&)> set;
    std::string rows;
  } cases[] = {
      {[](TestTier& p, TestTier&) { p.kind = SequenceKind::Letters, p.folderCount = "28"; },
       "Z|作成|\nA|既存|\nB|既存|\n"},
      {[](TestTier& p, TestTier&) {
         p.kind = SequenceKind::Date, p.dateFormat = 9;
         p.startDate = {1989, 1, 6}, p.endDate = {1989, 1, 9};
       },
       "昭和64年01月|作成|\n昭和64年01月|既存|\n平成01年01月|作成|\n平成01年01月|既存|\n"},
      {[](TestTier& p, TestTier&) {
         p.kind = SequenceKind::Date, p.dateFormat = 10;
         p.startDate = {2023, 2, 28}, p.endDate = {2024, 3, 1};
       },
       "02月29日|作成|\n03月01日|既存|\n"},
      {[](TestTier& p, TestTier&) { p.start = "1", p.end = "11", p.pattern = 1, p.lines = {"1"}; },
       "10|作成|\n11|既存|\n"},
      {[&](TestTier& p, TestTier&) {
         p.kind = SequenceKind::None, p.pattern = 1;
         p.lines = {"a.", "b ", "nul.txt", "com10", greek, x239, y240};
       },
       "a.|作成不可|名前の末尾がピリオドか空白です\nb |作成不可|名前の末尾がピリオドか空白です\n"
       "nul.txt|作成不可|Windows が予約している名前です\ncom10|作成|\n" +
           greek + "|作成|\n" + x239 + "|作成|\n" + y240 + "|作成不可|パスが長すぎます\n"},
      {[](TestTier& p, TestTier& c) {
         p.kind = c.kind = SequenceKind::None, p.pattern = c.pattern = 1;
         p.lines = {"c", "", "d"}, c.lines = {"d", "C"};
       },
       "c|作成|\nc\\d|作成|\nc\\C|作成|\n|既存|\nd|作成|\nC|既存|\nd|既存|\nd\\d|作成|\nd\\C|作成|"
       "\n"},
  };
  for (const auto& c : cases) {
    parent = child = TestTier();
    c.set(parent, child);
    settings.childFolders = !child.lines.empty();
    const std::string rows = Rows();
    ASSERT_GE(rows.size(), c.rows.size()) << rows;
    EXPECT_EQ(rows.substr(rows.size() - c.rows.size()), c.rows) << rows;
  }
}

}  // namespace
}  // namespace naming::test
