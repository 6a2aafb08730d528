// The listing's property (see ListingModel.h) for as long as it is given, from a random seed or a
// given one; stops at the first case that breaks it and names its seed.
//
//   listing_fuzz [--seconds N] [--seed S]

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>

#include "tests/fuzz/ListingModel.h"

int main(int argc, char** argv) {
  double seconds = 10;
  std::uint64_t seed = static_cast<std::uint64_t>(std::random_device{}());
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--seconds") seconds = std::atof(argv[i + 1]);
    if (option == "--seed") seed = std::strtoull(argv[i + 1], nullptr, 10);
  }
  const naming::DateFormatTable table = naming::DateTypeInit(nullptr);
  // <ctime>, not <chrono>: the standard <chrono> holds a character code page 932 lacks.
  const std::time_t start = std::time(nullptr);
  const std::uint64_t first = seed;
  std::uint64_t cases = 0;
  for (;; ++cases, ++seed) {
    if (cases % 64 == 0 && std::difftime(std::time(nullptr), start) >= seconds) break;
    std::mt19937_64 random(seed);
    const std::string broken = naming::test::CheckListing(random, table);
    if (!broken.empty()) {
      std::fprintf(stderr, "listing_fuzz: seed %llu: %s\n", static_cast<unsigned long long>(seed),
                   broken.c_str());
      return 1;
    }
  }
  std::printf("listing_fuzz: %llu cases from seed %llu, no failure\n",
              static_cast<unsigned long long>(cases), static_cast<unsigned long long>(first));
  return 0;
}
