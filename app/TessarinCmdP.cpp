// TessarinCmd: a template file's run for batch files and scheduled tasks, made by the same core
// and the same directory code as the window's run. Output is code page 932.
//
//   TessarinCmd [--list | --count] template.tsnt [target folder]
//
// Exit codes: 0 every folder made or there already, 1 some failed, 2 bad arguments or template,
// 3 stopped by Ctrl+C. --list ends with the code the run would end with.

#include <windows.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "app/TemplateDisk.h"
#include "app/Win32Naming.h"
#include "framework/CodePage.h"
#include "naming/Calendar.h"
#include "naming/Characters.h"
#include "naming/Composition.h"
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
    "            3 Ctrl+C で中止 (--list は作成したときと同じコードで終わります)\n";

std::atomic<bool> stopRequested{false};

BOOL WINAPI OnConsoleControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  stopRequested = true;  // the run stops before its next folder
  return TRUE;
}

// Writes `text` with every line ending CRLF, as the streams are binary: a line break of the core's
// own messages (CRLF already) is not doubled.
void Print(FILE* stream, const std::string& text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  std::fwrite(out.data(), 1, out.size(), stream);
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

// The arguments, or the message that names the one that cannot be used.
std::variant<TArguments, std::string> ParseArguments(const std::vector<std::string>& given) {
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
      return "不明なオプションです: " + argument;
    } else {
      positional.push_back(argument);
    }
  }
  if (arguments.mode == TArguments::Mode::Help) return arguments;
  if (positional.empty()) return std::string("テンプレートファイルを指定してください。");
  // A template and a folder at most: a third is most likely a second template.
  if (positional.size() > 2) return "余分な引数です: " + positional[2];
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

// The full path of a folder argument, with no separator at its end but a drive root's own, so
// that no path of the run doubles one.
std::string FullFolderPath(const std::string& path) {
  char full[MAX_PATH];
  char* name = nullptr;
  const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, &name);
  std::string result = length > 0 && length < MAX_PATH ? std::string(full, length) : path;
  while (result.size() > 3 && naming::EndsWithSeparator(result)) result.pop_back();
  return result;
}

// The file and line a message is about: "月次.tsnt(7): ", or the file alone.
std::string Where(const std::string& templatePath, int line) {
  return templatePath + (line > 0 ? "(" + std::to_string(line) + ")" : "") + ": ";
}

// The message of a run that cannot start, naming the file's line that holds what it refuses.
std::string Refusal(const naming::RunOutcome& outcome, const std::string& templatePath,
                    const naming::TemplateReading& reading) {
  std::string message = outcome.BoxText();
  const auto holder = outcome.kind == naming::RunOutcome::Kind::ForbiddenCharacters
                          ? naming::FirstTextHolding(reading, naming::HasForbiddenCharacter)
                      : outcome.kind == naming::RunOutcome::Kind::BrokenDoubleByte
                          ? naming::FirstTextHolding(reading, naming::HasBrokenDoubleByteCharacter)
                          : std::nullopt;
  if (!holder) return message + "\n";
  message.erase(message.find("\r\n"), 2);  // one line after the place
  return Where(templatePath, holder->second) + holder->first + ": " + message + "\n";
}

// Every path with what the run would do there, a line each, written in large blocks; makes
// nothing. The exit code is the run's.
int List(const naming::RunInputs& inputs, const std::string& templatePath,
         const naming::TemplateReading& reading) {
  naming::RunOutcome refusal;
  const std::optional<naming::RunListing> listing =
      naming::RunListing::Make(inputs, app::DiskReader().Folding(), refusal);
  if (!listing) {
    Print(stderr, Refusal(refusal, templatePath, reading));
    return kBadInput;
  }
  naming::DiskCache disk(app::DiskReader());
  std::string block;
  bool failed = false;
  for (std::uint64_t k = 0; k < listing->Count(); ++k) {
    const naming::CreateResult state = listing->State(k, disk);
    failed = failed || state.status == naming::CreateStatus::Failed;
    block += naming::StateText(state.status);
    block += '\t';
    block += listing->Path(k).path;
    if (!state.reason.empty()) block.append("\t").append(state.reason);
    block += "\r\n";
    if (block.size() >= (1u << 16)) {
      std::fwrite(block.data(), 1, block.size(), stdout);
      block.clear();
    }
  }
  std::fwrite(block.data(), 1, block.size(), stdout);
  std::fflush(stdout);
  if (refusal.kind != naming::RunOutcome::Kind::Created) {
    Print(stderr, Refusal(refusal, templatePath, reading));
    return kBadInput;
  }
  return failed ? kSomeFailed : kDone;
}

// Progress on standard error, a few times a second; Ctrl+C stops the run here.
class TConsoleControl final : public naming::RunControl {
 public:
  bool Confirm(const naming::RunPlan&) override { return true; }
  bool Continue(std::uint64_t done, std::uint64_t total, const std::string&) override {
    total_ = total;
    const DWORD now = GetTickCount();
    if (done == 0 || now - shown_ >= 200) {
      shown_ = now;
      Show(done);
    }
    return !stopRequested;
  }
  // A run that went through did every step.
  void Finish() { Show(total_); }

 private:
  void Show(std::uint64_t done) const {
    std::string line = std::to_string(done) + " / " + std::to_string(total_);
    line.insert(line.begin(), '\r');
    Print(stderr, line);
  }

  DWORD shown_ = 0;
  std::uint64_t total_ = 0;
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
  // A target from the file is the file's line to mend; one given is the argument.
  const auto targetLine = reading.lines.find("[Tessarin] Target");
  const std::string targetFrom = arguments.target || targetLine == reading.lines.end()
                                     ? std::string()
                                     : Where(arguments.templatePath, targetLine->second);
  if (arguments.target.value_or(values.target).empty()) {
    Print(stderr, arguments.templatePath + ": 作成先のフォルダがありません (Target が空です)。\n");
    return kBadInput;
  }
  const std::string target = FullFolderPath(arguments.target.value_or(values.target));
  const DWORD attributes = GetFileAttributesA(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    Print(stderr, targetFrom + "作成先のフォルダ " + target + " がありません。\n");
    return kBadInput;
  }
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    Print(stderr, targetFrom + "作成先 " + target + " はフォルダではありません。\n");
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

  if (arguments.mode == TArguments::Mode::List)
    return List(inputs, arguments.templatePath, reading);

  SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
  app::Win32DirectoryCreator creator;
  TConsoleControl control;
  const naming::RunOutcome outcome = naming::RunCreation(inputs, creator, &control);
  if (outcome.kind != naming::RunOutcome::Kind::Created) {
    Print(stderr, Refusal(outcome, arguments.templatePath, reading));
    return kBadInput;
  }
  if (!outcome.stopped) control.Finish();
  Print(stderr, "\n");
  Print(stdout, "作成 " + naming::GroupedNumber(outcome.made) + "、既存 " +
                    naming::GroupedNumber(outcome.existing) + "、失敗 " +
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
  // Line ends are written as they are meant: CRLF, once.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  const std::optional<std::vector<std::string>> given = CommandLineArguments();
  if (!given) return kBadInput;
  const std::variant<TArguments, std::string> parsed = ParseArguments(*given);
  if (const std::string* wrong = std::get_if<std::string>(&parsed)) {
    Print(stderr, *wrong + "\n\n" + kHelp);
    return kBadInput;
  }
  const TArguments* arguments = &std::get<TArguments>(parsed);
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
