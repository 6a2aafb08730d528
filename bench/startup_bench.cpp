// Start-up as a user sees it: from starting Tessarin.exe to a main window that is shown, painted
// and answers messages, against an empty Win32 window of the same size started the same way (this
// program again, with --empty-window). Rounds alternate, and the fastest of each counts: on a
// shared machine the slower rounds measure the other processes' load.
//
// A third stand-in (--same-windows) makes the windows of the program's first painting again, bare:
// the same classes, styles, places and font, with no program behind them. Its time is the least
// those windows can cost on this system, whatever the program does around them.
//
// The window is not all a user waits for: the folder tree fills after it. The program's time to
// its tree filled and drawn, the root and its first child open, is set against a fourth stand-in
// (--same-windows-and-tree), the floor: the same bare windows, then their tree view filled with
// the same nodes taken from the shell the plain way (the desktop folder, its listing, display
// names, icons from the system image list) and drawn. Both are read from outside, alike: the tree
// answers its node count and open states, and no window inside the main window, nor the main
// window, has anything left to paint.
//
//   startup_bench [--quick] [path of Tessarin.exe]   (--empty-window, --same-windows FILE,
//                                                       --same-windows-and-tree FILE: the
//                                                       stand-ins themselves)

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
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

void AnswerIcon(NMTVDISPINFOA& info);

LRESULT CALLBACK EmptyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY && !(GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) PostQuitMessage(0);
  // Only the floor's tree asks its parent anything.
  if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == TVN_GETDISPINFOA) {
    AnswerIcon(*reinterpret_cast<NMTVDISPINFOA*>(lParam));
    return 0;
  }
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

void ShowAndDraw(HWND window) {
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
}

int RunMessageLoop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}

int ShowAndWait(HWND window) {
  ShowAndDraw(window);
  return RunMessageLoop();
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

// --- The floor's tree: the same nodes, from the shell the plain way -----------------------------

// The shell's functions, loaded like the program's libraries.
struct ShellFunctions {
  HRESULT(WINAPI* desktopFolder)
  (IShellFolder**) = LibraryFunction<decltype(desktopFolder)>("shell32.dll", "SHGetDesktopFolder");
  DWORD_PTR(WINAPI* fileInfo)
  (LPCSTR, DWORD, SHFILEINFOA*, UINT, UINT) = LibraryFunction<decltype(fileInfo)>("shell32.dll",
                                                                                  "SHGetFileInfoA");
  HRESULT(WINAPI* specialFolder)
  (HWND, int,
   LPITEMIDLIST*) = LibraryFunction<decltype(specialFolder)>("shell32.dll",
                                                             "SHGetSpecialFolderLocation");
  HRESULT(WINAPI* strRetText)
  (STRRET*, LPCITEMIDLIST, LPSTR, UINT) = LibraryFunction<decltype(strRetText)>("shlwapi.dll",
                                                                                "StrRetToBufA");
  bool Loaded() const { return desktopFolder && fileInfo && specialFolder && strRetText; }
};

const ShellFunctions& Shell() {
  static const ShellFunctions functions;
  return functions;
}

// An item list kept as bytes: its items, then the two zero bytes that end it.
using ItemList = std::vector<BYTE>;

ItemList Joined(const ItemList& parent, LPCITEMIDLIST child) {
  ItemList joined(parent.begin(), parent.end() - 2);
  const auto* bytes = reinterpret_cast<const BYTE*>(child);
  std::size_t size = 0;
  while (const USHORT length = reinterpret_cast<const SHITEMID*>(bytes + size)->cb) size += length;
  joined.insert(joined.end(), bytes, bytes + size + 2);
  return joined;
}

LPCITEMIDLIST AsList(const ItemList& list) { return reinterpret_cast<LPCITEMIDLIST>(list.data()); }

// The nodes' absolute lists, for their icons. The stand-in ends with its window: these, and the
// lists the shell hands out below, live as long as it.
std::deque<ItemList>& NodeLists() {
  static std::deque<ItemList> lists;
  return lists;
}

// The tree asks a node's icon only when it draws it, as the program's does.
void AnswerIcon(NMTVDISPINFOA& info) {
  const auto* list = reinterpret_cast<const ItemList*>(info.item.lParam);
  const auto icon = [&](UINT open) {
    SHFILEINFOA file{};
    Shell().fileInfo(reinterpret_cast<LPCSTR>(AsList(*list)), 0, &file, sizeof file,
                     SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | open);
    return file.iIcon;
  };
  const bool selected = (info.item.state & TVIS_SELECTED) != 0;
  const int normal = info.item.mask & TVIF_IMAGE || !selected ? icon(0) : 0;
  if (info.item.mask & TVIF_IMAGE) info.item.iImage = normal;
  if (info.item.mask & TVIF_SELECTEDIMAGE)
    info.item.iSelectedImage = selected ? icon(SHGFI_OPENICON) : normal;
  info.item.mask |= TVIF_DI_SETITEM;
}

std::string DisplayName(IShellFolder& folder, LPCITEMIDLIST item) {
  STRRET answer{};
  char name[MAX_PATH] = {};
  if (SUCCEEDED(folder.GetDisplayNameOf(item, SHGDN_INFOLDER, &answer)))
    Shell().strRetText(&answer, item, name, sizeof name);
  return name;
}

struct Child {
  ItemList absolute;
  std::string name;
  bool hasSubFolders;
};

// The folders `folder` lists, in its order, that `shown` keeps (given the child and its
// attributes).
std::vector<Child> ListFolders(IShellFolder& folder, const ItemList& absolute,
                               const std::function<bool(LPCITEMIDLIST, SFGAOF)>& shown) {
  std::vector<Child> children;
  std::vector<LPITEMIDLIST> relatives;
  IEnumIDList* listing = nullptr;
  if (FAILED(folder.EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN, &listing)) ||
      !listing)
    return children;
  LPITEMIDLIST relative = nullptr;
  while (listing->Next(1, &relative, nullptr) == S_OK) relatives.push_back(relative);
  listing->Release();
  std::stable_sort(relatives.begin(), relatives.end(), [&](LPITEMIDLIST a, LPITEMIDLIST b) {
    return static_cast<short>(HRESULT_CODE(folder.CompareIDs(0, a, b))) < 0;
  });
  for (LPITEMIDLIST each : relatives) {
    SFGAOF attributes = SFGAO_HASSUBFOLDER | SFGAO_FILESYSTEM;
    LPCITEMIDLIST item = each;
    if (FAILED(folder.GetAttributesOf(1, &item, &attributes))) attributes = 0;
    if (shown(each, attributes))
      children.push_back({Joined(absolute, each), DisplayName(folder, each),
                          (attributes & SFGAO_HASSUBFOLDER) != 0});
  }
  return children;
}

