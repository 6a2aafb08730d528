// Template files through the main window as a user works with them: Ctrl+S and Ctrl+O pressed as
// keys, the file named by typing into the standard dialog, a new window opening what the old one
// saved, the recent files on the ファイル menu, and files broken by hand.

#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "naming/CreationRun.h"
#include "shell/ShellIDFunc.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/MessageBoxCloser.h"
#include "tests/support/MessagePump.h"
#include "tests/support/RealKeys.h"
#include "tests/support/ScratchFolder.h"

namespace {

constexpr int kMessageTextId = 0xFFFF;  // the static control holding a message box's text

struct TDialogs {
  HWND fileDialog = nullptr;
  std::vector<HWND> boxes;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM found) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char className[16] = {};
  GetClassNameA(window, className, sizeof className);
  if (process != GetCurrentProcessId() || !IsWindowVisible(window) ||
      std::string(className) != "#32770")
    return TRUE;
  auto& dialogs = *reinterpret_cast<TDialogs*>(found);
  if (GetDlgItem(window, kMessageTextId))
    dialogs.boxes.push_back(window);
  else
    dialogs.fileDialog = window;
  return TRUE;
}

// Plays the user at the standard file dialog from a thread of its own while the window's thread
// runs the dialog: reads the folder it starts in, types the path into its name field (which has
// the focus) and presses Enter. Every message box that follows is read and closed.
class TFileDialogUser {
 public:
  explicit TFileDialogUser(std::string path)
      : path_(std::move(path)), worker_([this] { Work(); }) {}
  ~TFileDialogUser() {
    stop_ = true;
    worker_.join();
  }

  bool NameTyped() const { return typed_; }
  std::string StartFolder() const {
    std::lock_guard<std::mutex> guard(lock_);
    return startFolder_;
  }
  std::vector<std::string> BoxTexts() const {
    std::lock_guard<std::mutex> guard(lock_);
    return boxTexts_;
  }

 private:
  void Work() {
    std::vector<HWND> closed;
    for (; !stop_; Sleep(20)) {
      TDialogs dialogs;
      EnumWindows(&CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
      if (dialogs.fileDialog && !typed_) {
        Sleep(300);  // until the dialog has filled its list and put the focus in its name field
        char folder[MAX_PATH] = {};
        SendMessageA(dialogs.fileDialog, CDM_GETFOLDERPATH, sizeof folder,
                     reinterpret_cast<LPARAM>(folder));
        {
          std::lock_guard<std::mutex> guard(lock_);
          startFolder_ = folder;
        }
        SetForegroundWindow(dialogs.fileDialog);
        TypeUnicode(path_);
        PressChord({VK_RETURN});
        typed_ = true;
      }
      for (HWND box : dialogs.boxes) {
        if (std::find(closed.begin(), closed.end(), box) != closed.end()) continue;
        char text[4096] = {};
        GetDlgItemTextA(box, kMessageTextId, text, sizeof text);
        {
          std::lock_guard<std::mutex> guard(lock_);
          boxTexts_.push_back(text);
        }
        closed.push_back(box);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
      }
    }
  }

  const std::string path_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> typed_{false};
  mutable std::mutex lock_;
  std::string startFolder_;
  std::vector<std::string> boxTexts_;
  std::thread worker_;
};

// The names of the folders below `path`, depth first, as paths relative to it.
void CollectTree(const std::string& path, const std::string& prefix,
                 std::vector<std::string>& names) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  std::vector<std::string> here;
  do {
    const std::string name = found.cFileName;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..")
      here.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(here.begin(), here.end());
  for (const std::string& name : here) {
    names.push_back(prefix + name);
    CollectTree(path + "\\" + name, prefix + name + "\\", names);
  }
}

std::vector<std::string> Tree(const std::string& path) {
  std::vector<std::string> names;
  CollectTree(path, "", names);
  return names;
}

// What the user sees of a tier besides its fields: the sample line, the count on its strip, the
// line counter and which parameter rows are enabled.
std::string TierLook(const TTierPanel& tier) {
  std::string look = tier.SampleLine.Caption() + "|" + tier.RunCount.Caption() + "|" +
                     tier.LineCounter.Caption() + "|";
  for (const TKindRow& row : tier.Rows)
    for (const TWinControl* control : row.Parameters) look += control->Enabled() ? "1" : "0";
  return look;
}

class TemplateFileWindow : public MainWindowTest {
 protected:
  TemplateFileWindow() : scratch_("Templates") {}

