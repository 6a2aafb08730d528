#pragma once
// The large folders the benchmarks open, made once and kept for later runs: only the first run pays
// for making them.

#include <windows.h>

#include <cstdio>
#include <string>

// <temp>\TessarinBench\<name> with `count` entries named by `entryFormat` (a printf format taking
// the entry's number), each missing one made by `make(path)`.
template <class Make>
std::string BenchFolder(const std::string& name, int count, const char* entryFormat, Make make) {
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(sizeof temp, temp);
  const std::string root = std::string(temp) + "TessarinBench";
  const std::string folder = root + "\\" + name;
  CreateDirectoryA(root.c_str(), nullptr);
  CreateDirectoryA(folder.c_str(), nullptr);
  char entry[64];
  for (int i = 0; i < count; ++i) {
    std::snprintf(entry, sizeof entry, entryFormat, i);
    const std::string path = folder + "\\" + entry;
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) make(path);
  }
  return folder;
}
