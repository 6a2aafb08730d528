// TessarinCmd.exe run as a batch file runs it, on templates the window saved, against real folders.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/CodePage.h"
#include "naming/Composition.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/MessageBoxCloser.h"
#include "tests/support/ScratchFolder.h"

namespace {

using naming::SequenceKind;

struct TCommandResult {
  DWORD exitCode = 0;
  std::string output;  // standard output and standard error together
};

class TessarinCmd : public MainWindowTest {
 protected:
  TessarinCmd() : scratch_("Cmd") {}

  // Runs the program beside the tests' build folder with `arguments` from `cmd /c`, as a batch file
  // does, its output into a file.
  TCommandResult Run(const std::string& arguments) { return Run(AnsiToWide(arguments)); }
  TCommandResult Run(const std::wstring& arguments) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring program = self;
    program = program.substr(0, program.rfind(L'\\')) + L"\\..\\app\\TessarinCmd.exe";
    const std::string outputPath = scratch_.PathOf("output.txt");
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE output = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"cmd.exe /c \"\"" + program + L"\" " + arguments + L"\"";
    EXPECT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                               nullptr, &startup, &process));
    CloseHandle(output);
    WaitForSingleObject(process.hProcess, 60000);
    TCommandResult result;
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    HANDLE written = CreateFileA(outputPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    char buffer[65536] = {};
    DWORD read = 0;
    ReadFile(written, buffer, sizeof buffer - 1, &read, nullptr);
    CloseHandle(written);
    result.output.assign(buffer, read);
    return result;
  }

  TScratchFolder scratch_;
};

TEST_F(TessarinCmd, ATemplateSavedInTheWindowMakesTheSameFoldersAsTheWindowsRun) {
  const std::string byWindow = scratch_.MakeFolder("window");
  const std::string byCommand = scratch_.MakeFolder("command");
  Select(byWindow);
  Type(form->ParentTier.FrontText, "月");
  Type(form->ParentTier.EndNumber, "3");
  Type(form->ParentTier.DigitCount, "2");
  Type(form->ParentTier.FreeLines, "東京\r\n大阪");
  Pick(form->ParentTier.Pattern, 2);
  Click(form->CheckBox1);
  Click(form->ChildTier().Row(SequenceKind::Letters).Radio);
  Type(form->ChildTier().FolderCount, "2");
  const std::string file = scratch_.PathOf("月次.tsnt");
  form->SaveTemplateFile(file);
  {
    TMessageBoxCloser closer;
    Click(form->Button1);
  }
  ASSERT_EQ(FolderTree(byWindow).size(), 4u * 3);

  const TCommandResult made = Run("\"" + file + "\" \"" + byCommand + "\"");
  EXPECT_EQ(made.exitCode, 0u) << made.output;
  EXPECT_EQ(FolderTree(byCommand), FolderTree(byWindow));
  // Progress from 0 to the end on one line, then the summary.
  const std::string end = "\r12 / 12\r\n作成 12、既存 0、失敗 0\r\n";
  EXPECT_EQ(made.output.rfind("\r0 / 12", 0), 0u) << made.output;
  EXPECT_TRUE(made.output.ends_with(end)) << made.output;

  // The file's own target holds them all already: listed as there, nothing made.
  const TCommandResult listed = Run("--list \"" + file + "\"");
  EXPECT_EQ(listed.exitCode, 0u);
  std::vector<std::string> listedPaths;
  for (std::size_t at = 0; at < listed.output.size();) {
    const std::size_t end = listed.output.find("\r\n", at);
    ASSERT_NE(end, std::string::npos) << listed.output;
    const std::string line = listed.output.substr(at, end - at);
    const std::string lead = "既存\t" + byWindow + "\\";
    ASSERT_EQ(line.rfind(lead, 0), 0u) << line;
    listedPaths.push_back(line.substr(lead.size()));
    at = end + 2;
  }
  std::vector<std::string> onDisk = FolderTree(byWindow);
  std::sort(listedPaths.begin(), listedPaths.end());
  std::sort(onDisk.begin(), onDisk.end());
  EXPECT_EQ(listedPaths, onDisk);
  const TCommandResult counted = Run("--count \"" + file + "\"");
  EXPECT_EQ(counted.exitCode, 0u);
  EXPECT_EQ(counted.output, "12\r\n");
}