  void Select(const std::string& path) {
    TShIDListPtr list;
    ASSERT_TRUE(IDListFromPath(path, list.Out())) << path;
    form->ShellTreeView1.SelectIDList(list.Get());
    ASSERT_EQ(form->ShellTreeView1.SelectedPath(), path);
  }

  // Presses the shortcut on the main window and answers its dialog with `path`; the texts of the
  // boxes that followed.
  std::vector<std::string> UseDialog(WORD key, const std::string& path,
                                     std::string* startFolder = nullptr) {
    SetForegroundWindow(form->Handle());
    Pump();
    TFileDialogUser user(path);
    PressChord({VK_CONTROL, key});
    for (int i = 0; i < 500 && !user.NameTyped(); ++i) {
      Application().ProcessMessages();
      Sleep(10);
    }
    EXPECT_TRUE(user.NameTyped()) << "no file dialog";
    for (int i = 0; i < 20; ++i) {
      Application().ProcessMessages();
      Sleep(10);
    }
    if (startFolder) *startFolder = user.StartFolder();
    return user.BoxTexts();
  }

  std::vector<std::string> PressCreate() {
    TMessageBoxCloser closer;
    Click(form->Button1);
    return closer.Texts();
  }

  // A window that has only been started, as after a restart.
  void Restart() {
    Stop();
    Start();
  }

  TScratchFolder scratch_;
};

TEST_F(TemplateFileWindow, SavedInOneWindowOpenedInANewOneEverythingIsBackAndMakesTheSameFolders) {
  const std::string first = scratch_.MakeFolder("first");
  Select(first);
  // Parent: dates over a month end in format 6, with the free lines before the rest.
  Click(form->RadioButton2);
  Type(form->Edit1, " 写真_");
  Type(form->Edit2, "_済");
  ChangeDate(form->DateTimePicker1, 2004, 1, 30);
  ChangeDate(form->DateTimePicker2, 2004, 2, 2);
  Pick(form->ComboBox1, 6);
  Type(form->Memo1, "東京\r\n\r\n大阪\r\n");
  Pick(form->ComboBox3, 4);
  // Its number and letter rows hold values too, though they take no part.
  Type(form->SpinEdit2, "7");
  Type(form->SpinEdit1, "9");
  Type(form->SpinEdit4, "30");
  // Child: two lower-case letters, A + 01 + * + B.
  Click(form->CheckBox1);
  Click(form->RadioButton7());
  Type(form->SpinEdit9(), "3");
  Pick(form->ComboBox5(), 1);
  Type(form->SpinEdit10(), "2");
  Type(form->Edit4(), "c");
  Type(form->Memo2(), "x\r\ny");
  Pick(form->ComboBox6(), 2);

  const std::string file = scratch_.PathOf("月次 & 写真.tsnt");
  EXPECT_TRUE(UseDialog('S', file).empty());
  ASSERT_NE(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES);
  const naming::TemplateValues saved = form->TemplateFromWindow();
  const std::string parentLook = TierLook(form->ParentTier);
  const std::string childLook = TierLook(form->ChildTier());
  EXPECT_EQ(PressCreate().size(), 1u);
  const std::vector<std::string> madeFirst = Tree(first);
  ASSERT_EQ(madeFirst.size(), 4u * (1 + 3));

  // The same template in a new window, run into a new folder named by the file's target.
  ASSERT_TRUE(MoveFileA(first.c_str(), scratch_.PathOf("made by the first").c_str()));
  CreateDirectoryA(first.c_str(), nullptr);
  Restart();
  EXPECT_EQ(form->Label24.Caption(), "sample");
  std::string startFolder;
  EXPECT_TRUE(UseDialog('O', file, &startFolder).empty());
  EXPECT_EQ(startFolder, scratch_.Path());  // the folder of the last file saved
  EXPECT_TRUE(form->TemplateFromWindow() == saved);
  EXPECT_EQ(TierLook(form->ParentTier), parentLook);
  EXPECT_EQ(TierLook(form->ChildTier()), childLook);
  EXPECT_EQ(form->Height(), TForm1::kFullHeight);
  EXPECT_EQ(form->ShellTreeView1.SelectedPath(), first);
  EXPECT_EQ(PressCreate().size(), 1u);
  EXPECT_EQ(Tree(first), madeFirst);
}

TEST_F(TemplateFileWindow, TheFileMenuListsTheLastFourFilesNewestFirstAndOpensOneByItsNumber) {
  std::vector<std::string> files;
  for (int i = 1; i <= 5; ++i) {
    Type(form->Edit1, "t" + std::to_string(i));
    files.push_back(scratch_.PathOf("t" + std::to_string(i) + ".tsnt"));
    form->SaveTemplateFile(files.back());
  }
  Restart();  // the list comes from the settings file
  const HMENU menu = form->File1.SubMenu();
  std::vector<std::string> texts;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[MAX_PATH] = {};
    GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    texts.push_back(text);
  }
  ASSERT_EQ(texts.size(), 2u + 4u + 2u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(texts[2 + static_cast<std::size_t>(i)].substr(0, 3),
              "&" + std::to_string(i + 1) + " ");
    EXPECT_NE(texts[2 + static_cast<std::size_t>(i)].find("t" + std::to_string(5 - i)),
              std::string::npos);
  }

