#pragma once
// Memory in use, as the benchmarks measure what a structure costs per item.

#include <windows.h>

#include <vector>

// The bytes in use in every heap of the process (Wine reports no private usage).
inline double HeapBytes() {
  std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
  heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
  double bytes = 0;
  for (HANDLE heap : heaps) {
    PROCESS_HEAP_ENTRY entry{};
    HeapLock(heap);
    while (HeapWalk(heap, &entry))
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
    HeapUnlock(heap);
  }
  return bytes;
}