// Parent folders F1 to F3 in `target`, each with a child c1; `front` in place of F.
std::string Template(const std::string& target, const std::string& front = "F") {
  return "[Tessarin]\r\nVersion=1\r\nTarget=" + target +
         "\r\nChildFolders=1\r\n[Parent]\r\nFront=" + front +
         "\r\nKind=number\r\nStartNumber=1\r\nEndNumber=3\r\n[Child]\r\nFront=c\r\n"
         "Kind=number\r\nStartNumber=1\r\nEndNumber=1\r\n";
}

TEST_F(TessarinCmd, ListEndsAsTheRunWouldAndBothNameAFileInTheWayAlike) {
  const std::string target = scratch_.MakeFolder("target");
  const std::string file = scratch_.MakeFile("t.tsnt", Template(target));
  scratch_.MakeFile("target\\F2");
  const TCommandResult listed = Run("--list \"" + file + "\"");
  EXPECT_EQ(listed.exitCode, 1u);
  EXPECT_EQ(listed.output, "作成\t" + target + "\\F1\r\n作成\t" + target + "\\F1\\c1\r\n" +
                               "作成不可\t" + target + "\\F2\t同じ名前のファイルがあります\r\n" +
                               "作成不可\t" + target + "\\F2\\c1\t親フォルダを作成できません\r\n" +
                               "作成\t" + target + "\\F3\r\n作成\t" + target + "\\F3\\c1\r\n");

  // The run: the same failure in the same words, its progress to the end, no line end doubled.
  const TCommandResult made = Run("\"" + file + "\"");
  EXPECT_EQ(made.exitCode, 1u);
  EXPECT_NE(made.output.find("\r6 / 6\r\n作成 4、既存 0、失敗 2\r\n最初の失敗: " + target +
                             "\\F2 (同じ名前のファイルがあります)\r\n"),
            std::string::npos)
      << made.output;
  EXPECT_EQ(FolderTree(target), (std::vector<std::string>{"F1", "F1\\c1", "F3", "F3\\c1"}));

  // Run again with the file gone and one in place of F3\c1: the one failure is named, what is there
  // counted.
  DeleteFileA(scratch_.PathOf("target\\F2").c_str());
  RemoveDirectoryA(scratch_.PathOf("target\\F3\\c1").c_str());
  scratch_.MakeFile("target\\F3\\c1");
  const TCommandResult second = Run("\"" + file + "\"");
  EXPECT_EQ(second.exitCode, 1u);
  EXPECT_TRUE(second.output.ends_with("\r6 / 6\r\n作成 2、既存 3、失敗 1\r\n最初の失敗: " + target +
                                      "\\F3\\c1 (同じ名前のファイルがあります)\r\n"))
      << second.output;
  EXPECT_EQ(FolderTree(target), (std::vector<std::string>{"F1", "F1\\c1", "F2", "F2\\c1", "F3"}));

  // A target given the long way round, with a closing separator, is named as the folder it is,
  // with no separator doubled in the paths.
  DeleteFileA(scratch_.PathOf("target\\F3\\c1").c_str());
  const TCommandResult again = Run("--list \"" + file + "\" \"" + target + "\\..\\target\\\\\"");
  EXPECT_EQ(again.exitCode, 0u);
  EXPECT_EQ(again.output, "既存\t" + target + "\\F1\r\n既存\t" + target + "\\F1\\c1\r\n" +
                              "既存\t" + target + "\\F2\r\n既存\t" + target + "\\F2\\c1\r\n" +
                              "既存\t" + target + "\\F3\r\n作成\t" + target + "\\F3\\c1\r\n");
}

