// The pictures scripts/screenshot takes: the main window at both heights, a date list dropped down
// and the About box; the strips' counts, the question before a large run, the progress window and
// the box of a stopped run. Taken only when TESSARIN_SCREENSHOTS names a folder, inside a Wine virtual
// desktop, where the screen holds the title bars too.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "shell/ShellIDFunc.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/ScratchFolder.h"

namespace {

RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

// The screen inside `area`, as a 24-bit bitmap file.
void SaveScreen(const RECT& area, const std::string& path) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  SelectObject(memory, old);

  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  const int stride = (width * 3 + 3) & ~3;
  std::vector<char> pixels(static_cast<std::size_t>(stride) * height);
  GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
}

RECT Union(const RECT& a, const RECT& b) {
  RECT both{};
  UnionRect(&both, &a, &b);
  return both;
}

// Runs inside a modal loop (a dropped menu): takes the picture, then closes the menu.
std::function<void()> takeInsideMenu;

void CALLBACK TakeInsideMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  takeInsideMenu();
  EndMenu();
}

class MainWindowScreenshots : public MainWindowTest {
 protected:
  void Take(const RECT& area, const char* name) {
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    for (int i = 0; i < 10; ++i) {
      Pump();
      Sleep(50);
    }
    SaveScreen(area, folder_ + "\\" + name + ".bmp");
  }

  // From another thread, while the run holds the main thread: waits for a window of `className`
  // and `caption` to show, lets it paint, takes it with the main window, and hands it to `then`.
  void TakeWhenShown(const char* className, const char* caption, const char* name,
                     const std::function<void(HWND)>& then) {
    HWND window = nullptr;
    for (int i = 0; i < 1000 && !(window && IsWindowVisible(window)); ++i, Sleep(10)) {
      window = FindWindowA(className, caption);
    }
    if (!window || !IsWindowVisible(window)) return;
    Sleep(400);
    SaveScreen(Union(WindowRect(form->Handle()), WindowRect(window)), folder_ + "\\" + name + ".bmp");
    then(window);
  }

  std::string folder_;
};

TEST_F(MainWindowScreenshots, Scenes) {
  const char* folder = std::getenv("TESSARIN_SCREENSHOTS");
  if (folder == nullptr) GTEST_SKIP() << "TESSARIN_SCREENSHOTS names no folder";
  folder_ = folder;
  form->SetLeft(20);
  form->SetTop(20);

  Type(form->Edit1, "Photo_");
  Type(form->SpinEdit2, "12");
  Type(form->SpinEdit3, "3");
  Type(form->Memo1, "東京\r\n大阪\r\n");
  Pick(form->ComboBox3, 1);
  Take(WindowRect(form->Handle()), "main-compact");

  Click(form->CheckBox1);
  Click(form->RadioButton7);
  Pick(form->ComboBox5, 1);
  Type(form->SpinEdit10, "2");
  Take(WindowRect(form->Handle()), "main-full");

  Click(form->RadioButton2);
  SendMessageA(form->ComboBox1.Handle(), CB_SHOWDROPDOWN, TRUE, 0);
  COMBOBOXINFO list{};
  list.cbSize = sizeof list;
  GetComboBoxInfo(form->ComboBox1.Handle(), &list);
  Take(Union(WindowRect(form->Handle()), WindowRect(list.hwndList)), "date-formats");
  SendMessageA(form->ComboBox1.Handle(), CB_SHOWDROPDOWN, FALSE, 0);

  // The start date's calendar, opened by a click on the picker's drop-down button.
  const TBounds picker = form->DateTimePicker1.Bounds();
  const LPARAM button = MAKELPARAM(picker.Width - 8, picker.Height / 2);
  SendMessageA(form->DateTimePicker1.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, button);
  SendMessageA(form->DateTimePicker1.Handle(), WM_LBUTTONUP, 0, button);
  HWND calendar = reinterpret_cast<HWND>(SendMessageA(form->DateTimePicker1.Handle(), DTM_GETMONTHCAL, 0, 0));
  if (calendar != nullptr) {
    Take(Union(WindowRect(form->Handle()), WindowRect(calendar)), "date-calendar");
    SendMessageA(form->DateTimePicker1.Handle(), DTM_CLOSEMONTHCAL, 0, 0);
  }

  // The Edit menu with its pictures, dropped as Alt+E drops it.
  SetFocus(form->Edit1.Handle());
  takeInsideMenu = [this] {
    Take(Union(WindowRect(form->Handle()), WindowRect(FindWindowA("#32768", nullptr))), "menu-edit");
  };
  SetTimer(nullptr, 0, 500, TakeInsideMenu);
  SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 'e');

  form->About1.Click();
  Take(WindowRect(about->Handle()), "about");
  about->Close();

  // A run of 120 x (1 + 30) folders: the counts on both strips, then its question ...
  const TScratchFolder scratch("Screenshots");
  TShIDListPtr target;
  IDListFromPath(scratch.Path(), target.Out());
  form->ShellTreeView1.SelectIDList(target.Get());
  Type(form->Memo1, "");
  Pick(form->ComboBox3, 0);
  Click(form->RadioButton1);
  Type(form->SpinEdit1, "1");
  Type(form->SpinEdit2, "120");
  Click(form->RadioButton5);
  Type(form->Edit4, "Day");
  Type(form->SpinEdit6, "1");
  Type(form->SpinEdit7, "30");
  Type(form->SpinEdit8, "2");
  Take(WindowRect(form->Handle()), "strip-count");
  std::thread cancel([this] {
    TakeWhenShown("#32770", "Tessarin", "run-question", [](HWND box) { PostMessageA(box, WM_COMMAND, IDCANCEL, 0); });
  });
  Click(form->Button1);
  cancel.join();

  // ... and the same run said yes to, pictured while it goes and stopped with Escape.
  std::thread stop([this] {
    HWND question = nullptr;
    for (int i = 0; i < 1000 && !(question && IsWindowVisible(question)); ++i, Sleep(10)) {
      question = FindWindowA("#32770", "Tessarin");
    }
    PostMessageA(question, WM_COMMAND, IDOK, 0);
    TakeWhenShown("TessarinForm", "フォルダを作成しています", "run-progress", [](HWND progress) {
      PostMessageA(FindWindowExA(progress, nullptr, "Button", nullptr), WM_KEYDOWN, VK_ESCAPE, 1);
    });
    Sleep(300);  // the question's window may linger a moment after it is closed
    TakeWhenShown("#32770", "Tessarin", "run-stopped", [](HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); });
  });
  Click(form->Button1);
  stop.join();
}

}  // namespace
