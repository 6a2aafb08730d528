// Whole creation runs through the main window: a folder selected in the real folder tree with
// SelectIDList, the templates filled in through their controls, one press of "作成(&M)", the one
// closing box read and closed, and the folders checked on disk.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "naming/CreationRun.h"
#include "naming/FolderCount.h"
#include "shell/ShellIDFunc.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/KeyInput.h"
#include "tests/support/MessageBoxCloser.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScratchFolder.h"

namespace {

using naming::SequenceKind;

// The box of a run that made folders.
std::string Created() { return "フォルダを作成しました"; }

class CreationRunEndToEnd : public MainWindowTest {
 protected:
  CreationRunEndToEnd() : scratch_("EndToEnd") {}

  // Parent tier: number kind from `first` to `last` with `digits` digits, front P, back X.
  void NumberRun(const char* first, const char* last, const char* digits) {
    Click(form->ParentTier.Row(SequenceKind::Number).Radio);
    Type(form->ParentTier.FrontText, "P");
    Type(form->ParentTier.BackText, "X");
    Type(form->ParentTier.StartNumber, first);
    Type(form->ParentTier.EndNumber, last);
    Type(form->ParentTier.DigitCount, digits);
  }

  // Child folders "c" with the numbers 1 to `last` in every new folder.
  void ChildNumberRun(const char* last, const char* digits) {
    Click(form->CheckBox1);
    Click(form->ChildTier().Row(SequenceKind::Number).Radio);
    Type(form->ChildTier().FrontText, "c");
    Type(form->ChildTier().StartNumber, "1");
    Type(form->ChildTier().EndNumber, last);
    Type(form->ChildTier().DigitCount, digits);
  }

  // Presses the button; the texts of the boxes the press showed.
  std::vector<std::string> Press() {
    TMessageBoxCloser closer;
    Click(form->Button1);
    return closer.Texts();
  }

