// The main window at the screen's DPI: Tessarin.exe started under each LogPixels setting, its
// windows measured from outside, as they stand on the user's screen.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "framework/DeviceContext.h"
#include "framework/Dpi.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/KeyInput.h"

namespace {

using naming::SequenceKind;

using TRect = std::array<LONG, 4>;  // left, top, right, bottom: comparable and printable

constexpr DWORD kTimeoutMs = 20000;

// The screen's DPI for the processes started while it lives (under Wine: the LogPixels value).
class TScreenDpiSetting {
 public:
  explicit TScreenDpiSetting(DWORD dpi) {
    RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &key_, nullptr);
    DWORD size = sizeof old_;
    hadValue_ = RegQueryValueExA(key_, kValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&old_),
                                 &size) == ERROR_SUCCESS;
    Write(dpi);
  }
  ~TScreenDpiSetting() {
    if (hadValue_)
      Write(old_);
    else
      RegDeleteValueA(key_, kValue);
    RegCloseKey(key_);
  }
  TScreenDpiSetting(const TScreenDpiSetting&) = delete;
  TScreenDpiSetting& operator=(const TScreenDpiSetting&) = delete;

 private:
  static constexpr const char* kValue = "LogPixels";
  void Write(DWORD dpi) {
    RegSetValueExA(key_, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
  }
  HKEY key_ = nullptr;
  DWORD old_ = 0;
  bool hadValue_ = false;
};

// The direct child windows of `window` of class `className`, client places in order.
std::vector<TRect> ChildPlaces(HWND window, const char* className = nullptr) {
  std::vector<TRect> places;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char found[64] = {};
    GetClassNameA(child, found, sizeof found);
    if (className && lstrcmpiA(found, className) != 0) continue;
    RECT place;
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    places.push_back({place.left, place.top, place.right, place.bottom});
  }
  std::sort(places.begin(), places.end());
  return places;
}

// Tessarin.exe of this build (tests/ and app/ are sibling folders), ended when this goes.
class TRunningProgram {
 public:
  TRunningProgram() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string line = path;
    line.resize(line.find_last_of('\\'));
    line.resize(line.find_last_of('\\') + 1);
    line += "app\\Tessarin.exe";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_))
      return;
    // Shown, with the child tier's six text fields made, and settled: start-up reorders the
    // windows after making them, and a walk through the children while they move skips some.
    std::vector<TRect> seen;
    for (DWORD start = GetTickCount(); GetTickCount() - start < kTimeoutMs; Sleep(100)) {
      const HWND window = FindWindowA("TessarinForm", "Tessarin");
      if (!window || !IsWindowVisible(window) || ChildPlaces(window, "Edit").size() != 6) continue;
      std::vector<TRect> now = ChildPlaces(window);
      if (now == seen) {
        window_ = window;
        return;
      }
      seen = std::move(now);
    }
  }
  ~TRunningProgram() {
    if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
    if (!process_.hProcess) return;
    if (WaitForSingleObject(process_.hProcess, kTimeoutMs) != WAIT_OBJECT_0)
      TerminateProcess(process_.hProcess, 1);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  TRunningProgram(const TRunningProgram&) = delete;
  TRunningProgram& operator=(const TRunningProgram&) = delete;

  HWND Window() const { return window_; }

  // Tells the window, as Windows does, that its monitor's DPI is now `dpi` and where it should
  // stand; the rectangle lies in the program's memory, where the message's pointer points.
  void ChangeDpi(const TDpi& dpi, const RECT& suggested) const {
    void* remote = VirtualAllocEx(process_.hProcess, nullptr, sizeof suggested,
                                  MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(remote, nullptr);
    WriteProcessMemory(process_.hProcess, remote, &suggested, sizeof suggested, nullptr);
    constexpr UINT kDpiChanged = 0x02E0;
    const auto both = static_cast<WORD>(dpi.Value());
    SendMessageA(window_, kDpiChanged, MAKEWPARAM(both, both), reinterpret_cast<LPARAM>(remote));
    VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
  }

 private:
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
};

void ClickWithTheMouse(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  INPUT clicks[2] = {};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, clicks, sizeof(INPUT));
}

int OuterHeight(HWND window) {
  RECT outer;
  GetWindowRect(window, &outer);
  return outer.bottom - outer.top;
}

