// Start-up as a user sees it: from starting Tessarin.exe to a main window that is shown, painted
// and answers messages, against an empty Win32 window of the same size started the same way (this
// program again, with --empty-window). Rounds alternate, and the fastest of each counts: on a
// shared machine the slower rounds measure the other processes' load.
//
// A third stand-in (--same-windows) makes the windows of the program's first painting again, bare:
// the same classes, styles, places and font, with no program behind them. Its time is the least
// those windows can cost on this system, whatever the program does around them.
//
//   startup_bench [--quick] [path of Tessarin.exe]   (--empty-window, --same-windows FILE: the
//                                                       stand-ins themselves)

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/BenchClock.h"
#include "bench/BenchOptions.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 320;  // the main window opens compact
constexpr char kEmptyClass[] = "TessarinEmptyWindow";
constexpr char kMainClass[] = "TessarinForm";
constexpr DWORD kTimeoutMs = 30000;

LRESULT CALLBACK EmptyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY && !(GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) PostQuitMessage(0);
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterPlainClass(const char* name) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = EmptyWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = name;
  RegisterClassA(&windowClass);
}

int ShowAndWait(HWND window) {
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}

// The stand-in: one empty top-level window that paints its background, then waits.
int RunEmptyWindow() {
  RegisterPlainClass(kEmptyClass);
  return ShowAndWait(CreateWindowExA(0, kEmptyClass, "Tessarin", WS_OVERLAPPEDWINDOW, 10, 10,
                                     kWidth, kHeight, nullptr, nullptr, GetModuleHandleA(nullptr),
                                     nullptr));
}

// --- The same windows, bare -----------------------------------------------------------------

// One window of the program's first painting.
struct WindowRecord {
  int parent;  // the index of its parent's record; -1 for the main window
  DWORD style;
  DWORD exStyle;
  RECT bounds;  // in the parent's client coordinates; the main window's on the screen
  std::string className;
};

bool OwnClass(const std::string& className) { return className.rfind("Tessarin", 0) == 0; }

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

// The children that show inside `visible` (screen coordinates), and theirs in turn where they
// are the program's own containers: a common control's inner windows are its own to make.
void RecordChildren(HWND parent, int parentIndex, const RECT& visible,
                    std::vector<WindowRecord>& records) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT onScreen{}, shown{};
    GetWindowRect(child, &onScreen);
    if (!IsWindowVisible(child) || !IntersectRect(&shown, &onScreen, &visible)) continue;
    RECT bounds = onScreen;
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&bounds), 2);
    records.push_back({parentIndex, static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE)),
                       static_cast<DWORD>(GetWindowLongA(child, GWL_EXSTYLE)), bounds,
                       ClassOf(child)});
    if (OwnClass(records.back().className))
      RecordChildren(child, static_cast<int>(records.size()) - 1, visible, records);
  }
}

std::vector<WindowRecord> RecordWindows(HWND main) {
  RECT outer{}, client{};
  GetWindowRect(main, &outer);
  GetClientRect(main, &client);
  MapWindowPoints(main, nullptr, reinterpret_cast<POINT*>(&client), 2);
  std::vector<WindowRecord> records{{-1, static_cast<DWORD>(GetWindowLongA(main, GWL_STYLE)),
                                     static_cast<DWORD>(GetWindowLongA(main, GWL_EXSTYLE)), outer,
                                     ClassOf(main)}};
  RecordChildren(main, 0, client, records);
  return records;
}

void SaveWindows(const std::vector<WindowRecord>& records, const std::string& path) {
  std::ofstream file(path);
  for (const WindowRecord& r : records)
    file << r.parent << ' ' << r.style << ' ' << r.exStyle << ' ' << r.bounds.left << ' '
         << r.bounds.top << ' ' << r.bounds.right << ' ' << r.bounds.bottom << ' ' << r.className
         << '\n';
}

std::vector<WindowRecord> LoadWindows(const std::string& path) {
  std::ifstream file(path);
  std::vector<WindowRecord> records;
  WindowRecord r{};
  while (file >> r.parent >> r.style >> r.exStyle >> r.bounds.left >> r.bounds.top >>
         r.bounds.right >> r.bounds.bottom >> r.className)
    records.push_back(r);
  return records;
}

// A function of a library loaded here; null when either is missing.
template <class Function>
Function LibraryFunction(const char* library, const char* name) {
  // Through the generic function type: the one cast between function types GCC takes silently.
  return reinterpret_cast<Function>(
      reinterpret_cast<void (*)()>(GetProcAddress(LoadLibraryA(library), name)));
}

