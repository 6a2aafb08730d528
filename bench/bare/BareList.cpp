// The least a list of a run's paths can do: read the target folder once, then print every path of
// a run numbered from 0 with its state as found in that listing. The floor listing_bench holds
// TessarinCmd --list and the list window's count to.
//
//   bare_list <target folder> <front text> <count>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unordered_set>

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const std::string target = argv[1];
  const std::string front = argv[2];
  const long count = std::atol(argv[3]);
  std::unordered_set<std::string> names;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileExA((target + "\\*").c_str(), FindExInfoBasic, &found,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      CharUpperA(found.cFileName);
      names.insert(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  std::string block;
  char name[64];
  for (long i = 0; i < count; ++i) {
    std::snprintf(name, sizeof name, "%s%ld", front.c_str(), i);
    const std::string path = target + "\\" + name;
    CharUpperA(name);
    block += names.count(name) ? "既存\t" : "作成\t";
    block += path;
    block += "\r\n";
    if (block.size() >= (1u << 16)) {
      std::fwrite(block.data(), 1, block.size(), stdout);
      block.clear();
    }
  }
  std::fwrite(block.data(), 1, block.size(), stdout);
  return 0;
}