TRect Scaled(const TDpi& dpi, int left, int top, int width, int height) {
  const TBounds b = dpi.Scale(TBounds{left, top, width, height});
  return {b.Left, b.Top, b.Left + b.Width, b.Top + b.Height};
}

// The main window's client width and outer height, its text fields and tree, and the child tier
// wholly below the compact window's edge, all as the layout scaled to `dpi`.
void ExpectTheLayoutAt(HWND window, const TDpi& dpi) {
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, dpi.Scale(792));
  EXPECT_EQ(OuterHeight(window), dpi.Scale(TForm1::kCompactHeight));
  // Front and back text and free lines of both tiers; the child's 17 right and 276 down.
  std::vector<TRect> fields;
  for (const POINT shift : {POINT{0, 0}, POINT{17, 276}}) {
    fields.push_back(Scaled(dpi, 314 + shift.x, 42 + shift.y, 105, 20));
    fields.push_back(Scaled(dpi, 314 + shift.x, 245 + shift.y, 105, 20));
    fields.push_back(Scaled(dpi, 574 + shift.x, 96 + shift.y, 187, 149));
  }
  std::sort(fields.begin(), fields.end());
  EXPECT_EQ(ChildPlaces(window, "Edit"), fields);
  const std::vector<TRect> tree = ChildPlaces(window, "SysTreeView32");
  ASSERT_EQ(tree.size(), 1u);
  const TRect treeLayout = Scaled(dpi, 3, 6, 174, 0);
  EXPECT_EQ(tree[0][0], treeLayout[0]);
  EXPECT_EQ(tree[0][1], treeLayout[1]);
  EXPECT_EQ(tree[0][2], treeLayout[2]);

  // No window straddles the compact edge; the child tier's five lie wholly below it.
  int below = 0;
  std::string places;
  for (const TRect& place : ChildPlaces(window)) {
    EXPECT_TRUE(place[3] <= client.bottom || place[1] >= client.bottom);
    if (place[1] >= client.bottom) ++below;
    places += " (" + std::to_string(place[0]) + "," + std::to_string(place[1]) + ")";
  }
  EXPECT_EQ(below, 5) << "client bottom " << client.bottom << ", children at" << places;
}

// The visible window of this caption of the program's, shown and settled as the main window's.
HWND SettledWindow(const char* caption) {
  std::vector<TRect> seen;
  for (DWORD start = GetTickCount(); GetTickCount() - start < kTimeoutMs; Sleep(100)) {
    const HWND window = FindWindowA(nullptr, caption);
    if (!window || !IsWindowVisible(window)) continue;
    std::vector<TRect> now = ChildPlaces(window);
    if (now == seen) return window;
    seen = std::move(now);
  }
  return nullptr;
}

// "作成するフォルダの一覧" opened by Ctrl+L on `window`: its client area, list with its columns,
// progress bar and buttons as its layout scaled to `dpi`; Escape closes it.
void ExpectTheListLayoutAt(HWND window, const TDpi& dpi) {
  SetForegroundWindow(window);
  PressKeys({VK_CONTROL, 'L'});
  const HWND list = SettledWindow("作成するフォルダの一覧");
  ASSERT_NE(list, nullptr);
  RECT client;
  GetClientRect(list, &client);
  EXPECT_EQ(client.right, dpi.Scale(760));
  EXPECT_EQ(client.bottom, dpi.Scale(477));
  std::vector<TRect> layout{Scaled(dpi, 8, 8, 744, 400),   Scaled(dpi, 440, 416, 312, 16),
                            Scaled(dpi, 8, 444, 90, 25),   Scaled(dpi, 106, 444, 130, 25),
                            Scaled(dpi, 580, 444, 84, 25), Scaled(dpi, 672, 444, 80, 25)};
  std::sort(layout.begin(), layout.end());
  EXPECT_EQ(ChildPlaces(list), layout);
  const HWND rows = FindWindowExA(list, nullptr, "SysListView32", nullptr);
  std::vector<int> widths;
  for (int column = 0; column < 4; ++column)
    widths.push_back(static_cast<int>(SendMessageA(rows, LVM_GETCOLUMNWIDTH, column, 0)));
  EXPECT_EQ(widths,
            (std::vector<int>{dpi.Scale(70), dpi.Scale(330), dpi.Scale(70), dpi.Scale(240)}));
  PressKeys({VK_ESCAPE});
  for (DWORD start = GetTickCount(); IsWindowVisible(list) && GetTickCount() - start < kTimeoutMs;)
    Sleep(20);
  EXPECT_FALSE(IsWindowVisible(list));
}

