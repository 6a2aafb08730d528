// TessarinCmd: a template file's run for batch files and scheduled tasks, made by the same core
// and the same directory code as the window's run. Output is code page 932.
//
//   TessarinCmd [--list | --count] template.tsnt [target folder]
//
// Exit codes: 0 every folder made or there already, 1 some failed, 2 bad arguments or template,
// 3 stopped by Ctrl+C.

#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/TemplateDisk.h"
#include "app/Win32Naming.h"
#include "app/Win32PathProbe.h"
#include "framework/CodePage.h"
#include "naming/Calendar.h"
#include "naming/Characters.h"
#include "naming/CreationRun.h"
#include "naming/FolderCount.h"
#include "naming/RunListing.h"
#include "naming/TemplateFile.h"
#include "naming/TierRun.h"

namespace {

enum ExitCode { kDone = 0, kSomeFailed = 1, kBadInput = 2, kStopped = 3 };

constexpr const char* kHelp =
    "使い方: TessarinCmd [--list | --count] テンプレート.tsnt [作成先フォルダ]\n"
    "\n"
    "Tessarin のテンプレートファイルのとおりにフォルダを作成します。\n"
    "作成先フォルダを指定すると、テンプレートの作成先の代わりに使います。\n"
    "\n"
    "  --list   作成するフォルダをすべて状態とともに表示します (何も作成しません)\n"
    "  --count  作成するフォルダの数を表示します\n"
    "  --help   この説明を表示します\n"
    "\n"
    "終了コード: 0 すべて作成済み, 1 作成できないフォルダがあった, 2 引数かテンプレートの誤り,\n"
    "            3 Ctrl+C で中止\n";

std::atomic<bool> stopRequested{false};

BOOL WINAPI OnConsoleControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  stopRequested = true;  // the run stops before its next folder
  return TRUE;
}

void Print(FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

struct TArguments {
  enum class Mode { Create, List, Count, Help } mode = Mode::Create;
  std::string templatePath;
  std::optional<std::string> target;
};

// The arguments as given, each exactly in the code page; none, after saying which characters the
// code page lacks, when one cannot be. (The C runtime's would hold the system's look-alikes.)
std::optional<std::vector<std::string>> CommandLineArguments() {
  int count = 0;
  const std::unique_ptr<LPWSTR[], decltype(&LocalFree)> given(
      CommandLineToArgvW(GetCommandLineW(), &count), &LocalFree);
  std::vector<std::string> arguments;
  for (int i = 1; given && i < count; ++i) {
    TCodePageText argument = ToCodePage(given[i]);
    if (!argument.Exact()) {
      Print(stderr, "引数 " + argument.Text + " には Shift-JIS にない文字 " +
                        naming::CodesOf(argument.Refused) + " があるため、使えません。\n");
      return std::nullopt;
    }
    arguments.push_back(std::move(argument.Text));
  }
  return arguments;
}

std::optional<TArguments> ParseArguments(const std::vector<std::string>& given) {
  TArguments arguments;
  std::vector<std::string> positional;
  for (const std::string& argument : given) {
    if (argument == "--list") {
      arguments.mode = TArguments::Mode::List;
    } else if (argument == "--count") {
      arguments.mode = TArguments::Mode::Count;
    } else if (argument == "--help" || argument == "/?") {
      arguments.mode = TArguments::Mode::Help;
    } else if (argument.rfind("--", 0) == 0) {
      return std::nullopt;
    } else {
      positional.push_back(argument);
    }
  }
  if (arguments.mode == TArguments::Mode::Help) return arguments;
  if (positional.empty() || positional.size() > 2) return std::nullopt;
  arguments.templatePath = positional[0];
  if (positional.size() == 2) arguments.target = positional[1];
  return arguments;
}

naming::TemplateValues Defaults() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const naming::CalendarDate today{now.wYear, now.wMonth, now.wDay};
  naming::TemplateValues values;
  for (naming::TierValues* tier : {&values.parent, &values.child}) {
    tier->startDate = today;
    tier->endDate = naming::DateOfDayNumber(naming::DayNumber(today) + 1);
  }
  return values;
}

// Prints each path with what a run would do there, and makes nothing.
class TListingCreator final : public naming::DirectoryCreator {
 public:
  naming::CreateResult Create(const std::string& path) override {
    const naming::CreateResult result = probe_.Probe(path);
    Print(stdout, naming::StateText(result.status) + "\t" + path +
                      (result.reason.empty() ? "" : "\t" + result.reason) + "\n");
    return result;
  }
  naming::FolderFacts Inspect(const std::string& path) override { return app::InspectFolder(path); }

 private:
  app::Win32PathProbe probe_;
};