TEST_F(TessarinCmd, EveryBadInputIsExitCodeTwoAndItsMessageNamesTheArgumentOrTheLine) {
  const std::string target = scratch_.MakeFolder("target");
  const std::string good = scratch_.MakeFile("good.tsnt", Template(target));
  const std::string refused = scratch_.MakeFile("refused.tsnt", Template(target, "F?"));
  const std::string broken =
      scratch_.MakeFile("broken.tsnt", "[Tessarin]\r\nVersion=1\r\n[Parent]\r\nDigits=12\r\n");
  const std::string aFile = scratch_.MakeFile("plain.txt");
  const std::string missing = scratch_.PathOf("missing");
  const std::string goneTarget = scratch_.MakeFile("gone.tsnt", Template(missing));
  const std::string noTarget = scratch_.MakeFile(
      "untargeted.tsnt", "[Tessarin]\r\nVersion=1\r\n[Parent]\r\nKind=number\r\n");
  std::string forbidden = naming::ForbiddenCharacterMessage();
  forbidden.erase(forbidden.find("\r\n"), 2);
  // A wrong argument is followed by the help, which --help alone prints and ends with 0.
  const TCommandResult help = Run("--help");
  EXPECT_EQ(help.exitCode, 0u);
  ASSERT_EQ(help.output.rfind("使い方: TessarinCmd [--list | --count] テンプレート.tsnt "
                              "[作成先フォルダ]\r\n\r\n",
                              0),
            0u)
      << help.output;
  std::string everyPathRefused;
  for (const char* path : {"\\F?1", "\\F?1\\c1", "\\F?2", "\\F?2\\c1", "\\F?3", "\\F?3\\c1"})
    everyPathRefused += "作成不可\t" + target + path + "\t" + forbidden + "\r\n";
  const std::string refusal = refused + "(6): [Parent] Front: " + forbidden + "\r\n";
  const struct {
    std::string arguments;
    std::string output;
  } cases[] = {
      {"--frobnicate x.tsnt", "不明なオプションです: --frobnicate\r\n\r\n" + help.output},
      {"a.tsnt b.tsnt c.tsnt", "余分な引数です: c.tsnt\r\n\r\n" + help.output},
      {"", "テンプレートファイルを指定してください。\r\n\r\n" + help.output},
      {"--count", "テンプレートファイルを指定してください。\r\n\r\n" + help.output},
      {"\"" + broken + "\" \"" + target + "\"",
       broken + "(4): [Parent] Digits の値 \"12\" は使えません。\r\n"},
      {"\"" + good + "\" \"" + aFile + "\"", "作成先 " + aFile + " はフォルダではありません。\r\n"},
      {"\"" + good + "\" \"" + missing + "\"",
       "作成先のフォルダ " + missing + " がありません。\r\n"},
      // A target from the file names the file's line.
      {"\"" + goneTarget + "\"",
       goneTarget + "(3): 作成先のフォルダ " + missing + " がありません。\r\n"},
      {"--list \"" + noTarget + "\"",
       noTarget + ": 作成先のフォルダがありません (Target が空です)。\r\n"},
      {"\"" + refused + "\"", refusal},
      // The list of a refused template: every path refused, and the run's exit code.
      {"--list \"" + refused + "\"", everyPathRefused + refusal},
  };
  for (const auto& c : cases) {
    const TCommandResult result = Run(c.arguments);
    EXPECT_EQ(result.exitCode, 2u) << c.arguments;
    EXPECT_EQ(result.output, c.output) << c.arguments;
  }
  EXPECT_TRUE(FolderTree(target).empty());

  // A target typed with a character the code page lacks is refused, never taken as its look-alike.
  scratch_.MakeFolder("cafe");
  const TCommandResult accented =
      Run(L"\"" + AnsiToWide(broken) + L"\" \"" + AnsiToWide(scratch_.Path()) + L"\\café\"");
  EXPECT_EQ(accented.exitCode, 2u);
  EXPECT_EQ(accented.output,
            "引数 " + scratch_.Path() +
                "\\caf(U+00E9) には Shift-JIS にない文字 U+00E9 があるため、使えません。\r\n");
}

// As the window reads it: a template in UTF-8 without a mark, as today's Notepad saves it, whose
// value with a character the code page lacks is named by its line and the character's code.
TEST_F(TessarinCmd, NamesAValueOfAUtf8TemplateThatTheCodePageCannotHold) {
  const std::u8string_view utf8 = u8"[Tessarin]\nVersion=1\n[Parent]\nBack=写真〜\nFront=café\n";
  const std::string file = scratch_.MakeFile("accent.tsnt", std::string(utf8.begin(), utf8.end()));
  const TCommandResult refused = Run("\"" + file + "\" \"" + scratch_.Path() + "\"");
  EXPECT_EQ(refused.exitCode, 2u);
  EXPECT_EQ(refused.output, file + "(5): [Parent] Front の値 \"caf(U+00E9)\" は使えません。\r\n");
}

}  // namespace