HTREEITEM AddNode(HWND tree, HTREEITEM parent, ItemList absolute, const std::string& name,
                  bool hasChildren) {
  NodeLists().push_back(std::move(absolute));
  TVINSERTSTRUCTA insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM;
  insert.item.pszText = const_cast<char*>(name.c_str());
  insert.item.iImage = I_IMAGECALLBACK;
  insert.item.iSelectedImage = I_IMAGECALLBACK;
  insert.item.cChildren = hasChildren ? 1 : 0;
  insert.item.lParam = reinterpret_cast<LPARAM>(&NodeLists().back());
  return reinterpret_cast<HTREEITEM>(
      SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

// The tree as the program first shows it: the desktop, open, with the desktop items the program
// shows (the computer, the network, the recycle bin and file-system folders); its first child
// open; the desktop selected. The program's indent, and the system's small icons.
void FillTreeFromShell(HWND tree) {
  IShellFolder* desktop = nullptr;
  if (!Shell().Loaded() || FAILED(Shell().desktopFolder(&desktop)) || !desktop) return;
  const ItemList desktopList(2, 0);
  SHFILEINFOA file{};
  const auto images =
      Shell().fileInfo(reinterpret_cast<LPCSTR>(AsList(desktopList)), 0, &file, sizeof file,
                       SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
  SendMessageA(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, static_cast<LPARAM>(images));
  SendMessageA(tree, TVM_SETINDENT, 19, 0);

  std::vector<LPITEMIDLIST> special;
  for (int folder : {CSIDL_DRIVES, CSIDL_NETWORK, CSIDL_BITBUCKET}) {
    LPITEMIDLIST list = nullptr;
    if (SUCCEEDED(Shell().specialFolder(nullptr, folder, &list))) special.push_back(list);
  }
  const auto desktopShows = [&](LPCITEMIDLIST child, SFGAOF attributes) {
    if (attributes & SFGAO_FILESYSTEM) return true;
    for (LPITEMIDLIST list : special)
      if (HRESULT_CODE(desktop->CompareIDs(0, child, list)) == 0) return true;
    return false;
  };
  const std::vector<Child> level1 = ListFolders(*desktop, desktopList, desktopShows);
  HTREEITEM root = AddNode(tree, TVI_ROOT, desktopList, DisplayName(*desktop, AsList(desktopList)),
                           !level1.empty());
  HTREEITEM first = nullptr;
  for (const Child& child : level1) {
    HTREEITEM node = AddNode(tree, root, child.absolute, child.name, child.hasSubFolders);
    if (first) continue;
    first = node;
    IShellFolder* folder = nullptr;
    if (FAILED(desktop->BindToObject(AsList(child.absolute), nullptr, IID_IShellFolder,
                                     reinterpret_cast<void**>(&folder))) ||
        !folder)
      continue;
    for (const Child& grandchild :
         ListFolders(*folder, child.absolute, [](LPCITEMIDLIST, SFGAOF) { return true; }))
      AddNode(tree, node, grandchild.absolute, grandchild.name, grandchild.hasSubFolders);
    folder->Release();
  }
  SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
  if (first) SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(first));
  SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(root));
  desktop->Release();
}

// The same windows bare; with `fillTree`, their tree view then filled as above and drawn.
int RunSameWindows(const std::string& path, bool fillTree) {
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
  ShowAndDraw(windows.front());
  if (fillTree) {
    HWND tree = FindWindowExA(windows.front(), nullptr, WC_TREEVIEWA, nullptr);
    if (tree == nullptr) return 1;
    FillTreeFromShell(tree);
    UpdateWindow(tree);
  }
  return RunMessageLoop();
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

// An answer of `window` to a message that carries no pointer; 0 when it gives none in time.
LRESULT Asked(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kTimeoutMs, &answer);
  return static_cast<LRESULT>(answer);
}

bool NodeOpen(HWND tree, LPARAM node) {
  return node != 0 && (Asked(tree, TVM_GETITEMSTATE, static_cast<WPARAM>(node), TVIS_EXPANDED) &
                       TVIS_EXPANDED) != 0;
}

// Filled as start-up leaves it, in the tree's own answers: the root open and its first child too.
bool FirstLevelOpen(HWND tree) {
  const LRESULT root = Asked(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
  return NodeOpen(tree, root) && NodeOpen(tree, Asked(tree, TVM_GETNEXTITEM, TVGN_CHILD, root));
}

bool Painted(HWND window) { return !GetUpdateRect(window, nullptr, FALSE); }

BOOL CALLBACK FindUnpainted(HWND child, LPARAM unpainted) {
  if (!IsWindowVisible(child) || Painted(child)) return TRUE;
  *reinterpret_cast<bool*>(unpainted) = true;
  return FALSE;
}

// The window and every window inside it.
bool WholeWindowPainted(HWND window) {
  bool unpainted = !Painted(window);
  if (!unpainted) EnumChildWindows(window, FindUnpainted, reinterpret_cast<LPARAM>(&unpainted));
  return !unpainted;
}

bool Answers(HWND window) {
  DWORD_PTR answer = 0;
  return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kTimeoutMs, &answer) != 0;
}

struct StartupTimes {
  double window = -1;  // seconds to the main window painted and answering; -1 for never
  double tree = -1;    // on to its tree filled and drawn; -1 for never or not asked
  int treeNodes = 0;   // the tree's nodes then
};

// Seconds from CreateProcess to a visible window of the class that has painted (no update region
// left) and answers a message, and with `waitForTree` on to its tree view with the first level
// open and the whole window painted, every window inside it too. `whenReady` may look at the window
// then, outside the times; the process is closed afterwards.
StartupTimes TimeStartUp(const std::string& commandLine, const char* className, bool waitForTree,
                         const std::function<void(HWND)>& whenReady = {}) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string line = commandLine;
  const double start = Seconds();
  StartupTimes times;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return times;
  }
  HWND window = nullptr;
  HWND tree = nullptr;
  while (Seconds() - start < kTimeoutMs / 1000.0) {
    if (times.window < 0) {
      window = VisibleWindowOf(process.dwProcessId, className);
      if (window != nullptr && Painted(window) && Answers(window)) times.window = Seconds() - start;
    }
    if (times.window >= 0 && !waitForTree) break;
    if (times.window >= 0) {
      if (tree == nullptr) tree = FindWindowExA(window, nullptr, WC_TREEVIEWA, nullptr);
      if (tree != nullptr && FirstLevelOpen(tree) && WholeWindowPainted(window)) {
        times.tree = Seconds() - start;
        times.treeNodes = static_cast<int>(Asked(tree, TVM_GETCOUNT, 0, 0));
        break;
      }
    }
    Sleep(1);
  }
  if (times.window >= 0 && whenReady) whenReady(window);
  if (window != nullptr) PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, kTimeoutMs) != WAIT_OBJECT_0)
    TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return times;
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

