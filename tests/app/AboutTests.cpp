// The About box: shown without being modal, one box however often it is asked for, centred the
// first time, hover colours, Enter and the close box hide it, Escape does not, and the links go
// to the shell.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "framework/CodePage.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/MessagePump.h"

namespace {

constexpr TColor kLink(0, 102, 221);
constexpr TColor kLinkHover(221, 102, 102);

BOOL CALLBACK CountAboutBoxes(HWND window, LPARAM count) {
  char caption[64] = {};
  GetWindowTextA(window, caption, sizeof caption);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
      std::string(caption) == "バージョン情報") {
    ++*reinterpret_cast<int*>(count);
  }
  return TRUE;
}

int VisibleAboutBoxes() {
  int count = 0;
  EnumWindows(CountAboutBoxes, reinterpret_cast<LPARAM>(&count));
  return count;
}

LPARAM PointAt(int x, int y) { return MAKELPARAM(x, y); }

LPARAM CentreOf(const TGraphicControl& control) {
  return PointAt(control.Left() + control.Width() / 2, control.Top() + control.Height() / 2);
}

class AboutBoxTest : public MainWindowTest {
 protected:
  void MoveMouse(LPARAM point) {
    SendMessageA(about->Handle(), WM_MOUSEMOVE, 0, point);
    Pump();
  }
};

// The program makes the box only when the menu first asks for it, as the application's form,
// owned by the main window; asked again, the same box.
TEST(AboutBoxOnFirstUse, TheMenuMakesTheBoxOnceAndShowsIt) {
  TForm1 form;
  form.OnCreate();
  form.Show();
  EXPECT_EQ(VisibleAboutBoxes(), 0);
  form.About1.Click();
  PumpMessagesFor(100);
  ASSERT_EQ(VisibleAboutBoxes(), 1);
  const HWND box = FindWindowA(nullptr, "バージョン情報");
  EXPECT_EQ(GetWindow(box, GW_OWNER), form.Handle());
  SendMessageA(box, WM_CLOSE, 0, 0);
  PumpMessagesFor(100);
  EXPECT_EQ(VisibleAboutBoxes(), 0);
  form.About1.Click();
  PumpMessagesFor(100);
  EXPECT_EQ(VisibleAboutBoxes(), 1);
  EXPECT_TRUE(IsWindowVisible(box));
}

