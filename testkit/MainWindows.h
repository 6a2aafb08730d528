#pragma once
// The main window and its About box as the program's entry makes them, for the GUI tests and the
// screenshot scenes.

#include <memory>

#include "app/About.h"
#include "app/Main.h"

struct TMainWindows {
  std::unique_ptr<TForm1> form;
  std::unique_ptr<TAboutBox> about;  // goes before the form
};

// The main window (the application's main form), then the About box, each one's OnCreate when it
// is made; the main window shown, with the start-up work that follows its first painting done.
TMainWindows OpenMainWindows();
