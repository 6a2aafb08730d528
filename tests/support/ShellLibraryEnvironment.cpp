// Starts the shell-control library (OLE, the task allocator, the data-transfer formats) once for
// the whole test program, as the program's entry does, before the first test makes a list.

#include <gtest/gtest.h>

#include <memory>

#include "shell/ShellLibrary.h"

namespace {

class TShellLibraryEnvironment : public testing::Environment {
 public:
  void SetUp() override { library_ = std::make_unique<TShellLibrary>(); }
  void TearDown() override { library_.reset(); }

 private:
  std::unique_ptr<TShellLibrary> library_;
};

// gtest_main runs the environments registered before main.
testing::Environment* const shellLibraryEnvironment =
    testing::AddGlobalTestEnvironment(new TShellLibraryEnvironment);

}  // namespace
