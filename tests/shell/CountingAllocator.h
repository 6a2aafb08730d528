#pragma once
// A task allocator that forwards to the real one and counts what goes through it, so a test can
// see which lists code frees. Used with a nested TShellLibrary; lives on the test's stack.

#include <windows.h>
#include <objbase.h>

#include <set>

#include "shell/ComObject.h"

class TCountingAllocator : public TScopedComObject<IMalloc> {
 public:
  TCountingAllocator() { CoGetMalloc(1, &real_); }
  ~TCountingAllocator() {
    if (real_) real_->Release();
  }

  int frees = 0;
  std::set<void*> outstanding;  // allocated here and not freed yet

  bool Freed(const void* memory) const { return freed_.count(const_cast<void*>(memory)) != 0; }

  STDMETHODIMP_(void*) Alloc(SIZE_T size) override {
    void* memory = real_->Alloc(size);
    if (memory) outstanding.insert(memory);
    return memory;
  }
  STDMETHODIMP_(void*) Realloc(void* memory, SIZE_T size) override {
    outstanding.erase(memory);
    void* moved = real_->Realloc(memory, size);
    if (moved) outstanding.insert(moved);
    return moved;
  }
  STDMETHODIMP_(void) Free(void* memory) override {
    ++frees;
    outstanding.erase(memory);
    freed_.insert(memory);
    real_->Free(memory);
  }
  STDMETHODIMP_(SIZE_T) GetSize(void* memory) override { return real_->GetSize(memory); }
  STDMETHODIMP_(int) DidAlloc(void* memory) override { return real_->DidAlloc(memory); }
  STDMETHODIMP_(void) HeapMinimize() override { real_->HeapMinimize(); }

 private:
  IMalloc* real_ = nullptr;
  std::set<void*> freed_;
};
