// TessarinShell's entry: the shell-control library, then the window of the three linked controls.

#include <windows.h>

#include <exception>

#include "app/ShellWindow.h"
#include "framework/Application.h"
#include "shell/ShellLibrary.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    const TShellLibrary shellLibrary;
    TApplication& application = Application();
    application.SetTitle("TessarinShell");
    application.CreateForm<TShellForm>();
    application.Run();
  } catch (const std::exception& error) {
    MessageBoxA(nullptr, error.what(), "TessarinShell", MB_OK | MB_ICONSTOP);
    return 1;
  }
  return 0;
}
