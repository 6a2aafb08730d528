#pragma once
// A clock around CreateDirectoryA as this executable imports it. The program's calls and the
// benchmark's own bare loop go through the same import-table slot, so both pay the clock alike, and
// a run's time inside the call tells the file system's share from the program's own. That share
// needs no second run to compare with, so a disk that slows down for minutes does not move it.

#include <windows.h>

#include <cstring>

namespace bench {

// The import-table slot through which this executable calls `function` of `module`, or null.
inline void** ImportSlot(const char* module, const char* function) {
  auto* const image = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
  const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(image + imports.VirtualAddress);
       entry->Name != 0; ++entry) {
    if (lstrcmpiA(reinterpret_cast<const char*>(image + entry->Name), module) != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(image + entry->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(image + entry->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName =
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(image + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
        return reinterpret_cast<void**>(&slots->u1.Function);
    }
  }
  return nullptr;
}

// Installed for its lifetime; one at a time, and only the thread that runs the creations calls it.
class CreationClock {
 public:
  CreationClock() : slot_(ImportSlot("kernel32.dll", "CreateDirectoryA")) {
    if (slot_ != nullptr) {
      original_ = reinterpret_cast<Function>(*slot_);
      Write(reinterpret_cast<void*>(&Clocked));
    }
  }
  ~CreationClock() {
    if (slot_ != nullptr) Write(reinterpret_cast<void*>(original_));
  }
  CreationClock(const CreationClock&) = delete;
  CreationClock& operator=(const CreationClock&) = delete;

  // False when the executable does not import the call by name: the figures would be empty.
  bool Installed() const { return slot_ != nullptr; }
  void Reset() { inside_ = 0; }
  double Inside() const { return inside_; }

 private:
  using Function = BOOL(WINAPI*)(LPCSTR, LPSECURITY_ATTRIBUTES);

  static BOOL WINAPI Clocked(LPCSTR path, LPSECURITY_ATTRIBUTES attributes) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    const BOOL made = original_(path, attributes);
    QueryPerformanceCounter(&end);
    inside_ += static_cast<double>(end.QuadPart - start.QuadPart) / Frequency();
    return made;
  }
  static double Frequency() {
    static const double frequency = [] {
      LARGE_INTEGER value;
      QueryPerformanceFrequency(&value);
      return static_cast<double>(value.QuadPart);
    }();
    return frequency;
  }
  void Write(void* function) {
    DWORD was;
    VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &was);
    *slot_ = function;
    VirtualProtect(slot_, sizeof *slot_, was, &was);
  }

  void** slot_;
  static inline Function original_ = nullptr;
  static inline double inside_ = 0;
};

}  // namespace bench