// The real creations, counted by what each one found.
class TCountingCreator final : public naming::DirectoryCreator {
 public:
  naming::CreateResult Create(const std::string& path) override {
    const naming::CreateResult result = creator_.Create(path);
    if (result.status == naming::CreateStatus::AlreadyThere) ++existing;
    return result;
  }
  naming::FolderFacts Inspect(const std::string& path) override { return creator_.Inspect(path); }
  std::uint64_t existing = 0;

 private:
  app::Win32DirectoryCreator creator_;
};

// Progress on standard error, a few times a second; Ctrl+C stops the run here.
class TConsoleControl final : public naming::RunControl {
 public:
  bool Confirm(const naming::RunPlan&) override { return true; }
  bool Continue(std::uint64_t done, std::uint64_t total, const std::string&) override {
    const DWORD now = GetTickCount();
    if (done == 0 || now - shown_ >= 200) {
      shown_ = now;
      std::string line = std::to_string(done) + " / " + std::to_string(total);
      line.insert(line.begin(), '\r');
      Print(stderr, line);
    }
    return !stopRequested;
  }

 private:
  DWORD shown_ = 0;
};

int Run(const TArguments& arguments) {
  const app::TTemplateFile file = app::ReadTemplateFile(arguments.templatePath, Defaults());
  if (!file.failure.empty()) {
    Print(stderr, file.failure + "\n");
    return kBadInput;
  }
  const naming::TemplateReading& reading = file.reading;
  // A batch run takes no default in place of a value: it says which line to mend.
  if (!reading.replaced.empty()) {
    for (const naming::ReplacedValue& value : reading.replaced)
      Print(stderr, arguments.templatePath + "(" + std::to_string(value.line) + "): " + value.key +
                        " の値 \"" + value.found + "\" は使えません。\n");
    return kBadInput;
  }
  const naming::TemplateValues& values = reading.values;
  const std::string target = arguments.target.value_or(values.target);
  const DWORD attributes = GetFileAttributesA(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    Print(stderr, "作成先のフォルダ " + target + " がありません。\n");
    return kBadInput;
  }

  const naming::TierValuesTemplate parent(values.parent);
  const naming::TierValuesTemplate child(values.child);
  const naming::FixedRunSettings settings(values.childFolders, target);
  const naming::DateFormatTable formats =
      naming::DateTypeInit(std::make_unique<app::Win32AlternativeCalendar>());
  const naming::RunInputs inputs{parent, child, settings, formats};

  if (arguments.mode == TArguments::Mode::Count) {
    const auto parents = naming::TierFolderCount(parent, formats);
    const auto children = naming::TierFolderCount(child, formats);
    if (!parents || (values.childFolders && !children)) {
      Print(stderr, "番号が整数ではありません。\n");
      return kBadInput;
    }
    const std::uint64_t total =
        naming::TotalFolders(*parents, children.value_or(0), values.childFolders);
    Print(stdout, std::to_string(total) + "\n");
    return kDone;
  }

  if (arguments.mode == TArguments::Mode::List) {
    TListingCreator lister;
    const naming::RunOutcome outcome = naming::RunCreation(inputs, lister);
    if (outcome.kind != naming::RunOutcome::Kind::Created) {
      Print(stderr, outcome.BoxText() + "\n");
      return kBadInput;
    }
    return kDone;
  }

  SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
  TCountingCreator creator;
  TConsoleControl control;
  const naming::RunOutcome outcome = naming::RunCreation(inputs, creator, &control);
  Print(stderr, "\n");
  if (outcome.kind != naming::RunOutcome::Kind::Created) {
    Print(stderr, outcome.BoxText() + "\n");
    return kBadInput;
  }
  Print(stdout, "作成 " + naming::GroupedNumber(outcome.made) + "、既存 " +
                    naming::GroupedNumber(creator.existing) + "、失敗 " +
                    naming::GroupedNumber(outcome.failures) + "\n");
  if (outcome.failures > 0)
    Print(stdout,
          "最初の失敗: " + outcome.firstFailedPath + " (" + outcome.firstFailureReason + ")\n");
  if (outcome.stopped) {
    Print(stdout, "Ctrl+C で中止しました。\n");
    return kStopped;
  }
  return outcome.failures > 0 ? kSomeFailed : kDone;
}

}  // namespace

int main() {
  SetConsoleOutputCP(932);
  const std::optional<std::vector<std::string>> given = CommandLineArguments();
  if (!given) return kBadInput;
  const std::optional<TArguments> arguments = ParseArguments(*given);
  if (!arguments) {
    Print(stderr, kHelp);
    return kBadInput;
  }
  if (arguments->mode == TArguments::Mode::Help) {
    Print(stdout, kHelp);
    return kDone;
  }
  try {
    return Run(*arguments);
  } catch (const std::exception& error) {
    Print(stderr, std::string(error.what()) + "\n");
    return kBadInput;
  }
}