TEST_F(AboutBoxTest, OneModelessBoxCentredTheFirstTimeThenWhereItWasLeft) {
  EXPECT_FALSE(about->Visible());
  form->About1.Click();
  Pump();
  ASSERT_TRUE(about->Visible());
  EXPECT_EQ(about->Text(), "バージョン情報");
  EXPECT_EQ(about->ClientWidth(), 298);
  EXPECT_EQ(about->ClientHeight(), 213);
  EXPECT_TRUE(IsWindowEnabled(form->Handle()));  // not modal: the main window stays usable
  const TBounds first = about->Bounds();
  EXPECT_NEAR(first.Left + first.Width / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR(first.Top + first.Height / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  EXPECT_EQ(about->Version.Caption(), "Ver 3.0.0J");
  EXPECT_EQ(about->ProductName.Caption(), "Tessarin");

  // Asked for again while open: still one box.
  form->About1.Click();
  Pump();
  EXPECT_EQ(VisibleAboutBoxes(), 1);

  // Hidden by its close box; shown again where the user left it.
  about->SetLeft(first.Left + 40);
  about->SetTop(first.Top - 30);
  SendMessageA(about->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(about->Visible());
  EXPECT_TRUE(form->Visible());
  form->About1.Click();
  Pump();
  EXPECT_TRUE(about->Visible());
  EXPECT_EQ(about->Left(), first.Left + 40);
  EXPECT_EQ(about->Top(), first.Top - 30);
  EXPECT_EQ(VisibleAboutBoxes(), 1);
}

TEST_F(AboutBoxTest, EnterHidesTheBoxAndEscapeDoesNot) {
  form->About1.Click();
  Pump();
  SetFocus(about->OKButton.Handle());
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(about->Visible());
  PressKey(VK_RETURN);
  EXPECT_FALSE(about->Visible());
  EXPECT_TRUE(form->Visible());
}

TEST_F(AboutBoxTest, LinksTurnRedWithAHandWhileThePointerIsOverThem) {
  form->About1.Click();
  Pump();
  for (TLabel* link : {&about->Label1, &about->Label2}) {
    EXPECT_EQ(link->FontColor(), kLink);
    MoveMouse(CentreOf(*link));
    EXPECT_EQ(link->FontColor(), kLinkHover);
    EXPECT_EQ(link->Cursor(), TCursor::HandPoint);
    MoveMouse(PointAt(4, 4));
    EXPECT_EQ(link->FontColor(), kLink);
    EXPECT_EQ(link->Cursor(), TCursor::Default);
  }
  // Other texts of the box do not react.
  MoveMouse(CentreOf(about->Version));
  EXPECT_EQ(about->Version.FontColor(), TColor(0, 0, 128));
  EXPECT_EQ(about->Version.Cursor(), TCursor::Default);
}

// At every DPI: the addresses in the middle of the frame, the web address as drawn with a margin
// of 8 layout pixels or more on either side.
TEST_F(AboutBoxTest, TextsInCenturyOrAnInstalledFaceCentreTheAddressesWithinTheFrame) {
  RECT place;
  GetWindowRect(about->Handle(), &place);
  for (const int dotsPerInch : {96, 144, 192}) {
    SCOPED_TRACE(std::to_string(dotsPerInch) + " dpi");
    const auto both = static_cast<WORD>(dotsPerInch);
    SendMessageA(about->Handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(both, both),
                 reinterpret_cast<LPARAM>(&place));
    const TFont& font = about->Label1.Font();
    EXPECT_TRUE(font.Installed()) << font.Name();  // never a face the system picks in its place
    for (TLabel* text : {&about->ProductName, &about->Version, &about->Copyright, &about->Label2})
      EXPECT_EQ(text->Font().Name(), font.Name());
    HDC dc = GetDC(nullptr);
    const int saved = SaveDC(dc);
    SelectObject(dc, font.Handle());
    const std::string& address = about->Label1.Caption();
    SIZE extent{};
    GetTextExtentPoint32A(dc, address.c_str(), static_cast<int>(address.size()), &extent);
    RestoreDC(dc, saved);
    ReleaseDC(nullptr, dc);
    const TShape& frame = about->Shape1;
    const int left = about->Label1.Left() - frame.Left();
    const int right = frame.Left() + frame.Width() - (about->Label1.Left() + extent.cx);
    EXPECT_GE(std::min(left, right), TDpi(dotsPerInch).Scale(8)) << font.Name();
    EXPECT_LE(std::abs(left - right), 2);
    const TLabel& mail = about->Label2;
    EXPECT_LE(std::abs((mail.Left() - frame.Left()) -
                       (frame.Left() + frame.Width() - mail.Left() - mail.Width())),
              1);
  }
}

// Wine hands web and mail addresses to the programs its registry names; a shell command that logs
// its argument stands in for the browser and the mail program here.
class LinkTest : public AboutBoxTest {
 protected:
  void SetUp() override {
    AboutBoxTest::SetUp();
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    log_ = std::string(temp) + "tessarin-links-" + std::to_string(GetCurrentProcessId()) + ".log";
    DeleteFileA(log_.c_str());
    const std::string logger =
        "/bin/sh -c \"printf '%s\\n' \\\"$0\\\" >> '" + UnixPath(log_) + "'\"";
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\WineBrowser", 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &key_, nullptr);
    for (const char* name : {"Browsers", "Mailers"}) {
      RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(logger.c_str()),
                     static_cast<DWORD>(logger.size() + 1));
    }
  }
  void TearDown() override {
    RegDeleteValueA(key_, "Browsers");
    RegDeleteValueA(key_, "Mailers");
    RegCloseKey(key_);
    DeleteFileA(log_.c_str());
    AboutBoxTest::TearDown();
  }

  // The Unix path Wine gives a Windows path.
  static std::string UnixPath(const std::string& path) {
    using UnixName = char*(CDECL*)(const wchar_t*);
    auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (unixName == nullptr) return path;
    const std::wstring wide = AnsiToWide(path);
    char* name = unixName(wide.c_str());
    const std::string result = name != nullptr ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    return result;
  }

  // The logged addresses, in the program's code page.
  std::vector<std::string> Opened(std::size_t expected) {
    std::vector<std::string> lines;
    PumpMessagesUntil(
        [&] {
          lines.clear();
          std::ifstream file(log_);
          for (std::string line; std::getline(file, line);) lines.push_back(FromUtf8(line));
          return lines.size() >= expected;
        },
        10000);
    return lines;
  }

  static std::string FromUtf8(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                    wide.data(), static_cast<int>(wide.size())));
    std::string ansi(wide.size() * 2, '\0');
    ansi.resize(WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                    ansi.data(), static_cast<int>(ansi.size()), nullptr, nullptr));
    return ansi;
  }

  void ClickOn(const TGraphicControl& control) {
    SendMessageA(about->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, CentreOf(control));
    SendMessageA(about->Handle(), WM_LBUTTONUP, 0, CentreOf(control));
  }

  std::string log_;
  HKEY key_ = nullptr;
};

TEST_F(LinkTest, TheWebLinkOpensTheAddressItShowsAndTheMailLinkAMessageAboutTheProgram) {
  form->About1.Click();
  Pump();
  ClickOn(about->Label1);
  ASSERT_EQ(Opened(1), std::vector<std::string>{about->Label1.Caption()});
  EXPECT_EQ(about->Label1.Caption(), "https://www.example.com/tessarin/");

  ClickOn(about->Label2);
  const std::vector<std::string> opened = Opened(2);
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[1], "mailto:" + about->Label2.Caption() +
                           "?subject=Tessarinについて&body=Tessarinについて");
  EXPECT_EQ(about->Label2.Caption(), "tessarin@example.com");
}

}  // namespace
