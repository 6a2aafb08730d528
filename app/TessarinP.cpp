// The program's entry: the shell-control library, then the application with its main form.

#include <windows.h>

#include <exception>

#include "app/Main.h"
#include "framework/Application.h"
#include "shell/ShellLibrary.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    // OLE for the user-interface thread before any window exists; shut down when the loop is over.
    const TShellLibrary shellLibrary;
    TApplication& application = Application();
    application.SetTitle("Tessarin");
    // The About box is made when first asked for (TForm1::About1Click).
    application.CreateForm<TForm1>();
    application.Run();
  } catch (const std::exception& error) {
    // Only start-up can fail here: the loop shows every later error in the error box.
    MessageBoxA(nullptr, error.what(), "Tessarin", MB_OK | MB_ICONSTOP);
    return 1;
  }
  return 0;
}
