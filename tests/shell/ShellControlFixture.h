#pragma once
// A shown form and a scratch folder, for the tests of the shell controls against the real shell.

#include <gtest/gtest.h>

#include "framework/Application.h"
#include "framework/Form.h"
#include "tests/support/ScratchFolder.h"

class ShellControlTest : public testing::Test {
 protected:
  ShellControlTest(const char* caption, const char* scratch, int clientWidth, int clientHeight)
      : form_(caption, TBorderStyle::Single), scratch_(scratch) {
    form_.SetClientSize(clientWidth, clientHeight);
    form_.Show();
  }

  static void Pump() { Application().ProcessMessages(); }

  // Made first and gone last: the controls of a fixture are made on the form.
  TForm form_;
  TScratchFolder scratch_;
};
