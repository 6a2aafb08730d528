#pragma once
// Every benchmark takes one optional argument, --quick: small sizes and one round, so that the
// test run can check that each benchmark still runs to its end. Its figures then mean nothing.

#include <string_view>

inline bool QuickRun(int argc, char** argv) {
  return argc > 1 && std::string_view(argv[1]) == "--quick";
}
