// The list of a run of 1,000,000 new folders, against a bare program (bench/bare/BareList.cpp)
// that reads the target folder once and prints every path with its state, its output to a file:
//   - `TessarinCmd --list` of a template file, its output to a file as a batch file sends it;
//   - the list window's count of the same run, from opening the window to its summary.
// The target folder holds 1,000 other folders. Rounds alternate and the fastest counts. Also the
// heap the count holds per path, which must not grow with the run.
//
//   listing_bench [--quick]   (--quick: 10,000 names, one round)

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/FolderListWindow.h"
#include "app/Win32Naming.h"
#include "bench/BenchClock.h"
#include "bench/BenchFolder.h"
#include "bench/BenchMemory.h"
#include "bench/BenchOptions.h"
#include "framework/Application.h"
#include "naming/Calendar.h"
#include "testkit/TestTier.h"

namespace {

// The folder of this program's build, with its separator.
std::string BuildFolder() {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path = self;
  return path.substr(0, path.rfind('\\') + 1);
}

// Seconds `commandLine` takes from its start to its end, its output into `output`; negative when
// it does not end well.
double Started(std::string commandLine, const std::string& output) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE file = CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                            0, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = file;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  DWORD exitCode = 1;
  const double seconds = Timed([&] {
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process))
      return;
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  });
  CloseHandle(file);
  return exitCode == 0 ? seconds : -1;
}

// Seconds from opening the list window to its summary.
double Counted(TForm& owner, const naming::RunInputs& inputs) {
  std::unique_ptr<TFolderListForm> form;
  return Timed([&] {
    naming::RunOutcome refusal;
    form = std::make_unique<TFolderListForm>(
        owner, *naming::RunListing::Make(inputs, app::DiskReader().Folding(), refusal));
    form->Show();
    while (form->Counting()) {
      Application().ProcessMessages();
      Sleep(1);
    }
  });
}

}  // namespace

int main(int argc, char** argv) {
  const bool quick = QuickRun(argc, argv);
  const int names = quick ? 10000 : 1000000;
  const int rounds = quick ? 1 : 3;
  const std::string target =
      BenchFolder("listing-1000", 1000, "other%04d",
                  [](const std::string& folder) { CreateDirectoryA(folder.c_str(), nullptr); });
  const std::string scratch = target.substr(0, target.rfind('\\') + 1);
  const std::string templateFile = scratch + "listing.tsnt";
  const std::string output = scratch + "listing.txt";
  const std::string text = "[Tessarin]\r\nVersion=1\r\nTarget=" + target +
                           "\r\n[Parent]\r\nFront=n\r\nKind=number\r\nStartNumber=0\r\nEndNumber=" +
                           std::to_string(names - 1) + "\r\nDigits=1\r\n";
  HANDLE file =
      CreateFileA(templateFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);

  naming::test::TestTier parent, child;
  parent.start = "0", parent.end = std::to_string(names - 1), parent.front = "n";
  const naming::FixedRunSettings settings(false, target);
  const naming::DateFormatTable formats = naming::DateTypeInit(nullptr);
  const naming::RunInputs inputs{parent, child, settings, formats};
  TForm owner("listing_bench", TBorderStyle::Single);
  Application().ProcessMessages();

  const std::string bare =
      "\"" + BuildFolder() + "bare\\bare_list.exe\" \"" + target + "\" n " + std::to_string(names);
  const std::string list =
      "\"" + BuildFolder() + "..\\app\\TessarinCmd.exe\" --list \"" + templateFile + "\"";
  std::vector<double> bareTimes, listTimes, countTimes;
  for (int round = 0; round < rounds; ++round) {
    bareTimes.push_back(Started(bare, output));
    listTimes.push_back(Started(list, output));
    countTimes.push_back(Counted(owner, inputs));
  }
  if (*std::min_element(bareTimes.begin(), bareTimes.end()) < 0 ||
      *std::min_element(listTimes.begin(), listTimes.end()) < 0) {
    std::printf("a program did not run to its end\n");
    return 1;
  }

  // The count's own memory: the listing's and the window's are the list window benchmark's.
  naming::RunOutcome refusal;
  const naming::RunListing listing =
      *naming::RunListing::Make(inputs, app::DiskReader().Folding(), refusal);
  const double before = HeapBytes();
  naming::DiskCache disk(app::DiskReader());
  naming::ListingTally tally;
  for (std::uint64_t k = 0; k < listing.Count(); ++k) tally.Add(listing.State(k, disk).status);
  const double perPath = (HeapBytes() - before) / names;

  const double floor = *std::min_element(bareTimes.begin(), bareTimes.end());
  const double listed = *std::min_element(listTimes.begin(), listTimes.end());
  const double counted = *std::min_element(countTimes.begin(), countTimes.end());
  std::printf("List of %d new folders beside 1,000 others, fastest of %d rounds:\n", names, rounds);
  std::printf("  bare program (one listing, every path printed):  %s\n", Figure(floor).c_str());
  std::printf("  TessarinCmd --list:                               %s  ratio %.2f (goal <= 2)\n",
              Figure(listed).c_str(), listed / floor);
  std::printf("  the list window, opened to its summary:           %s  ratio %.2f (goal <= 2)\n",
              Figure(counted).c_str(), counted / floor);
  std::printf("Heap held by the count: %.3f bytes a path (%s), goal: none\n", perPath,
              tally.Text().c_str());
  return 0;
}
