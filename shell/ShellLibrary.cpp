#include "shell/ShellLibrary.h"

#include <ole2.h>

#include <system_error>
#include <utility>

#include "shell/ShellIDFunc.h"
#include "shell/ShellUtils.h"

TShellLibrary::TShellLibrary() { Start(nullptr); }

TShellLibrary::TShellLibrary(IMalloc* allocator) { Start(allocator); }

void TShellLibrary::Start(IMalloc* allocator) {
  // S_FALSE (already started on this thread) also needs its matching OleUninitialize.
  oleStarted_ = SUCCEEDED(OleInitialize(nullptr));
  TComPtr<IMalloc> chosen = allocator;
  if (!chosen) {
    const HRESULT result = CoGetMalloc(1, chosen.Out());
    if (FAILED(result) || !chosen) {
      if (oleStarted_) OleUninitialize();
      throw std::system_error(static_cast<int>(result), std::system_category(), "CoGetMalloc");
    }
  }
  previous_ = ExchangeTaskAllocator(chosen);
  RegisterShellFormats();
}

TShellLibrary::~TShellLibrary() {
  ExchangeTaskAllocator(std::move(previous_));
  if (oleStarted_) OleUninitialize();
}
