// "作成するフォルダの一覧" as the user opens it: Ctrl+L pressed as keys on the main window, the
// rows read back from the list control as it draws them, and its "作成(&M)" checked on disk.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/FolderListWindow.h"
#include "naming/Composition.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/FileDialogUser.h"
#include "tests/support/MessageBoxCloser.h"
#include "tests/support/KeyInput.h"
#include "tests/support/ScratchFolder.h"

namespace {

using naming::SequenceKind;

class FolderListWindow : public MainWindowTest {
 protected:
  FolderListWindow() : scratch_("List") {}

  void SetUp() override {
    MainWindowTest::SetUp();
    Select(scratch_.Path());
  }

  // Parent folders `front`1 to `front``last`.
  void Numbered(const std::string& front, const std::string& last) {
    Type(form->ParentTier.FrontText, front);
    Type(form->ParentTier.StartNumber, "1");
    Type(form->ParentTier.EndNumber, last);
  }

  // Ctrl+L on the main window; the list once it shows.
  TFolderListForm& OpenList() {
    SetForegroundWindow(form->Handle());
    Pump();
    PressKeys({VK_CONTROL, 'L'});
    for (int i = 0;
         i < 300 && !(form->FolderList() && IsWindowVisible(form->FolderList()->Handle())); ++i) {
      Pump();
      Sleep(10);
    }
    if (!form->FolderList()) throw std::runtime_error("Ctrl+L opened no list");
    return *form->FolderList();
  }

  static void WaitForCount(TFolderListForm& list) {
    for (int i = 0; i < 1000 && list.Counting(); ++i) {
      Pump();
      Sleep(10);
    }
  }

  // A row as the control shows it: its columns joined by "|".
  static std::string Row(TFolderListForm& list, int index) {
    std::string row;
    for (int column = 0; column < 4; ++column) {
      char text[1024] = {};
      LVITEMA item{};
      item.iSubItem = column;
      item.pszText = text;
      item.cchTextMax = sizeof text;
      SendMessageA(list.List.Handle(), LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
      row += (column ? "|" : "") + std::string(text);
    }
    return row;
  }

  static std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  }

  TScratchFolder scratch_;
};

TEST_F(FolderListWindow, ShowsEachPathsStateAndCountsThem) {
  Numbered("F", "4");
  scratch_.MakeFolder("F2");
  scratch_.MakeFile("F3");
  const std::string longBack(260 - scratch_.Path().size(), 'x');
  TFolderListForm& list = OpenList();
  EXPECT_FALSE(form->Enabled());  // the list is the run's while it shows
  // The summary's line stands level with the progress bar beside it.
  EXPECT_EQ(list.Summary.Top() + list.Summary.Height() / 2,
            list.Progress.Top() + list.Progress.Height() / 2);
  EXPECT_EQ(list.List.ItemCount(), 4);
  EXPECT_EQ(Row(list, 0), "1|F1|作成|");
  EXPECT_EQ(Row(list, 1), "2|F2|既存|");
  EXPECT_EQ(Row(list, 2), "3|F3|作成不可|同じ名前のファイルがあります");
  WaitForCount(list);
  EXPECT_EQ(list.Summary.Caption(), "計 4 個: 作成 2  既存 1  作成不可 1");
  // テキストに保存(&S): every path, as the user names the file in the dialog.
  const std::string saved = scratch_.PathOf("list.txt");
  EXPECT_EQ(UseFileDialog(list.Handle(), {VK_MENU, 'S'}, saved), std::vector<std::string>{});
  std::string expected;
  for (const char* name : {"F1", "F2", "F3", "F4"}) expected += scratch_.PathOf(name) + "\r\n";
  EXPECT_EQ(ReadText(saved), expected);
  // A file another program holds open: after the question to replace it, the box says so.
  const HANDLE held =
      CreateFileA(saved.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  const std::vector<std::string> boxes = UseFileDialog(list.Handle(), {VK_MENU, 'S'}, saved);
  CloseHandle(held);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1], saved + " に保存できませんでした。");
  EXPECT_EQ(ReadText(saved), expected);
  PressKeys({VK_ESCAPE});
  Pump();
  EXPECT_FALSE(IsWindowVisible(list.Handle()));
  EXPECT_TRUE(form->Enabled());

