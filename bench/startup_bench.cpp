// Start-up as a user sees it: from starting Tessarin.exe to a main window that is shown, painted
// and answers messages, against an empty Win32 window of the same size started the same way (this
// program again, with --empty-window). Rounds alternate, and the fastest of each counts: on a
// shared machine the slower rounds measure the other processes' load.
//
//   startup_bench [--quick] [path of Tessarin.exe]   (--empty-window: the stand-in itself)

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "bench/BenchClock.h"
#include "bench/BenchOptions.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 320;  // the main window opens compact
constexpr char kEmptyClass[] = "TessarinEmptyWindow";
constexpr char kMainClass[] = "TessarinForm";
constexpr DWORD kTimeoutMs = 30000;

LRESULT CALLBACK EmptyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wParam, lParam);
}

// The stand-in: one empty top-level window that paints its background, then waits.
int RunEmptyWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = EmptyWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kEmptyClass;
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, kEmptyClass, "Tessarin", WS_OVERLAPPEDWINDOW, 10, 10, kWidth,
                                kHeight, nullptr, nullptr, windowClass.hInstance, nullptr);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}

// The first visible top-level window of the process with the given class.
struct WindowSearch {
  DWORD processId;
  const char* className;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
  auto& wanted = *reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (owner != wanted.processId || !IsWindowVisible(window) ||
      std::strcmp(name, wanted.className) != 0)
    return TRUE;
  wanted.found = window;
  return FALSE;
}

HWND VisibleWindowOf(DWORD processId, const char* className) {
  WindowSearch search{processId, className, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Seconds from CreateProcess to a visible window of the class that has painted (no update region
// left) and answers a message; -1 when it never got there. The process is closed afterwards.
double TimeToResponsiveWindow(const std::string& commandLine, const char* className) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string line = commandLine;
  const double start = Seconds();
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return -1;
  }
  double elapsed = -1;
  HWND window = nullptr;
  while (Seconds() - start < kTimeoutMs / 1000.0) {
    window = VisibleWindowOf(process.dwProcessId, className);
    DWORD_PTR answer = 0;
    if (window != nullptr && !GetUpdateRect(window, nullptr, FALSE) &&
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kTimeoutMs, &answer)) {
      elapsed = Seconds() - start;
      break;
    }
    Sleep(1);
  }
  if (window != nullptr) PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, kTimeoutMs) != WAIT_OBJECT_0)
    TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return elapsed;
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

std::string ThisProgram() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  return path;
}

// Tessarin.exe of the same build: bench/ and app/ are sibling folders of the build.
std::string DefaultProgram() {
  std::string path = ThisProgram();
  path.resize(path.find_last_of('\\'));
  path.resize(path.find_last_of('\\') + 1);
  return path + "app\\Tessarin.exe";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--empty-window") == 0) return RunEmptyWindow();
  const bool quick = QuickRun(argc, argv);
  const int programArgument = quick ? 2 : 1;
  const std::string program = argc > programArgument ? argv[programArgument] : DefaultProgram();
  const int rounds = quick ? 1 : 11;
  double bestProgram = 1e9, bestEmpty = 1e9;
  for (int round = 0; round < rounds; ++round) {
    const double empty =
        TimeToResponsiveWindow(Quoted(ThisProgram()) + " --empty-window", kEmptyClass);
    const double tessarin = TimeToResponsiveWindow(Quoted(program), kMainClass);
    if (empty < 0 || tessarin < 0) {
      std::printf("startup: no responsive window (empty %.3f s, Tessarin %.3f s)\n", empty,
                  tessarin);
      return 1;
    }
    std::printf("round %d: empty window %.3f s, Tessarin %.3f s\n", round + 1, empty, tessarin);
    bestEmpty = std::min(bestEmpty, empty);
    bestProgram = std::min(bestProgram, tessarin);
  }
  std::printf(
      "start-up to a responsive, painted main window (fastest of %d): %.3f s, empty window %.3f s, "
      "ratio %.2f (goal <= 2.0)\n",
      rounds, bestProgram, bestEmpty, bestProgram / bestEmpty);
  return 0;
}
