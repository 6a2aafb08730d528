#pragma once
// The main window and its About box as the program's entry makes them, for tests that play the user
// (testkit/UserInput.h) and press keys.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <utility>

#include "framework/Application.h"
#include "shell/ShellIDFunc.h"
#include "testkit/MainWindows.h"
#include "testkit/UserInput.h"
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

// The undo record's file, beside the settings.
inline std::string UndoFilePath() {
  return SettingsFilePath().substr(0, SettingsFilePath().rfind('\\')) + "\\Tessarin.undo";
}

// Both files the main window keeps, so that every test starts as a first start.
inline void RemoveSettingsFile() {
  DeleteFileA(SettingsFilePath().c_str());
  RemoveDirectoryA(SettingsFilePath().c_str());
  DeleteFileA(UndoFilePath().c_str());
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

  // As the entry does: the main window, then the About box.
  void Start() {
    TMainWindows windows = OpenMainWindows();
    form = std::move(windows.form);
    about = std::move(windows.about);
    Pump();
  }
  void Stop() {
    about.reset();
    form.reset();
  }

  static void Pump() { Application().ProcessMessages(); }

  // A key pressed on the focused window, through the application's message handling.
  static void PressKey(UINT key, bool ctrl = false, bool alt = false) {
    SetModifierKeys(ctrl, alt);
    PostMessageA(GetFocus(), alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, alt ? (1 | (1 << 29)) : 1);
    Pump();
    SetModifierKeys(false, false);
  }

  int OuterHeight() const { return form->Height(); }
  // Selects a folder in the tree as a program would, and checks that the tree took it.
  void Select(const std::string& path) {
    TShIDListPtr list;
    ASSERT_TRUE(IDListFromPath(path, list.Out())) << path;
    form->ShellTreeView1.SelectIDList(list.Get());
    ASSERT_EQ(form->ShellTreeView1.SelectedPath(), path);
  }

  std::unique_ptr<TForm1> form;
  std::unique_ptr<TAboutBox> about;
};