// The fastest and the median of a run of rounds.
struct Spread {
  double fastest;
  double median;
};

Spread SpreadOf(std::vector<double> rounds) {
  std::sort(rounds.begin(), rounds.end());
  return {rounds.front(), rounds[rounds.size() / 2]};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--empty-window") == 0) return RunEmptyWindow();
  if (argc > 2 && std::strcmp(argv[1], "--same-windows") == 0)
    return RunSameWindows(argv[2], false);
  if (argc > 2 && std::strcmp(argv[1], "--same-windows-and-tree") == 0)
    return RunSameWindows(argv[2], true);
  const bool quick = QuickRun(argc, argv);
  const int programArgument = quick ? 2 : 1;
  const std::string program = argc > programArgument ? argv[programArgument] : DefaultProgram();
  const std::string windowList = WindowListPath();
  const int rounds = quick ? 1 : 11;
  std::vector<double> emptyRounds, windowRounds, sameRounds, treeRounds, floorRounds;
  std::size_t windowCount = 0;
  int programNodes = 0, floorNodes = 0;
  for (int round = 0; round < rounds; ++round) {
    const double empty =
        TimeStartUp(Quoted(ThisProgram()) + " --empty-window", kEmptyClass, false).window;
    const StartupTimes tessarin = TimeStartUp(Quoted(program), kMainClass, true, [&](HWND main) {
      if (windowCount > 0) return;
      const std::vector<WindowRecord> records = RecordWindows(main);
      SaveWindows(records, windowList);
      windowCount = records.size();
    });
    const double same = TimeStartUp(Quoted(ThisProgram()) + " --same-windows " + Quoted(windowList),
                                    kMainClass, false)
                            .window;
    const StartupTimes floor = TimeStartUp(
        Quoted(ThisProgram()) + " --same-windows-and-tree " + Quoted(windowList), kMainClass, true);
    if (empty < 0 || tessarin.tree < 0 || same < 0 || floor.tree < 0) {
      std::printf(
          "startup: no responsive window or no filled tree (empty %.3f s, Tessarin %.3f s and "
          "%.3f s, same %.3f s, floor %.3f s)\n",
          empty, tessarin.window, tessarin.tree, same, floor.tree);
      return 1;
    }
    std::printf(
        "round %d: empty window %.3f s, Tessarin %.3f s (tree %.3f s), its windows bare %.3f s "
        "(with the tree %.3f s)\n",
        round + 1, empty, tessarin.window, tessarin.tree, same, floor.tree);
    emptyRounds.push_back(empty);
    windowRounds.push_back(tessarin.window);
    sameRounds.push_back(same);
    treeRounds.push_back(tessarin.tree);
    floorRounds.push_back(floor.tree);
    programNodes = tessarin.treeNodes;
    floorNodes = floor.treeNodes;
  }
  DeleteFileA(windowList.c_str());
  const Spread empty = SpreadOf(emptyRounds), window = SpreadOf(windowRounds),
               same = SpreadOf(sameRounds), tree = SpreadOf(treeRounds),
               floor = SpreadOf(floorRounds);
  std::printf(
      "start-up to a responsive, painted main window (fastest of %d): %.3f s, empty window %.3f s, "
      "ratio %.2f (goal <= 2.0; median %.2f)\n",
      rounds, window.fastest, empty.fastest, window.fastest / empty.fastest,
      window.median / empty.median);
  std::printf(
      "the %zu windows of the first painting made bare, with no program behind them: %.3f s, "
      "ratio %.2f (the least these windows cost here)\n",
      windowCount, same.fastest, same.fastest / empty.fastest);
  std::printf(
      "start-up to the folder tree filled and drawn, its first level open (fastest / median of "
      "%d): %.3f / %.3f s; its floor, the same windows and a bare tree of the same nodes filled "
      "from the shell: %.3f / %.3f s; ratio %.2f / %.2f (goal <= 1.3)\n",
      rounds, tree.fastest, tree.median, floor.fastest, floor.median, tree.fastest / floor.fastest,
      tree.median / floor.median);
  if (programNodes != floorNodes) {
    std::printf("the floor's tree does not hold the program's nodes: %d against %d\n", floorNodes,
                programNodes);
    return 1;
  }
  return 0;
}
