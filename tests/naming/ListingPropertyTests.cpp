// The listing says what the run does, on a fixed sample of random templates over random disks
// (scripts/fuzz list runs the same check for as long as it is given).

#include <gtest/gtest.h>

#include "tests/fuzz/ListingModel.h"

namespace naming::test {
namespace {

TEST(ListingProperty, EveryPathsStateIsWhatTheRunDoesThere) {
  const DateFormatTable table = DateTypeInit(nullptr);
  for (std::uint64_t seed = 1; seed <= 300; ++seed) {
    std::mt19937_64 random(seed);
    const std::string broken = CheckListing(random, table);
    ASSERT_EQ(broken, "") << "seed " << seed;
  }
}

}  // namespace
}  // namespace naming::test
