#pragma once
// The application: its title, its forms and main form, the message loop and the standard error
// box. One per program, reached through Application().

#include <windows.h>

#include <exception>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/Form.h"

struct TPopupOwner;

class TApplication : private TMainFormOwner {
 public:
  TApplication();
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // The caption of message boxes and the error box; "Tessarin".
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title) { title_ = title; }

  // Makes a form that the application owns until Run ends; the first one becomes the main form.
  // Runs the form's OnCreate when it is set.
  template <typename T, typename... Args>
  T& CreateForm(Args&&... args) {
    auto form = std::make_unique<T>(std::forward<Args>(args)...);
    T& result = *form;
    Adopt(std::move(form));
    return result;
  }
  // Not owned. Closing the main form ends the message loop.
  TForm* MainForm() const { return mainForm_; }
  void SetMainForm(TForm* form);

  // Shows the main form and handles messages until Terminate, then destroys the forms made by
  // CreateForm, last made first.
  void Run();
  // Handles the messages already waiting, then returns.
  void ProcessMessages();
  // The same for the messages of `window` and its child windows only; the rest keep waiting.
  void ProcessMessagesOf(HWND window);
  // Ends Run's loop.
  void Terminate();
  bool Terminated() const { return terminated_; }

  // The status text of what the pointer or a highlighted menu item is on.
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint) { hint_ = hint; }

  // The standard error box: stop icon, the title as caption, the error's text with a full stop
  // added when it has none.
  void ShowException(const std::exception& error);
  // A modal message box with the title as caption, its long lines cut in the middle so that it
  // fits the screen (naming/MessageText.h); returns MessageBoxA's answer.
  int MessageBox(const std::string& text, UINT flags = MB_OK);

  // The text the error box shows for `message`.
  static std::string ErrorText(const std::string& message);

 private:
  void Adopt(std::unique_ptr<TForm> form);
  void MainFormClosed() override { Terminate(); }
  void MainFormDestroyed() override { mainForm_ = nullptr; }
  // Menu shortcuts and dialog keys (Tab, Enter, Alt mnemonics); true when the message was used.
  bool Preprocess(MSG& message);
  void Dispatch(MSG& message);
  HWND MessageBoxOwner() const;

  std::string title_ = "Tessarin";
  std::string hint_;
  std::vector<std::unique_ptr<TForm>> forms_;
  TForm* mainForm_ = nullptr;  // not owned
  bool running_ = false;
  bool terminated_ = false;
};

TApplication& Application();

// A popup menu's owner: `form`, else the application's main form at the time the menu is shown;
// the highlighted item's hint becomes the application's hint.
TPopupOwner FormPopupOwner(TForm* form = nullptr);
