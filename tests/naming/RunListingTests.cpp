#include <gtest/gtest.h>

#include "naming/RunListing.h"
#include "testkit/TestTier.h"

namespace naming::test {
namespace {

// Everything is new, except the folders and files named here.
class SetProbe final : public PathProbe {
 public:
  std::vector<std::string> existing, files;
  CreateResult Probe(const std::string& path) const override {
    for (const std::string& there : existing)
      if (there == path) return {CreateStatus::AlreadyThere, {}};
    for (const std::string& file : files)
      if (file == path) return {CreateStatus::Failed, "file"};
    return {};
  }
};

struct RunListingTest : testing::Test {
  TestTier parent, child;
  TestSettings settings;
  SetProbe probe;
  const DateFormatTable table = DateTypeInit(nullptr);
  RunOutcome refusal;

  std::optional<RunListing> Listing() {
    return RunListing::Make({parent, child, settings, table}, refusal);
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
  EXPECT_EQ(listing->Path(4).below, "P02\\Ax");

  probe.existing = {creator.paths[3]};
  ListingTally tally;
  for (std::uint64_t k = 0; k < listing->Count(); ++k) tally.Add(listing->State(k, probe).status);
  EXPECT_EQ(tally.Text(), "作成 8  既存 1  作成不可 0");

  // A file in a parent folder's place: the run can make none of its children.
  probe.files = {creator.paths[6]};
  EXPECT_EQ(listing->State(7, probe).reason, "親フォルダを作成できません");
  EXPECT_EQ(listing->State(8, probe).status, CreateStatus::Failed);
  EXPECT_EQ(listing->State(5, probe).status, CreateStatus::Made);
}

TEST_F(RunListingTest, RefusedTemplatesAndRunsThatNeverStart) {
  parent.start = "1", parent.end = "2", parent.front = "a?";
  std::optional<RunListing> listing = Listing();
  ASSERT_TRUE(listing);
  const CreateResult first = listing->State(0, probe);
  EXPECT_EQ(first.status, CreateStatus::Failed);
  EXPECT_NE(first.reason.find("ファイル名に使用できない文字"), std::string::npos);

  parent.front = "a", parent.end = "x";
  EXPECT_FALSE(Listing());
  EXPECT_EQ(refusal.kind, RunOutcome::Kind::ConversionError);
  parent.end = "2", settings.base.clear();
  EXPECT_FALSE(Listing());
  EXPECT_EQ(refusal.kind, RunOutcome::Kind::NoBasePath);
}

}  // namespace
}  // namespace naming::test