// The program's libraries, loaded rather than imported, so that the empty window's start stays
// bare; the manifest that this program shares with Tessarin.exe makes them the same versions.
void LoadProgramLibraries() {
  const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
  if (auto init = LibraryFunction<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>(
          "comctl32.dll", "InitCommonControlsEx"))
    init(&controls);
  if (auto init = LibraryFunction<HRESULT(WINAPI*)(void*)>("ole32.dll", "OleInitialize"))
    init(nullptr);
  LoadLibraryA("shell32.dll");
}

// A menu bar of the program's three menus.
HMENU MenuBar() {
  HMENU bar = CreateMenu();
  for (const char* caption : {"&F", "&E", "&H"}) {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "&X");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), caption);
  }
  return bar;
}

int RunSameWindows(const std::string& path) {
  const std::vector<WindowRecord> records = LoadWindows(path);
  if (records.empty()) return 1;
  LoadProgramLibraries();
  for (const WindowRecord& r : records)
    if (OwnClass(r.className)) RegisterPlainClass(r.className.c_str());
  // The program's font for every control: 12 pixels, Shift-JIS.
  HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, "ＭＳ Ｐゴシック");
  std::vector<HWND> windows;
  for (const WindowRecord& r : records) {
    const bool main = r.parent < 0;
    const RECT& b = r.bounds;
    HWND window = CreateWindowExA(r.exStyle, r.className.c_str(), main ? "Tessarin" : "",
                                  r.style & ~(main ? WS_VISIBLE : 0), b.left, b.top,
                                  b.right - b.left, b.bottom - b.top,
                                  main ? nullptr : windows[static_cast<std::size_t>(r.parent)],
                                  main ? MenuBar() : nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!main) SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    windows.push_back(window);
  }
  return ShowAndWait(windows.front());
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
// left) and answers a message; -1 when it never got there. `whenReady` may look at the window
// then, outside the time; the process is closed afterwards.
double TimeToResponsiveWindow(const std::string& commandLine, const char* className,
                              const std::function<void(HWND)>& whenReady = {}) {
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
      if (whenReady) whenReady(window);
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

std::string WindowListPath() {
  char folder[MAX_PATH] = {};
  GetTempPathA(sizeof folder, folder);
  return std::string(folder) + "tessarin-startup-windows.txt";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--empty-window") == 0) return RunEmptyWindow();
  if (argc > 2 && std::strcmp(argv[1], "--same-windows") == 0) return RunSameWindows(argv[2]);
  const bool quick = QuickRun(argc, argv);
  const int programArgument = quick ? 2 : 1;
  const std::string program = argc > programArgument ? argv[programArgument] : DefaultProgram();
  const std::string windowList = WindowListPath();
  const int rounds = quick ? 1 : 11;
  double bestProgram = 1e9, bestEmpty = 1e9, bestSame = 1e9;
  std::size_t windowCount = 0;
  for (int round = 0; round < rounds; ++round) {
    const double empty =
        TimeToResponsiveWindow(Quoted(ThisProgram()) + " --empty-window", kEmptyClass);
    const double tessarin = TimeToResponsiveWindow(Quoted(program), kMainClass, [&](HWND main) {
      if (windowCount > 0) return;
      const std::vector<WindowRecord> records = RecordWindows(main);
      SaveWindows(records, windowList);
      windowCount = records.size();
    });
    const double same = TimeToResponsiveWindow(
        Quoted(ThisProgram()) + " --same-windows " + Quoted(windowList), kMainClass);
    if (empty < 0 || tessarin < 0 || same < 0) {
      std::printf("startup: no responsive window (empty %.3f s, Tessarin %.3f s, same %.3f s)\n",
                  empty, tessarin, same);
      return 1;
    }
    std::printf("round %d: empty window %.3f s, Tessarin %.3f s, its windows bare %.3f s\n",
                round + 1, empty, tessarin, same);
    bestEmpty = std::min(bestEmpty, empty);
    bestProgram = std::min(bestProgram, tessarin);
    bestSame = std::min(bestSame, same);
  }
  DeleteFileA(windowList.c_str());
  std::printf(
      "start-up to a responsive, painted main window (fastest of %d): %.3f s, empty window %.3f s, "
      "ratio %.2f (goal <= 2.0)\n",
      rounds, bestProgram, bestEmpty, bestProgram / bestEmpty);
  std::printf(
      "the %zu windows of the first painting made bare, with no program behind them: %.3f s, "
      "ratio %.2f (the least these windows cost here)\n",
      windowCount, bestSame, bestSame / bestEmpty);
  return 0;
}
