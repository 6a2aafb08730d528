// Template files through the main window as a user works with them: Ctrl+S and Ctrl+O pressed as
// keys, the file named by typing into the standard dialog, a new window opening what the old one
// saved, the recent files on the ファイル menu, and files broken by hand.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "naming/CreationRun.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/MessageBoxCloser.h"
#include "tests/support/MessagePump.h"
#include "tests/support/FileDialogUser.h"
#include "tests/support/KeyInput.h"
#include "tests/support/ScratchFolder.h"

namespace {

using naming::SequenceKind;

std::string ReadFileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// What the user sees of a tier besides its fields: the sample line, the count on its strip, the
// line counter and which parameter controls are enabled.
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

  // Ctrl+`key` on the main window, `path` chosen in the file dialog it opens. The boxes' texts.
  std::vector<std::string> UseDialog(WORD key, const std::string& path,
                                     std::string* startFolder = nullptr) {
    return UseFileDialog(form->Handle(), {VK_CONTROL, key}, path, startFolder);
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
  Click(form->ParentTier.Row(SequenceKind::Date).Radio);
  Type(form->ParentTier.FrontText, " 写真_");
  Type(form->ParentTier.BackText, "_済");
  ChangeDate(form->ParentTier.StartDate, 2004, 1, 30);
  ChangeDate(form->ParentTier.EndDate, 2004, 2, 2);
  Pick(form->ParentTier.DateFormat, 6);
  Type(form->ParentTier.FreeLines, "東京\r\n\r\n大阪\r\n");
  Pick(form->ParentTier.Pattern, 4);
  // Its number and letter rows hold values too, though they take no part.
  Type(form->ParentTier.EndNumber, "7");
  Type(form->ParentTier.StartNumber, "9");
  Type(form->ParentTier.FolderCount, "30");
  // Child: two lower-case letters, A + 01 + * + B.
  Click(form->CheckBox1);
  Click(form->ChildTier().Row(SequenceKind::Letters).Radio);
  Type(form->ChildTier().FolderCount, "3");
  Pick(form->ChildTier().LetterCase, 1);
  Type(form->ChildTier().LettersPerName, "2");
  Type(form->ChildTier().FrontText, "c");
  Type(form->ChildTier().FreeLines, "x\r\ny");
  Pick(form->ChildTier().Pattern, 2);

  const std::string file = scratch_.PathOf("月次 & 写真.tsnt");
  EXPECT_TRUE(UseDialog('S', file).empty());
  ASSERT_NE(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES);
  const naming::TemplateValues saved = form->TemplateFromWindow();
  const std::string parentLook = TierLook(form->ParentTier);
  const std::string childLook = TierLook(form->ChildTier());
  EXPECT_EQ(PressCreate().size(), 1u);
  const std::vector<std::string> madeFirst = FolderTree(first);
  ASSERT_EQ(madeFirst.size(), 4u * (1 + 3));

  // The same template in a new window, run into a new folder named by the file's target.
  ASSERT_TRUE(MoveFileA(first.c_str(), scratch_.PathOf("made by the first").c_str()));
  CreateDirectoryA(first.c_str(), nullptr);
  Restart();
  EXPECT_EQ(form->ParentTier.SampleLine.Caption(), "sample");
  std::string startFolder;
  EXPECT_TRUE(UseDialog('O', file, &startFolder).empty());
  EXPECT_EQ(startFolder, scratch_.Path());  // the folder of the last file saved
  EXPECT_TRUE(form->TemplateFromWindow() == saved);
  EXPECT_EQ(TierLook(form->ParentTier), parentLook);
  EXPECT_EQ(TierLook(form->ChildTier()), childLook);
  EXPECT_EQ(form->Height(), TForm1::kFullHeight);
  EXPECT_EQ(form->ShellTreeView1.SelectedPath(), first);
  EXPECT_EQ(PressCreate().size(), 1u);
  EXPECT_EQ(FolderTree(first), madeFirst);
}

TEST_F(TemplateFileWindow, TheFileMenuListsTheLastFourFilesNewestFirstAndOpensOneByItsNumber) {
  for (const char* name : {"t1", "t2", "t3", "t4", "t5"}) {
    Type(form->ParentTier.FrontText, name);
    form->SaveTemplateFile(scratch_.PathOf(std::string(name) + ".tsnt"));
  }
  Restart();           // the list comes from the settings file
  std::string listed;  // each item's number and file name
  for (UINT i = 0; i < static_cast<UINT>(GetMenuItemCount(form->File1.SubMenu())); ++i) {
    char text[MAX_PATH] = {};
    GetMenuStringA(form->File1.SubMenu(), i, text, sizeof text, MF_BYPOSITION);
    const std::string item = text;
    if (item.size() > 9 && item[0] == '&')
      listed += item.substr(0, 3) + item.substr(item.size() - 7);
  }
  EXPECT_EQ(listed, "&1 t5.tsnt&2 t4.tsnt&3 t3.tsnt&4 t2.tsnt");

  // Alt+F, then 3 once the menu shows: the third newest.
  SetForegroundWindow(form->Handle());
  Pump();
  {
    const TKeyWhenMenuShows choice('3');
    PressKeys({VK_MENU, 'F'});
    PumpMessagesUntil([&] { return form->ParentTier.FrontText.Text() == "t3"; }, 5000);
  }
  EXPECT_EQ(form->ParentTier.FrontText.Text(), "t3");
  EXPECT_EQ(form->ParentTier.SampleLine.Caption(), "t30");
}

TEST_F(TemplateFileWindow, AHandBrokenFileSaysInOneBoxWhatItReplacedAndKeepsTheRest) {
  Type(form->ParentTier.StartNumber, "500");  // the window's start stands above the file's end
  {
    // A child digit count that is no integer: setting the parent must not stop at it.
    TMessageBoxCloser closer;
    Type(form->ChildTier().DigitCount, "1.5");
  }
  const std::string file = scratch_.MakeFile(
      "broken.tsnt",
      "[Tessarin]\nVersion=1\nTarget=" + scratch_.PathOf("gone") +
          "\nColour=blue\n"
          "[Parent]\nFront=keep\nStartNumber=5\nEndNumber=3\nDigits=11\nKind=number\nLine=a\n");
  const std::vector<std::string> boxes = UseDialog('O', file);
  EXPECT_EQ(boxes,
            std::vector<std::string>{
                "テンプレートの次の値は使えないため、既定値に替えました。\n\n[Parent] "
                "Digits: \"11\" → \"1\"\n\nフォルダ " +
                scratch_.PathOf("gone") + " が見つからないため、ツリーの選択はそのままです。"});
  EXPECT_EQ(form->ParentTier.FrontText.Text(), "keep");
  EXPECT_EQ(form->ParentTier.StartNumber.Text(), "5");
  // As the file has it, not pulled up to 500 or 5.
  EXPECT_EQ(form->ParentTier.EndNumber.Text(), "3");
  EXPECT_EQ(form->ParentTier.DigitCount.Text(), "1");
  EXPECT_EQ(form->ParentTier.SampleLine.Caption(), "keep5");
  EXPECT_EQ(form->ParentTier.LineCounter.Caption(), "   1");
}

TEST_F(TemplateFileWindow, AFileThatIsNoTemplateIsRefusedSayingWhyAndChangesNothing) {
  Type(form->ParentTier.FrontText, "mine");
  Type(form->ParentTier.LettersPerName, "1.5");
  const naming::TemplateValues before = form->TemplateFromWindow();
  const std::string notes = scratch_.MakeFile("notes.tsnt", "Front=x\r\nthese are notes\r\n");
  const std::string broken = scratch_.MakeFile("broken.tsnt", "\xEF\xBB\xBF[Tessarin]\xC0\r\n");
  const std::string locked = scratch_.MakeFile("locked.tsnt", "[Tessarin]\r\nVersion=1\r\n");
  const HANDLE lock =
      CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  const std::pair<std::string, std::string> refusals[] = {
      {notes, notes + " は Tessarin のテンプレートではありません。[Tessarin] の節がありません。"},
      {broken, broken + " を読み込めません。UTF-8 "
                        "の印がありますが、その文字コードとして正しくないバイトがあります。"},
      // The system's own reason, whatever its words.
      {locked, locked + " を読み込めません。"},
  };
  for (const auto& [file, box] : refusals) {
    const std::vector<std::string> boxes = UseDialog('O', file);
    ASSERT_EQ(boxes.size(), 1u) << file;
    EXPECT_EQ(boxes[0].substr(0, box.size()), box);
    EXPECT_EQ(boxes[0].size() > box.size(), file == locked) << boxes[0];
  }
  CloseHandle(lock);
  EXPECT_TRUE(form->TemplateFromWindow() == before);
}

// Today's Notepad saves UTF-8 without a byte-order mark; other editors add one or save UTF-16.
// Each opens as the same template, without the comment line the program writes first; a value
// with a character the code page lacks is listed in the box with the character's code.
TEST_F(TemplateFileWindow, TemplatesSavedByEditorsInEachEncodingOpenAlike) {
  const auto utf8 = [](std::u8string_view text) { return std::string(text.begin(), text.end()); };
  const std::string body =
      utf8(u8"[Tessarin]\r\nVersion=1\r\n[Parent]\r\nFront=写真\r\nLine=東京〜\r\n");
  std::string utf16 = "\xFF\xFE";
  for (char16_t unit :
       std::u16string(u"[Tessarin]\r\nVersion=1\r\n[Parent]\r\nFront=写真\r\nLine=東京〜"))
    utf16 += std::string{static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  const std::tuple<const char*, std::string, std::string, std::string> files[] = {
      {"utf8.tsnt", body, "写真", ""},
      {"utf8mark.tsnt", "\xEF\xBB\xBF" + body, "写真", ""},
      {"utf16.tsnt", utf16, "写真", ""},
      {"cp932.tsnt", "[Tessarin]\r\nVersion=1\r\n[Parent]\r\nFront=写真\r\nLine=東京～\r\n", "写真",
       ""},
      {"accent.tsnt", utf8(u8"[Tessarin]\nVersion=1\n[Parent]\nFront=café\nLine=東京〜\n"), "",
       "テンプレートの次の値は使えないため、既定値に替えました。\n\n[Parent] Front: "
       "\"caf(U+00E9)\" → \"\""},
  };
  for (const auto& [name, bytes, front, listed] : files) {
    Type(form->ParentTier.FrontText, "before");
    const std::vector<std::string> boxes = UseDialog('O', scratch_.MakeFile(name, bytes));
    EXPECT_EQ(boxes, listed.empty() ? std::vector<std::string>{} : std::vector{listed}) << name;
    EXPECT_EQ(form->ParentTier.FrontText.Text(), front) << name;
    EXPECT_EQ(form->ParentTier.FreeLines.Text(), "東京～") << name;
  }
  // Saving stays in the code page with CR LF.
  const std::string saved = scratch_.PathOf("saved.tsnt");
  form->SaveTemplateFile(saved);
  EXPECT_NE(ReadFileText(saved).find("\r\nLine=東京～\r\n"), std::string::npos);
}

// A name far longer than any path: the run's box still fits the screen, with the count of failures
// and the system's reason in view and the path cut in its middle.
TEST_F(TemplateFileWindow, TheBoxOfARunWithAHugeNameFitsTheScreen) {
  const std::string file = scratch_.MakeFile(
      "huge.tsnt", "[Tessarin]\r\nVersion=1\r\nTarget=" + scratch_.Path() +
                       "\r\n[Parent]\r\nFront=" + std::string(500000, 'x') + "\r\n");
  EXPECT_TRUE(UseDialog('O', file).empty());
  ASSERT_EQ(form->ParentTier.FrontText.Text().size(), 500000u);
  TMessageBoxCloser closer;
  Click(form->Button1);
  ASSERT_EQ(closer.Texts().size(), 1u);
  const std::string box = closer.Texts()[0];
  const std::string lead =
      "フォルダを作成できませんでした。\r\n1 個のフォルダを作成できませんでした。最初のフォルダ: " +
      scratch_.Path() + "\\xxx";
  EXPECT_EQ(box.substr(0, lead.size()), lead);
  EXPECT_NE(box.find("xxx…xxx"), std::string::npos);
  EXPECT_EQ(box.back(), ')');  // the reason's closing parenthesis
  const RECT place = closer.Places()[0];
  EXPECT_GE(place.top, 0);
  EXPECT_LE(place.bottom, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_LE(place.right - place.left, GetSystemMetrics(SM_CXSCREEN));
}

// The file dialog's own question aside, the program asks nothing: the file stays as it was.
TEST_F(TemplateFileWindow, SavingOverAReadOnlyFileIsRefusedAndTheFileKeepsItsContents) {
  const std::string file = scratch_.MakeFile("kept.tsnt", "kept");
  ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
  std::vector<std::string> boxes;
  {
    TMessageBoxCloser closer;
    form->SaveTemplateFile(file);
    boxes = closer.Texts();
  }
  EXPECT_EQ(boxes,
            std::vector<std::string>{file + " に書き込めません。読み取り専用のファイルです。"});
  EXPECT_EQ(ReadFileText(file), "kept");
  EXPECT_TRUE(GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_READONLY);
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