// The width of the window's title-bar icon (ICON_SMALL) or task-switcher icon (ICON_BIG).
int IconWidth(HWND window, WPARAM which) {
  const auto icon = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, which, 0));
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return 0;
  BITMAP bitmap{};
  GetObjectA(info.hbmMask, sizeof bitmap, &bitmap);
  DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  return bitmap.bmWidth;
}

// 子フォルダ clicked with the mouse: the height the layout gives for its new state.
void ClickChildFolders(HWND window, const TDpi& dpi, int expectedHeight) {
  const HWND box = FindWindowExA(window, nullptr, "Button", "子フォルダ");
  ASSERT_NE(box, nullptr);
  RECT boxPlace;
  GetWindowRect(box, &boxPlace);
  ClickWithTheMouse({(boxPlace.left + boxPlace.right) / 2, (boxPlace.top + boxPlace.bottom) / 2});
  for (DWORD start = GetTickCount();
       OuterHeight(window) != dpi.Scale(expectedHeight) && GetTickCount() - start < 5000;)
    Sleep(20);
  EXPECT_EQ(OuterHeight(window), dpi.Scale(expectedHeight));
}

TEST(DpiLayoutTests, MainWindowAndItsListAreTheLayoutScaledAndTheChildTierHidesBelowItsEdge) {
  RemoveSettingsFile();
  for (const int dotsPerInch : {96, 120, 144, 192}) {
    SCOPED_TRACE(std::to_string(dotsPerInch) + " dpi");
    const TDpi dpi(dotsPerInch);
    const TScreenDpiSetting setting(dotsPerInch);
    const TRunningProgram program;
    const HWND window = program.Window();
    ASSERT_NE(window, nullptr);
    ExpectTheLayoutAt(window, dpi);
    ExpectTheListLayoutAt(window, dpi);
    ClickChildFolders(window, dpi, TForm1::kFullHeight);
  }
  RemoveSettingsFile();
}

// The window moved to a monitor of 144 DPI, as Windows tells it (no input under Xvfb can change a
// monitor's DPI): it stands at the suggested place, laid out for 144 DPI, its fonts as in a program
// started at 144 DPI (the position lists are as high as their font); and back at 96 DPI every
// control stands exactly where it stood.
TEST(DpiLayoutTests, MainWindowFollowsTheMonitorsDpiToTheSuggestedPlaceAndBack) {
  RemoveSettingsFile();
  std::vector<TRect> listsStartedAt144;
  {
    const TScreenDpiSetting setting(144);
    const TRunningProgram program;
    ASSERT_NE(program.Window(), nullptr);
    listsStartedAt144 = ChildPlaces(program.Window(), "ComboBox");
  }
  const TScreenDpiSetting setting(96);
  const TRunningProgram program;
  const HWND window = program.Window();
  ASSERT_NE(window, nullptr);
  const std::vector<TRect> placesAt96 = ChildPlaces(window);
  RECT start;
  GetWindowRect(window, &start);
  RECT client;
  GetClientRect(window, &client);

  // As Windows suggests it: the client area scaled, the frame as it is, the corner a little off.
  const TDpi dpi(144);
  const RECT suggested{start.left + 40, start.top + 30,
                       start.left + 40 + (start.right - start.left - client.right) + dpi.Scale(792),
                       start.top + 30 + dpi.Scale(TForm1::kCompactHeight)};
  program.ChangeDpi(dpi, suggested);
  RECT moved;
  GetWindowRect(window, &moved);
  EXPECT_EQ(TRect({moved.left, moved.top, moved.right, moved.bottom}),
            TRect({suggested.left, suggested.top, suggested.right, suggested.bottom}));
  ExpectTheLayoutAt(window, dpi);
  EXPECT_EQ(ChildPlaces(window, "ComboBox"), listsStartedAt144);
  ClickChildFolders(window, dpi, TForm1::kFullHeight);
  Sleep(GetDoubleClickTime());  // a second click, not a double click
  ClickChildFolders(window, dpi, TForm1::kCompactHeight);

  program.ChangeDpi(TDpi(), start);
  EXPECT_EQ(ChildPlaces(window), placesAt96);
  RECT back;
  GetWindowRect(window, &back);
  EXPECT_EQ(TRect({back.left, back.top, back.right, back.bottom}),
            TRect({start.left, start.top, start.right, start.bottom}));
  RemoveSettingsFile();
}

