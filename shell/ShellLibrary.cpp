#include "shell/ShellLibrary.h"

#include <ole2.h>

#include <system_error>

#include "shell/ShellUtils.h"

namespace {

// Held between start-up and shut-down; used only on the user-interface thread.
TComPtr<IMalloc> sharedAllocator;

}  // namespace

IMalloc* TaskAllocator() { return sharedAllocator.Get(); }

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
    previous_ = sharedAllocator;
    sharedAllocator = chosen;
    RegisterShellFormats();
}

TShellLibrary::~TShellLibrary() {
    sharedAllocator = previous_;
    previous_.Reset();
    if (oleStarted_) OleUninitialize();
}