  Type(form->ParentTier.BackText, longBack);
  EXPECT_EQ(Row(OpenList(), 0), "1|F1" + longBack + "|作成不可|パスが長すぎます");
  PressKeys({VK_ESCAPE});
  Pump();

  Type(form->ParentTier.BackText, "a:b");
  std::string refusal = naming::ForbiddenCharacterMessage();
  refusal.erase(refusal.find("\r\n"), 2);  // one line in the list
  EXPECT_EQ(Row(OpenList(), 3), "4|F4a:b|作成不可|" + refusal);
}

// A name that comes again in another case is there by then, and one Windows would make under
// another name is refused: the run makes exactly the folders listed 作成.
TEST_F(FolderListWindow, ItsCreateMakesExactlyTheFoldersListedAsMade) {
  Click(form->ParentTier.Row(SequenceKind::None).Radio);  // a folder for each free line
  Pick(form->ParentTier.Pattern, 1);
  Type(form->ParentTier.FreeLines, "ａ\r\nb.\r\nRun2\r\nＡ");
  Click(form->CheckBox1);
  Type(form->ChildTier().FrontText, "c");
  scratch_.MakeFolder("Run2");
  TFolderListForm& list = OpenList();
  std::string rows;
  for (int k = 0; k < list.List.ItemCount(); ++k) rows += Row(list, k) + "\n";
  EXPECT_EQ(
      rows,
      "1|ａ|作成|\n2|ａ\\c0|作成|\n"
      "3|b.|作成不可|名前の末尾がピリオドか空白です\n4|b.\\c0|作成不可|親フォルダを作成できません\n"
      "5|Run2|既存|\n6|Run2\\c0|作成|\n7|Ａ|既存|\n8|Ａ\\c0|既存|\n");
  TMessageBoxCloser closer;
  PressKeys({VK_MENU, 'M'});
  for (int i = 0; i < 100 && closer.Texts().empty(); ++i) {
    Pump();
    Sleep(10);
  }
  EXPECT_EQ(closer.Texts(), std::vector<std::string>{
                                "フォルダを作成しました\r\n2 個のフォルダを作成できませんでした。"
                                "最初のフォルダ: " +
                                scratch_.PathOf("b.") + " (名前の末尾がピリオドか空白です)"});
  EXPECT_EQ(FolderTree(scratch_.Path()),
            (std::vector<std::string>{"Run2", "Run2\\c0", "ａ", "ａ\\c0"}));
  EXPECT_FALSE(IsWindowVisible(list.Handle()));
  EXPECT_TRUE(form->UndoCreation1.Enabled());  // the window's own run, with its record
}

TEST_F(FolderListWindow, AMillionRowsOpenAtOnceAndClosingStopsTheCount) {
  Numbered("M", "1000000");
  TFolderListForm& list = OpenList();
  // The count has started with the first page; it says so before its first report.
  const std::string counting = list.Summary.Caption();
  EXPECT_TRUE(counting == "数えています..." ||
              (counting.starts_with("数えています ") &&
               counting.find(" / 1,000,000: 作成 ") != std::string::npos))
      << counting;
  EXPECT_EQ(list.List.ItemCount(), 1000000);
  EXPECT_EQ(Row(list, 999999), "1,000,000|M1000000|作成|");
  EXPECT_TRUE(list.Counting());
  // 中止(&T) stops the count and keeps the window; the summary says how far the count came (by
  // its last report, or none yet).
  PressKeys({VK_MENU, 'T'});
  Pump();
  EXPECT_FALSE(list.Counting());
  EXPECT_FALSE(list.StopButton.Enabled());
  EXPECT_TRUE(IsWindowVisible(list.Handle()));
  const std::string summary = list.Summary.Caption();
  const std::string done =
      summary.substr(13, summary.find(' ', 13) - 13);  // after 「数えています 」
  EXPECT_TRUE(summary == "数えています... (中止しました)" ||
              summary == "数えています " + done + " / 1,000,000: 作成 " + done +
                             "  既存 0  作成不可 0 (中止しました)")
      << summary;
  PressKeys({VK_ESCAPE});
  Pump();
  EXPECT_FALSE(IsWindowVisible(list.Handle()));
}

}  // namespace