// The title bar's and the task switcher's icons are loaded again at the size of the new DPI. Read
// in the program's own process: an icon's bits cannot be read from another.
TEST_F(MainWindowTest, TheWindowsIconsFollowItsDpi) {
  const HWND window = form->Handle();
  RECT place;
  GetWindowRect(window, &place);
  for (const int dotsPerInch : {144, 96}) {
    SCOPED_TRACE(std::to_string(dotsPerInch) + " dpi");
    const TDpi dpi(dotsPerInch);
    const auto both = static_cast<WORD>(dotsPerInch);
    SendMessageA(window, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(both, both),
                 reinterpret_cast<LPARAM>(&place));
    EXPECT_EQ(IconWidth(window, ICON_SMALL), dpi.Scale(GetSystemMetrics(SM_CXSMICON)));
    EXPECT_EQ(IconWidth(window, ICON_BIG), dpi.Scale(GetSystemMetrics(SM_CXICON)));
  }
}

// The arrows of a number field and a date field's calendar button grow with the DPI as the rest
// does (Wine's keep their own size); the date shows whole, its weekday written short; a click on
// the grown button's part beyond the control's own drops the calendar.
TEST_F(MainWindowTest, NumberArrowsAndCalendarButtonsGrowWithTheDpiAndDatesShowWhole) {
  Click(form->ParentTier.Row(SequenceKind::Date).Radio);
  RECT place;
  GetWindowRect(form->Handle(), &place);
  const HWND picker = form->ParentTier.StartDate.Handle();
  RECT client;
  for (const int dotsPerInch : {96, 144, 192}) {
    SCOPED_TRACE(std::to_string(dotsPerInch) + " dpi");
    const TDpi dpi(dotsPerInch);
    const auto both = static_cast<WORD>(dotsPerInch);
    SendMessageA(form->Handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(both, both),
                 reinterpret_cast<LPARAM>(&place));
    const TSpinEdit& spin = form->ParentTier.StartNumber;
    HWND arrows = GetWindow(GetParent(spin.Handle()), GW_CHILD);
    while (arrows &&
           reinterpret_cast<HWND>(SendMessageA(arrows, UDM_GETBUDDY, 0, 0)) != spin.Handle())
      arrows = GetWindow(arrows, GW_HWNDNEXT);
    ASSERT_NE(arrows, nullptr);
    RECT shown;
    GetWindowRect(arrows, &shown);
    MapWindowPoints(nullptr, GetParent(arrows), reinterpret_cast<POINT*>(&shown), 2);
    EXPECT_EQ(shown.left, spin.Left() + spin.Width());
    EXPECT_EQ(shown.right - shown.left, dpi.Scale(16));

    const std::wstring date = TWinControl::WideTextOf(picker);
    ASSERT_FALSE(date.empty());
    EXPECT_NE(std::wstring(L"日月火水木金土").find(date.back()),
              std::wstring::npos);  // 2026年12月10日木
    const TWindowDC dc(picker);
    const TSelection font(dc.Get(), form->ParentTier.StartDate.Font().Handle());
    SIZE extent{};
    GetTextExtentPoint32W(dc.Get(), date.c_str(), static_cast<int>(date.size()), &extent);
    GetClientRect(picker, &client);
    // Inside the two-pixel edges, left of the button and its own two pixels of padding.
    EXPECT_LE(extent.cx, client.right - 2 * 2 - dpi.Scale(15) - 2);
  }
  // At 192 DPI, a press beyond Wine's own 15 pixels.
  const LPARAM at = MAKELPARAM(client.right - 2 - TDpi(192).Scale(15) + 2, client.bottom / 2);
  SendMessageA(picker, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(picker, WM_LBUTTONUP, 0, at);
  const auto calendar = reinterpret_cast<HWND>(SendMessageA(picker, DTM_GETMONTHCAL, 0, 0));
  EXPECT_TRUE(calendar && IsWindowVisible(calendar));
  PressKeys({VK_ESCAPE});
  Pump();
}

}  // namespace