  TScratchFolder scratch_;
};

TEST_F(CreationRunEndToEnd, NumbersWithFreeLinesInTheSelectedFolder) {
  const std::string after = scratch_.MakeFolder("after");
  const std::string before = scratch_.MakeFolder("before");
  NumberRun("1", "3", "2");
  Type(form->ParentTier.FreeLines, "a\r\nb");

  Select(after);
  Pick(form->ParentTier.Pattern, 1);  // A + 01 + B + *
  EXPECT_EQ(Press(), std::vector<std::string>{Created()});
  EXPECT_EQ(FolderNames(after), (std::vector<std::string>{"P01Xa", "P02Xb", "P03X"}));

  Select(before);
  Pick(form->ParentTier.Pattern, 4);  // * + A + 01 + B
  EXPECT_EQ(Press(), std::vector<std::string>{Created()});
  EXPECT_EQ(FolderNames(before), (std::vector<std::string>{"P03X", "aP01X", "bP02X"}));
}

// Typed with Unicode key events, as on-screen keyboards and input tools send text: Japanese reaches
// the fields whole (ソ and 表 end in a backslash byte, ポ in "|"), and digits, Tab, Enter and the
// Alt mnemonic work around it. 〜 of other systems' mapping is this code page's ～; é, which the
// code page lacks, is refused rather than made "e".
TEST_F(CreationRunEndToEnd, JapaneseTypedAtTheKeyboardMakesThoseNames) {
  Select(scratch_.Path());
  Click(form->ParentTier.Row(SequenceKind::Number).Radio);
  Pick(form->ParentTier.Pattern, 1);  // A + 01 + B + *
  SetForegroundWindow(form->Handle());
  form->ParentTier.EndNumber.SetFocus();
  SendMessageA(form->ParentTier.EndNumber.Handle(), EM_SETSEL, 0, -1);
  TypeAsUnicodeKeys("1");  // 0 to 1
  ASSERT_TRUE(WaitForText(form->ParentTier.EndNumber.Handle(), "1"));
  form->ParentTier.FrontText.SetFocus();
  TypeAsUnicodeKeys(L"ソ〜é表");
  PressKeys({VK_TAB});
  TypeAsUnicodeKeys("能ポ");
  PressKeys({VK_TAB});
  TypeAsUnicodeKeys("ゼロ");
  PressKeys({VK_RETURN});
  TypeAsUnicodeKeys("ab");
  ASSERT_TRUE(WaitForText(form->ParentTier.FreeLines.Handle(), "ゼロ\r\nab"));
  EXPECT_EQ(form->ParentTier.FrontText.Text(), "ソ～表");
  EXPECT_EQ(form->ParentTier.BackText.Text(), "能ポ");

  TMessageBoxCloser closer;
  PressKeys({VK_MENU, 'M'});  // 作成(&M)
  PumpMessagesUntil([&] { return FolderNames(scratch_.Path()).size() == 2; }, 3000);
  EXPECT_EQ(FolderNames(scratch_.Path()),
            (std::vector<std::string>{"ソ～表0能ポゼロ", "ソ～表1能ポab"}));
}

TEST_F(CreationRunEndToEnd, NoneKindMakesOneFolderOfThreeEqualNames) {
  Select(scratch_.Path());
  Click(form->ParentTier.Row(SequenceKind::None).Radio);
  Type(form->ParentTier.FrontText, "Q");
  Type(form->ParentTier.FreeLines, "l1\r\nl2\r\nl3");
  Pick(form->ParentTier.Pattern, 0);  // the free lines are not used
  // The second and third creation find the folder there: no failure to report.
  EXPECT_EQ(Press(), std::vector<std::string>{Created()});
  EXPECT_EQ(FolderNames(scratch_.Path()), std::vector<std::string>{"Q"});
}

TEST_F(CreationRunEndToEnd, ChildFoldersGoIntoEveryParentAlsoOneThatExists) {
  scratch_.MakeFolder("P02X\\kept");
  Select(scratch_.Path());
  NumberRun("1", "2", "2");
  Pick(form->ParentTier.Pattern, 0);
  ChildNumberRun("2", "1");

  EXPECT_EQ(Press(), std::vector<std::string>{Created()});
  EXPECT_EQ(FolderNames(scratch_.Path()), (std::vector<std::string>{"P01X", "P02X"}));
  EXPECT_EQ(FolderNames(scratch_.PathOf("P01X")), (std::vector<std::string>{"c1", "c2"}));
  EXPECT_EQ(FolderNames(scratch_.PathOf("P02X")), (std::vector<std::string>{"c1", "c2", "kept"}));
}

TEST_F(CreationRunEndToEnd, ADriveRootSelectedMakesTheFoldersInTheRoot) {
  const std::string front = "TessarinEndToEnd" + std::to_string(GetCurrentProcessId()) + "-";
  const std::string made = "C:\\" + front + "1";
  Select("C:\\");  // the path keeps its backslash, so the run joins C:\ + \ + name
  Click(form->ParentTier.Row(SequenceKind::Number).Radio);
  Type(form->ParentTier.FrontText, front);
  Type(form->ParentTier.StartNumber, "1");
  Type(form->ParentTier.EndNumber, "1");
  Type(form->ParentTier.DigitCount, "1");
  Pick(form->ParentTier.Pattern, 0);

  EXPECT_EQ(Press(), std::vector<std::string>{Created()});
  const DWORD attributes = GetFileAttributesA(made.c_str());
  EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
  RemoveDirectoryA(made.c_str());
}

TEST_F(CreationRunEndToEnd, ALargeRunAsksFirstAndCancelMakesNothing) {
  Select(scratch_.Path());
  NumberRun("1", "1001", "4");
  std::vector<std::string> texts;
  {
    TMessageBoxCloser closer(IDCANCEL);
    Click(form->Button1);
    texts = closer.Texts();
  }
  EXPECT_EQ(texts, std::vector<std::string>{
                       "1,001 個のフォルダを作成します。よろしいですか？\r\n\r\n最初: " +
                       scratch_.PathOf("P0001X") + "\r\n最後: " + scratch_.PathOf("P1001X")});
  EXPECT_TRUE(FolderNames(scratch_.Path()).empty());
  EXPECT_FALSE(form->UndoCreation1.Enabled());
}

// Escape on the progress window stops a nested run between two creations: what was made is a
// depth-first prefix of the run, and the closing box counts it.
TEST_F(CreationRunEndToEnd, EscapeStopsALongNestedRunLeavingAConsistentTree) {
  Select(scratch_.Path());
  NumberRun("1", "200", "3");
  ChildNumberRun("100", "3");

  std::atomic<bool> sawProgress{false}, mainTookInput{true};
  std::thread stopper([&] {
    HWND progress = nullptr;
    // Shown, not only made: its button and the disabled main window come before it shows.
    for (int i = 0; i < 2000 && !(progress && IsWindowVisible(progress)); ++i, Sleep(10)) {
      progress = FindWindowA("TessarinForm", "フォルダを作成しています");
    }
    if (!progress || !IsWindowVisible(progress)) return;
    sawProgress = true;
    mainTookInput = IsWindowEnabled(form->Handle()) != FALSE;
    PostMessageA(FindWindowExA(progress, nullptr, "Button", nullptr), WM_KEYDOWN, VK_ESCAPE, 1);
  });
  const std::vector<std::string> texts = Press();
  stopper.join();
  ASSERT_TRUE(sawProgress);
  EXPECT_FALSE(mainTookInput);
  EXPECT_TRUE(IsWindowEnabled(form->Handle()));

  ASSERT_EQ(texts.size(), 2u);  // the question, then the one closing box
  const std::string lead = "作成を中止しました。\r\n中止までに ";
  ASSERT_EQ(texts[1].rfind(lead, 0), 0u) << texts[1];
  std::string count = texts[1].substr(lead.size(), texts[1].find(' ', lead.size()) - lead.size());
  count.erase(std::remove(count.begin(), count.end(), ','), count.end());

  const std::vector<std::string> parents = FolderNames(scratch_.Path());
  std::size_t made = parents.size();
  for (std::size_t k = 0; k < parents.size(); ++k) {
    char name[16];
    std::snprintf(name, sizeof name, "P%03zuX", k + 1);
    ASSERT_EQ(parents[k], name);
    const std::vector<std::string> children = FolderNames(scratch_.PathOf(parents[k]));
    made += children.size();
    if (k + 1 < parents.size()) {
      EXPECT_EQ(children.size(), 100u) << name;  // only the last is partial
    }
    for (std::size_t j = 0; j < children.size(); ++j) {
      std::snprintf(name, sizeof name, "c%03zu", j + 1);
      EXPECT_TRUE(std::find(children.begin(), children.end(), name) != children.end()) << name;
    }
  }
  EXPECT_EQ(std::to_string(made), count);
  EXPECT_LT(made, 20200u);
}

// Wine stamps a folder's last change as its creation: a folder filled and emptied after the run
// carries a new stamp, and says so, as nothing else in its directory changed since the run.
TEST_F(CreationRunEndToEnd, UndoTakesTheLastRunBackButKeepsWhatHoldsAFileOrWasThere) {
  EXPECT_FALSE(form->UndoCreation1.Enabled());
  scratch_.MakeFolder("P02X");
  Select(scratch_.Path());
  NumberRun("1", "3", "2");
  ChildNumberRun("2", "1");
  EXPECT_EQ(Press(), std::vector<std::string>{Created()});
  ASSERT_TRUE(form->UndoCreation1.Enabled());
  scratch_.MakeFile("P01X\\c2\\note.txt", "x");
  ASSERT_TRUE(DeleteFileA(scratch_.MakeFile("P03X\\brief.txt", "x").c_str()));

  TMessageBoxCloser closer;
  form->UndoCreation1.Click();
  EXPECT_EQ(closer.Texts(), std::vector<std::string>{
                                "作成したフォルダを 5 個削除しました。\r\n3 個は残しました:\r\n"
                                "  中にファイルかフォルダがある: 2 個 (最初のフォルダ: " +
                                scratch_.PathOf("P01X\\c2") +
                                ")\r\n  作成後に中身が変わった: 1 個 (最初のフォルダ: " +
                                scratch_.PathOf("P03X") + ")"});
  EXPECT_EQ(FolderNames(scratch_.Path()), (std::vector<std::string>{"P01X", "P02X", "P03X"}));
  EXPECT_EQ(FolderNames(scratch_.PathOf("P01X")), std::vector<std::string>{"c2"});
  EXPECT_TRUE(FolderNames(scratch_.PathOf("P02X")).empty());
  EXPECT_TRUE(FolderNames(scratch_.PathOf("P03X")).empty());
  // No later undo could take P03X: only what holds something stays to be taken.
  EXPECT_EQ(form->UndoCreation1.Caption(), "作成を元に戻す (2 個)(&R)");
}

// "作成を元に戻す" chosen by its keys, Alt+E and then R once the menu shows; the boxes it showed,
// and the item's text as the menu showed it.
struct ChosenUndo {
  std::vector<std::string> texts;
  std::string item;
};

class UndoEndToEnd : public CreationRunEndToEnd {
 protected:
  ChosenUndo ChooseUndo() {
    ChosenUndo chosen;
    char text[128] = {};
    GetMenuStringA(GetMenu(form->Handle()), form->UndoCreation1.Command(), text, sizeof text,
                   MF_BYCOMMAND);
    chosen.item = text;
    TMessageBoxCloser closer;
    SetForegroundWindow(form->Handle());
    Pump();
    {
      const TKeyWhenMenuShows choice('R');
      PressKeys({VK_MENU, 'E'});
      PumpMessagesUntil([&] { return !closer.Texts().empty(); }, 10000);
    }
    chosen.texts = closer.Texts();
    return chosen;
  }
};

// A second run that makes nothing, its folders there already or refused, leaves the first run's
// record as it was, in the window and in the file. Under Wine a folder's stamp is its last change:
// once its directory changed after the run, a folder stamped since may be the run's, changed, or
// another in its place; either way no later undo could take it, and the record lets it go.
TEST_F(UndoEndToEnd, AStandInIsKeptAndASecondRunThatMakesNothingKeepsTheUndo) {
  Select(scratch_.Path());
  NumberRun("1", "3", "1");
  EXPECT_EQ(Press(), std::vector<std::string>{Created()});
  scratch_.MakeFile("P4X", "in the way");
  Type(form->ParentTier.EndNumber, "4");
  // Three there already, one refused: nothing made.
  EXPECT_EQ(Press(), std::vector<std::string>{
                         "フォルダを作成できませんでした。\r\n3 個のフォルダは既にあります。\r\n1 "
                         "個のフォルダを作成できませんでした。最初のフォルダ: " +
                         scratch_.PathOf("P4X") + " (同じ名前のファイルがあります)"});
  EXPECT_EQ(form->UndoCreation1.Caption(), "作成を元に戻す (3 個)(&R)");
  Stop();
  Start();
  // The first run's folder renamed away and an empty one of its name made in its place; another
  // removed.
  ASSERT_TRUE(MoveFileA(scratch_.PathOf("P2X").c_str(), scratch_.PathOf("away").c_str()));
  scratch_.MakeFolder("P2X");
  ASSERT_TRUE(RemoveDirectoryA(scratch_.PathOf("P3X").c_str()));

  const ChosenUndo undo = ChooseUndo();
  EXPECT_EQ(undo.item, "作成を元に戻す (3 個)(&R)");
  EXPECT_EQ(undo.texts,
            std::vector<std::string>{
                "作成したフォルダを 1 個削除しました。\r\n"
                "すでになかったフォルダ (名前の変更か削除): 1 個 (最初のフォルダ: " +
                scratch_.PathOf("P3X") +
                ")\r\n1 個は残しました:\r\n  作成後に中身が変わったか、置き換えられた: 1 個 "
                "(最初のフォルダ: " +
                scratch_.PathOf("P2X") + ")"});
  EXPECT_EQ(FolderNames(scratch_.Path()), (std::vector<std::string>{"P2X", "away"}));
  EXPECT_EQ(form->UndoCreation1.Caption(), "作成を元に戻す(&R)");
  EXPECT_FALSE(form->UndoCreation1.Enabled());
}

TEST_F(UndoEndToEnd, UndoAfterARestartRemovesTheFirstRunsFolders) {
  Select(scratch_.Path());
  NumberRun("1", "3", "1");
  ChildNumberRun("2", "1");
  EXPECT_EQ(Press(), std::vector<std::string>{Created()});
  Stop();
  Start();  // the program started again: a new main window reads the record's file

  const ChosenUndo undo = ChooseUndo();
  EXPECT_EQ(undo.item, "作成を元に戻す (9 個)(&R)");
  EXPECT_EQ(undo.texts, std::vector<std::string>{"作成したフォルダを 9 個削除しました。"});
  EXPECT_TRUE(FolderNames(scratch_.Path()).empty());
  EXPECT_EQ(GetFileAttributesA(UndoFilePath().c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(form->UndoCreation1.Enabled());
}

// Clicks "中止" with the mouse at the moment the progress window titled `title` shows. The click is
// sent from the window's own thread, as the window is shown, so it waits in the window's input
// before the task can end, however busy the machine is.
class TStopWhenShown {
 public:
  explicit TStopWhenShown(std::string title) {
    title_ = std::move(title);
    clicked_ = false;
    hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, &AfterMessage, nullptr, GetCurrentThreadId());
  }
  ~TStopWhenShown() { UnhookWindowsHookEx(hook_); }
  TStopWhenShown(const TStopWhenShown&) = delete;
  TStopWhenShown& operator=(const TStopWhenShown&) = delete;

  bool Clicked() const { return clicked_; }

 private:
  static LRESULT CALLBACK AfterMessage(int code, WPARAM wParam, LPARAM lParam) {
    const auto& message = *reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    char caption[128] = {};
    if (code == HC_ACTION && message.message == WM_SHOWWINDOW && message.wParam && !clicked_ &&
        GetWindowTextA(message.hwnd, caption, sizeof caption) > 0 && title_ == caption) {
      clicked_ = true;
      RECT button;
      GetWindowRect(FindWindowExA(message.hwnd, nullptr, "Button", nullptr), &button);
      SetCursorPos((button.left + button.right) / 2, (button.top + button.bottom) / 2);
      INPUT clicks[2] = {};
      clicks[0].type = clicks[1].type = INPUT_MOUSE;
      clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
      clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
      SendInput(2, clicks, sizeof(INPUT));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static inline std::string title_;
  static inline bool clicked_ = false;
  HHOOK hook_;
};

// A long undo shows its progress window; "中止", clicked with the mouse, stops it between two
// folders, and the next undo takes the rest.
TEST_F(UndoEndToEnd, ALongUndoShowsProgressAndStopLeavesTheRestUndoable) {
  // The window shows after half a second; at the fastest removal seen here (about 4,000 folders a
  // second) this many take well over a second, so the click comes first. The run asks first.
  constexpr int kFolders = 99 * (1 + 49);
  Select(scratch_.Path());
  NumberRun("1", "99", "2");
  ChildNumberRun("49", "2");
  const std::vector<std::string> run = Press();
  ASSERT_EQ(run.size(), 2u);
  EXPECT_EQ(run.back(), Created());

  TStopWhenShown stopper("フォルダを削除しています");
  const ChosenUndo stopped = ChooseUndo();
  EXPECT_TRUE(stopper.Clicked());
  ASSERT_EQ(stopped.texts.size(), 1u) << stopped.item;
  const std::string lead = "元に戻すのを中止しました。\r\n中止までに作成したフォルダを ";
  ASSERT_EQ(stopped.texts[0].rfind(lead, 0), 0u) << stopped.texts[0];
  std::string removedText = stopped.texts[0].substr(lead.size());
  std::erase(removedText, ',');  // grouped in thousands
  const int removed = std::stoi(removedText);
  const std::string left = naming::GroupedNumber(static_cast<std::uint64_t>(kFolders - removed));
  EXPECT_EQ(stopped.texts[0], lead + naming::GroupedNumber(static_cast<std::uint64_t>(removed)) +
                                  " 個削除しました。\r\n残りの " + left +
                                  " 個は「作成を元に戻す」で続けて削除できます。");
  EXPECT_EQ(form->UndoCreation1.Caption(), "作成を元に戻す (" + left + " 個)(&R)");
  EXPECT_FALSE(FolderNames(scratch_.Path()).empty());

  const ChosenUndo rest = ChooseUndo();
  EXPECT_EQ(rest.texts,
            std::vector<std::string>{"作成したフォルダを " + left + " 個削除しました。"});
  EXPECT_TRUE(FolderNames(scratch_.Path()).empty());
}

// A record that cannot be replaced is removed, or emptied where it cannot be removed, so that no
// restart brings back an older run than the window's last.
TEST_F(UndoEndToEnd, AnUnusableRecordFileIsNotedAndAFailedWriteIsSaidOnceAndLeavesNoOlderRecord) {
  Stop();
  {
    HANDLE file = CreateFileA(UndoFilePath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, "Tessarin undo record 9\r\n", 24, &written, nullptr);
    CloseHandle(file);
  }
  Start();
  const ChosenUndo undo = ChooseUndo();
  EXPECT_EQ(undo.texts,
            std::vector<std::string>{"元に戻す作成はありません\r\n前回の作成の記録 " +
                                     UndoFilePath() + " は別の版のものなので使いませんでした"});
  EXPECT_FALSE(form->UndoCreation1.Enabled());

  // A folder where the new file is first written: the record cannot be kept in a file.
  const std::string blocker = UndoFilePath() + ".new";
  ASSERT_TRUE(CreateDirectoryA(blocker.c_str(), nullptr));
  Select(scratch_.Path());
  NumberRun("1", "1", "1");
  EXPECT_EQ(Press(),
            std::vector<std::string>{
                Created() + "\r\n" + UndoFilePath() +
                " に書き込めません (作成を元に戻せるのは、このウィンドウを閉じるまでです)"});
  Type(form->ParentTier.EndNumber, "2");
  EXPECT_EQ(Press(), std::vector<std::string>{Created()});  // said once
  RemoveDirectoryA(blocker.c_str());
  EXPECT_EQ(form->UndoCreation1.Caption(), "作成を元に戻す (1 個)(&R)");

  // Written again; then another program holds the file, letting it be written but not removed.
  Type(form->ParentTier.EndNumber, "3");
  EXPECT_EQ(Press(), std::vector<std::string>{Created()});
  const HANDLE held =
      CreateFileA(UndoFilePath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, 0, nullptr);
  Type(form->ParentTier.EndNumber, "4");
  EXPECT_EQ(Press(), std::vector<std::string>{Created()});
  CloseHandle(held);
  Stop();
  Start();
  EXPECT_FALSE(form->UndoCreation1.Enabled());
  EXPECT_EQ(FolderNames(scratch_.Path()), (std::vector<std::string>{"P1X", "P2X", "P3X", "P4X"}));
}

}  // namespace
