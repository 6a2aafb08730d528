#include "testkit/MainWindows.h"

#include "framework/Application.h"

TMainWindows OpenMainWindows() {
  TMainWindows windows;
  windows.form = std::make_unique<TForm1>();
  Application().SetMainForm(windows.form.get());
  windows.form->OnCreate();
  windows.about = std::make_unique<TAboutBox>(windows.form.get());
  windows.about->OnCreate();
  windows.form->SetAboutBox(*windows.about);
  windows.form->Show();
  windows.form->FinishStartUp();
  return windows;
}
