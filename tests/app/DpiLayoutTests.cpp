// The main window at the screen's DPI: Tessarin.exe started under each LogPixels setting, its
// windows measured from outside, as they stand on the user's screen.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "framework/Dpi.h"
#include "tests/app/MainWindowFixture.h"

namespace {

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

TEST(DpiLayoutTests, MainWindowIsTheLayoutScaledAndTheChildTierHidesBelowItsEdge) {
  RemoveSettingsFile();
  for (const int dotsPerInch : {96, 120, 144, 192}) {
    SCOPED_TRACE(std::to_string(dotsPerInch) + " dpi");
    const TDpi dpi(dotsPerInch);
    const TScreenDpiSetting setting(dotsPerInch);
    const TRunningProgram program;
    const HWND window = program.Window();
    ASSERT_NE(window, nullptr);

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

    // 子フォルダ ticked with the mouse: the full height.
    const HWND box = FindWindowExA(window, nullptr, "Button", "子フォルダ");
    ASSERT_NE(box, nullptr);
    RECT boxPlace;
    GetWindowRect(box, &boxPlace);
    ClickWithTheMouse({(boxPlace.left + boxPlace.right) / 2, (boxPlace.top + boxPlace.bottom) / 2});
    for (DWORD start = GetTickCount();
         OuterHeight(window) != dpi.Scale(TForm1::kFullHeight) && GetTickCount() - start < 5000;)
      Sleep(20);
    EXPECT_EQ(OuterHeight(window), dpi.Scale(TForm1::kFullHeight));
  }
  RemoveSettingsFile();
}

}  // namespace
