#pragma once
// A top-level window holding controls: caption, fixed border, optional main menu, background
// colour, and closing that its owner can cancel or turn into hiding.

#include <functional>
#include <string>
#include <vector>

#include "framework/Container.h"

class TMainMenu;
class TButton;

enum class TBorderStyle {
  Single,  // fixed single border; system menu and minimise box
  Dialog,  // dialog frame; close box only
};

// What closing a form does, as the OnClose handler leaves it. Closing the application's main
// form ends the program unless the handler says None.
enum class TCloseAction { None, Hide };

// What the main form tells the program that made it the main one (the application), so forms
// need not know the application.
class TMainFormOwner {
 public:
  // Closing the main form ends the program.
  virtual void MainFormClosed() = 0;
  virtual void MainFormDestroyed() = 0;

 protected:
  ~TMainFormOwner() = default;
};

class TForm : public TContainer {
 public:
  // Created hidden. `owner`: a form that this one stays above, so it has no task-bar button.
  TForm(const std::string& caption, TBorderStyle border, TForm* owner = nullptr);
  ~TForm() override;

  // In pixels; the frame keeps its size.
  void SetClientSize(int width, int height);
  int ClientWidth() const;
  int ClientHeight() const;

  // The menu bar; not owned, it must outlive the form's window.
  void SetMainMenu(TMainMenu& menu);
  TMainMenu* Menu() const { return menu_; }

  // Centre on the screen when first shown; later showings keep the place it was left at.
  void SetCenterOnFirstShow(bool center) { centerOnFirstShow_ = center; }
  // Makes the form visible and brings it to the front.
  void Show();
  void Hide();
  // Closes as the close box does: OnClose decides between hiding (the default) and staying open.
  void Close();

  // The push button that Enter presses wherever the focus is, unless the focused control takes
  // Enter itself (a memo, or another push button); null for none.
  TButton* DefaultButton() const;

  // Runs `work` once the thread has nothing more urgent to do: after every message sent, posted
  // or typed before, and once every window has painted.
  void WhenIdle(std::function<void()> work);

  // Set by the application on its main form; not owned.
  void SetMainFormOwner(TMainFormOwner* owner) { mainFormOwner_ = owner; }

  // Run by TApplication::CreateForm once the form and its controls exist.
  std::function<void()> OnCreate;
  // Run once, after the shown form and its controls have all painted for the first time: work
  // that may wait until the window is on the screen.
  std::function<void()> OnFirstPainted;
  std::function<void(TCloseAction& action)> OnClose;
  // Run when the window has moved to a monitor of another DPI (or that monitor's DPI changed), once
  // its controls stand at their places of the layout for it and the window at the place the system
  // suggests: what the form places or draws by measure follows here.
  std::function<void()> OnDpiChanged;

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void MenuCommand(WORD id) override;

 private:
  // Focus to `control` as dialog navigation moves it; nothing for a window not inside the form.
  void MoveFocus(HWND control);
  void LoadProgramIcons();

  TMainMenu* menu_ = nullptr;                // not owned
  TMainFormOwner* mainFormOwner_ = nullptr;  // not owned
  bool centerOnFirstShow_ = false;
  bool shown_ = false;
  bool firstPaintSeen_ = false;
  bool hasProgramIcons_ = false;  // a window with a title bar's icons
  std::vector<std::function<void()>> idleWork_;
  HWND lastFocus_ = nullptr;
};
