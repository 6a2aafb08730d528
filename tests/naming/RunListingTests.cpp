#include <gtest/gtest.h>

#include "naming/RunListing.h"
#include "testkit/TestTier.h"

namespace naming::test {
namespace {

// Everything is new, except the paths named here.
class SetProbe final : public PathProbe {
 public:
  std::vector<std::string> existing;
  CreateResult Probe(const std::string& path) const override {
    for (const std::string& there : existing)
      if (there == path) return {CreateStatus::AlreadyThere, {}};
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
  for (std::uint64_t k = 0; k < listing->Count(); ++k)
    tally.Add(listing->State(listing->Path(k).path, probe).status);
  EXPECT_EQ(tally.Text(), "作成 8  既存 1  作成不可 0");
}

TEST_F(RunListingTest, RefusedTemplatesAndRunsThatNeverStart) {
  parent.start = "1", parent.end = "2", parent.front = "a?";
  std::optional<RunListing> listing = Listing();
  ASSERT_TRUE(listing);
  const CreateResult first = listing->State(listing->Path(0).path, probe);
  EXPECT_EQ(first.status, CreateStatus::Failed);
  EXPECT_NE(first.reason.find("ファイル名に使用できない文字"), std::string::npos);

  parent.front = "a", parent.end = "x";
  EXPECT_FALSE(Listing());
  EXPECT_EQ(refusal.kind, RunOutcome::Kind::ConversionError);
  parent.end = "2", settings.base.clear();
  EXPECT_FALSE(Listing());
  EXPECT_EQ(refusal.kind, RunOutcome::Kind::NoBasePath);
}

TEST_F(RunListingTest, AMillionFoldersCostNothingUntilAsked) {
  parent.start = "1", parent.end = "1000000";
  const std::optional<RunListing> listing = Listing();
  ASSERT_TRUE(listing);
  EXPECT_EQ(listing->Count(), 1000000u);
  EXPECT_EQ(listing->Path(999999).path, "C:\\work\\1000000");
}

}  // namespace
}  // namespace naming::test
