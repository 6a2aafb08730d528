// TessarinCmd.exe run as a batch file runs it, on templates the window saved, against real folders.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

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
  TCommandResult Run(const std::string& arguments) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string program = self;
    program = program.substr(0, program.rfind('\\')) + "\\..\\app\\TessarinCmd.exe";
    const std::string outputPath = scratch_.PathOf("output.txt");
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE output = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION process{};
    std::string commandLine = "cmd.exe /c \"\"" + program + "\" " + arguments + "\"";
    EXPECT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
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
  EXPECT_NE(made.output.find("作成 12、既存 0、失敗 0"), std::string::npos) << made.output;

  // The file's own target holds them all already: listed as there, nothing made.
  const TCommandResult listed = Run("--list \"" + file + "\"");
  EXPECT_EQ(listed.exitCode, 0u);
  EXPECT_NE(listed.output.find("既存\t" + byWindow + "\\月00東京\\A"), std::string::npos)
      << listed.output;
  EXPECT_EQ(listed.output.find("作成\t"), std::string::npos);
  EXPECT_EQ(Run("--count \"" + file + "\"").output, "12\r\n");
}

TEST_F(TessarinCmd, BadArgumentsAndBadValuesAreExitCodeTwoAndTheMessageNamesTheLine) {
  const std::string broken =
      scratch_.MakeFile("broken.tsnt", "[Tessarin]\r\nVersion=1\r\n[Parent]\r\nDigits=12\r\n");
  const TCommandResult bad = Run("\"" + broken + "\" \"" + scratch_.Path() + "\"");
  EXPECT_EQ(bad.exitCode, 2u);
  EXPECT_NE(bad.output.find("broken.tsnt(4): [Parent] Digits"), std::string::npos) << bad.output;
  EXPECT_EQ(Run("--frobnicate x.tsnt").exitCode, 2u);
}

}  // namespace