  // Alt+F, then 3 once the menu shows: the third newest.
  SetForegroundWindow(form->Handle());
  Pump();
  std::thread chooser([] {
    for (int i = 0; i < 300 && !IsWindowVisible(FindWindowA("#32768", nullptr)); ++i) Sleep(10);
    Sleep(100);
    PressChord({'3'});
  });
  PressChord({VK_MENU, 'F'});
  for (int i = 0; i < 100 && form->Edit1.Text() != "t3"; ++i) {
    Application().ProcessMessages();
    Sleep(10);
  }
  chooser.join();
  EXPECT_EQ(form->Edit1.Text(), "t3");
  EXPECT_NE(form->Label24.Caption(), "sample");
}

TEST_F(TemplateFileWindow, AHandBrokenFileSaysInOneBoxWhatItReplacedAndKeepsTheRest) {
  Type(form->SpinEdit1, "500");  // the window's start stands above the file's end
  {
    // A child digit count that is no integer: setting the parent must not stop at it.
    TMessageBoxCloser closer;
    Type(form->SpinEdit8(), "1.5");
  }
  const std::string file = scratch_.MakeFile(
      "broken.tsnt",
      "[Tessarin]\nVersion=1\nTarget=" + scratch_.PathOf("gone") +
          "\nColour=blue\n"
          "[Parent]\nFront=keep\nStartNumber=5\nEndNumber=3\nDigits=11\nKind=number\nLine=a\n");
  const std::vector<std::string> boxes = UseDialog('O', file);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("[Parent] Digits: \"11\""), std::string::npos) << boxes[0];
  EXPECT_NE(boxes[0].find(scratch_.PathOf("gone")), std::string::npos) << boxes[0];
  EXPECT_EQ(form->Edit1.Text(), "keep");
  EXPECT_EQ(form->SpinEdit1.Text(), "5");
  EXPECT_EQ(form->SpinEdit2.Text(), "3");  // as the file has it, not pulled up to 500 or 5
  EXPECT_EQ(form->SpinEdit3.Text(), "1");
  EXPECT_EQ(form->Label24.Caption(), "keep5");
  EXPECT_EQ(form->Label27.Caption(), "   1");
}

TEST_F(TemplateFileWindow, AFileThatIsNoTemplateIsRefusedAndChangesNothing) {
  Type(form->Edit1, "mine");
  Type(form->SpinEdit5, "1.5");
  const naming::TemplateValues before = form->TemplateFromWindow();
  const std::string file = scratch_.MakeFile("notes.tsnt", "Front=x\r\nthese are notes\r\n");
  const std::vector<std::string> boxes = UseDialog('O', file);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("テンプレートではありません"), std::string::npos) << boxes[0];
  EXPECT_TRUE(form->TemplateFromWindow() == before);
}

}  // namespace
