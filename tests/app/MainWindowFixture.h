#pragma once
// The main window and its About box as the program's entry makes them, with helpers that play the
// user through the real message paths: texts replaced as typing does, buttons clicked, list entries
// picked and dates changed with the notifications the controls send.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "app/About.h"
#include "app/Main.h"
#include "framework/Application.h"
#include "tests/support/KeyboardState.h"

// The settings file as the private-profile functions resolve its bare name.
inline std::string SettingsFilePath() {
  char directory[MAX_PATH] = {};
  GetWindowsDirectoryA(directory, MAX_PATH);
  return std::string(directory) + "\\Tessarin.ini";
}

inline std::string StoredValue(const char* key) {
  char value[256] = {};
  GetPrivateProfileStringA("Tessarin", key, "", value, sizeof value, SettingsFilePath().c_str());
  return value;
}

inline void RemoveSettingsFile() {
  DeleteFileA(SettingsFilePath().c_str());
  RemoveDirectoryA(SettingsFilePath().c_str());
}

class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    RemoveSettingsFile();
    Start();
  }
  void TearDown() override {
    Stop();
    SetModifierKeys(false, false);
    RemoveSettingsFile();
  }

  // As the entry does: the main window, then the About box; each one's OnCreate when it is made.
  void Start() {
    form = std::make_unique<TForm1>();
    Application().SetMainForm(form.get());
    form->OnCreate();
    about = std::make_unique<TAboutBox>(form.get());
    about->OnCreate();
    form->SetAboutBox(*about);
    form->Show();
    Pump();
  }
  void Stop() {
    about.reset();
    form.reset();
  }

  static void Pump() { Application().ProcessMessages(); }

  // Replaces the whole text as the user does by selecting it and typing over it.
  static void Type(TWinControl& field, const std::string& text) {
    SendMessageA(field.Handle(), EM_SETSEL, 0, -1);
    SendMessageA(field.Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
  }
  // Typed characters, as the keyboard's WM_CHAR messages bring them.
  static void TypeChars(TWinControl& field, const std::string& text) {
    for (char c : text) SendMessageA(field.Handle(), WM_CHAR, static_cast<unsigned char>(c), 1);
  }
  static void Click(TWinControl& button) { SendMessageA(button.Handle(), BM_CLICK, 0, 0); }
  static void Pick(TComboBox& list, int index) {
    SendMessageA(list.Handle(), CB_SETCURSEL, index, 0);
    SendMessageA(GetParent(list.Handle()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list.Handle()), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list.Handle()));
  }
  static void ChangeDate(TDateTimePicker& picker, WORD year, WORD month, WORD day) {
    SYSTEMTIME date{};
    date.wYear = year;
    date.wMonth = month;
    date.wDay = day;
    SendMessageA(picker.Handle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date));
    NMDATETIMECHANGE change{};
    change.nmhdr.hwndFrom = picker.Handle();
    change.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(picker.Handle()));
    change.nmhdr.code = DTN_DATETIMECHANGE;
    change.st = date;
    SendMessageA(GetParent(picker.Handle()), WM_NOTIFY, change.nmhdr.idFrom, reinterpret_cast<LPARAM>(&change));
  }

  // A key pressed on the focused window, through the application's message handling.
  static void PressKey(UINT key, bool ctrl = false, bool alt = false) {
    SetModifierKeys(ctrl, alt);
    PostMessageA(GetFocus(), alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, alt ? (1 | (1 << 29)) : 1);
    Pump();
    SetModifierKeys(false, false);
  }

  int OuterHeight() const { return form->Height(); }

  std::unique_ptr<TForm1> form;
  std::unique_ptr<TAboutBox> about;
};
