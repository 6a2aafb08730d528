#pragma once
// Start-up and shut-down of the shell-control library, as one object owned by the program's entry
// (or a test program's environment) for as long as shell lists and controls exist.
//
// Explicit rather than a static initialiser: in a static library an initialiser object is linked
// only when something else in its file is referenced, and its order against the program's own
// initialisers is unspecified; OLE must also start on the user-interface thread before the first
// list is allocated.
//
// Start-up: OleInitialize, the shell task allocator (CoGetMalloc), the data-transfer formats.
// Shut-down: the allocator is released, then OleUninitialize. Lifetimes may nest (a test may start
// a second one with a wrapping allocator); the inner one puts the outer allocator back.

#include <windows.h>
#include <objbase.h>

#include "shell/ComPtr.h"

class TShellLibrary {
 public:
  // Throws std::system_error when the task allocator cannot be had.
  TShellLibrary();
  // As above, but lists are allocated from and freed to `allocator` (which must forward to the
  // task allocator, since the shell hands out lists of its own).
  explicit TShellLibrary(IMalloc* allocator);
  ~TShellLibrary();

  TShellLibrary(const TShellLibrary&) = delete;
  TShellLibrary& operator=(const TShellLibrary&) = delete;

 private:
  void Start(IMalloc* allocator);

  bool oleStarted_ = false;
  TComPtr<IMalloc> previous_;
};
