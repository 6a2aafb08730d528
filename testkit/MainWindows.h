#pragma once
// The main window and its About box, for the GUI tests and the screenshot scenes. The program makes
// the box when its menu first asks for it; these windows have it from the start.

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
