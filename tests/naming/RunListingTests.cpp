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

// Names that come round again within the run are there by the time the run comes to them, and a
// folder's children come again with it.
TEST_F(RunListingTest, NamesThatComeAgainAreListedAsTheRunFindsThem) {
  struct Case {
    const char* what;
    std::function<void(TestTier&)> set;
    const char* rows;
  };
  const std::vector<Case> cases = {
      {"letters past 26", [](TestTier& t) { t.kind = SequenceKind::Letters, t.folderCount = "28"; },
       "Y|作成|\nZ|作成|\nA|既存|\nB|既存|\n"},
      {"a month without the day",
       [](TestTier& t) {
         t.kind = SequenceKind::Date, t.dateFormat = 7;
         t.startDate = {1989, 1, 6}, t.endDate = {1989, 1, 9};
       },
       "1989年01月|既存|\n1989年01月|既存|\n1989年01月|既存|\n"},
      {"an era changing within the month",
       [](TestTier& t) {
         t.kind = SequenceKind::Date, t.dateFormat = 9;
         t.startDate = {1989, 1, 6}, t.endDate = {1989, 1, 9};
       },
       "昭和64年01月|既存|\n平成01年01月|作成|\n平成01年01月|既存|\n"},
      {"a day of another year",
       [](TestTier& t) {
         t.kind = SequenceKind::Date, t.dateFormat = 10;
         t.startDate = {2023, 2, 28}, t.endDate = {2024, 3, 1};
       },
       "02月29日|作成|\n03月01日|既存|\n"},
      {"a free line given twice, in another case",
       [](TestTier& t) {
         t.kind = SequenceKind::None, t.pattern = 1, t.lines = {"ａb", "c", "Ａb"};
       },
       "c|作成|\nＡb|既存|\n"},
      {"a free line that meets a number",
       [](TestTier& t) { t.start = "1", t.end = "12", t.pattern = 1, t.lines = {"1"}; },
       "11|既存|\n12|作成|\n"},
  };
  for (const Case& c : cases) {
    parent = TestTier();
    c.set(parent);
    const std::string rows = Rows();
    // The last rows, where the names come again.
    const std::string expected = c.rows;
    ASSERT_GE(rows.size(), expected.size()) << c.what;
    EXPECT_EQ(rows.substr(rows.size() - expected.size()), expected) << c.what << "\n" << rows;
  }

  parent = TestTier();
  parent.kind = SequenceKind::None, parent.front = "Q", parent.lines = {"1", "2"};
  settings.childFolders = true, child.start = "1", child.end = "2";
  EXPECT_EQ(Rows(), "Q|作成|\nQ\\1|作成|\nQ\\2|作成|\nQ|既存|\nQ\\1|既存|\nQ\\2|既存|\n");
}

// The run's own rule: names Windows would change or takes for a device, and paths too long by
// Windows' count, in characters.
TEST_F(RunListingTest, NamesAndPathsWindowsWouldNotMakeAsListed) {
  parent.kind = SequenceKind::None, parent.pattern = 1;
  const std::string greek116 = [] {
    std::string text;
    for (int i = 0; i < 116; ++i) text += "α";
    return text;
  }();
  // C:\work\ and the name: 247 characters are made, 248 are not.
  const std::string long247(247 - 8, 'x'), long248(248 - 8, 'y');
  parent.lines = {"a.", "b ", "CON", "nul.txt", "com1", "com10", greek116, long247, long248};
  EXPECT_EQ(Rows(),
            "a.|作成不可|名前の末尾がピリオドか空白です\n"
            "b |作成不可|名前の末尾がピリオドか空白です\n"
            "CON|作成不可|Windows が予約している名前です\n"
            "nul.txt|作成不可|Windows が予約している名前です\n"
            "com1|作成不可|Windows が予約している名前です\n"
            "com10|作成|\n" +
                greek116 + "|作成|\n" + long247 + "|作成|\n" + long248 +
                "|作成不可|パスが長すぎます\n");
}

TEST_F(RunListingTest, AParentWithAnEmptyNameHasItsChildrenInTheTargetItself) {
  parent.kind = SequenceKind::None, parent.pattern = 1, parent.lines = {"c", "", "d"};
  settings.childFolders = true, child.kind = SequenceKind::None, child.pattern = 1;
  child.lines = {"d", "C"};
  EXPECT_EQ(Rows(),
            "c|作成|\nc\\d|作成|\nc\\C|作成|\n|既存|\nd|作成|\nC|既存|\nd|既存|\n"
            "d\\d|作成|\nd\\C|作成|\n");
}

TEST_F(RunListingTest, ADriveRootIsJoinedWithOneSeparator) {
  settings.base = "C:\\";
  parent.start = "1", parent.end = "1";
  const std::optional<RunListing> listing = Listing();
  ASSERT_TRUE(listing);
  EXPECT_EQ(listing->Path(0).path, "C:\\1");
}

}  // namespace
}  // namespace naming::test
