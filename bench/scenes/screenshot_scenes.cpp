// The pictures scripts/screenshot takes: the main window at both heights, a date list dropped down,
// the start date's calendar, the Edit menu, the About box and TessarinShell's window, written as bitmap files to the folder
// named by the first argument. Run inside a Wine virtual desktop, where the screen holds the title
// bars too.

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/Application.h"
#include "framework/DeviceContext.h"
#include "app/ShellWindow.h"
#include "shell/ShellLibrary.h"
#include "testkit/MainWindows.h"
#include "testkit/UserInput.h"

namespace {

RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

RECT Union(const RECT& a, const RECT& b) {
  RECT both{};
  UnionRect(&both, &a, &b);
  return both;
}

// The screen inside `area`, as a 24-bit bitmap file.
void SaveScreen(const RECT& area, const std::string& path) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  const int stride = (width * 3 + 3) & ~3;
  std::vector<char> pixels(static_cast<std::size_t>(stride) * height);
  {
    const TScreenDC screen;
    const TMemoryDC memory(screen.Get());
    const TGdiObjectPtr<HBITMAP> bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
    {
      const TSelection selected(memory.Get(), bitmap.get());
      BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), area.left, area.top, SRCCOPY);
    }
    GetDIBits(memory.Get(), bitmap.get(), 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
              DIB_RGB_COLORS);
  }

  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
}

// Runs inside a modal loop (a dropped menu): takes the picture, then closes the menu.
std::function<void()> takeInsideMenu;

void CALLBACK TakeInsideMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  takeInsideMenu();
  EndMenu();
}

class TScenes {
 public:
  explicit TScenes(std::string folder) : folder_(std::move(folder)), windows_(OpenMainWindows()) {}

  void Run() {
    TForm1& form = *windows_.form;
    form.SetLeft(20);
    form.SetTop(20);

    Type(form.Edit1, "Photo_");
    Type(form.SpinEdit2, "12");
    Type(form.SpinEdit3, "3");
    Type(form.Memo1, "東京\r\n大阪\r\n");
    Pick(form.ComboBox3, 1);
    Take(WindowRect(form.Handle()), "main-compact");

    Click(form.CheckBox1);
    Click(form.RadioButton7);
    Pick(form.ComboBox5, 1);
    Type(form.SpinEdit10, "2");
    Take(WindowRect(form.Handle()), "main-full");

    Click(form.RadioButton2);
    SendMessageA(form.ComboBox1.Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO list{};
    list.cbSize = sizeof list;
    GetComboBoxInfo(form.ComboBox1.Handle(), &list);
    Take(Union(WindowRect(form.Handle()), WindowRect(list.hwndList)), "date-formats");
    SendMessageA(form.ComboBox1.Handle(), CB_SHOWDROPDOWN, FALSE, 0);

    // The start date's calendar, opened by a click on the picker's drop-down button.
    const TBounds picker = form.DateTimePicker1.Bounds();
    const LPARAM button = MAKELPARAM(picker.Width - 8, picker.Height / 2);
    SendMessageA(form.DateTimePicker1.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, button);
    SendMessageA(form.DateTimePicker1.Handle(), WM_LBUTTONUP, 0, button);
    HWND calendar = reinterpret_cast<HWND>(SendMessageA(form.DateTimePicker1.Handle(), DTM_GETMONTHCAL, 0, 0));
    if (calendar != nullptr) {
      Take(Union(WindowRect(form.Handle()), WindowRect(calendar)), "date-calendar");
      SendMessageA(form.DateTimePicker1.Handle(), DTM_CLOSEMONTHCAL, 0, 0);
    }

    // The Edit menu with its pictures, dropped as Alt+E drops it.
    SetFocus(form.Edit1.Handle());
    takeInsideMenu = [this, &form] {
      Take(Union(WindowRect(form.Handle()), WindowRect(FindWindowA("#32768", nullptr))), "menu-edit");
    };
    SetTimer(nullptr, 0, 500, TakeInsideMenu);
    SendMessageA(form.Handle(), WM_SYSCOMMAND, SC_KEYMENU, 'e');

    form.About1.Click();
    Take(WindowRect(windows_.about->Handle()), "about");

    // TessarinShell's window: the three shell controls linked, on the Windows directory.
    TShellForm shell;
    shell.SetLeft(20);
    shell.SetTop(20);
    shell.Show();
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    TShIDListPtr folder;
    if (IDListFromPath(windows, folder.Out())) shell.ShellTreeView1.SelectIDList(folder.Get());
    Take(WindowRect(shell.Handle()), "shell-controls");
  }

 private:
  // Redraws the window and lets the drawing settle before the picture.
  void Take(const RECT& area, const char* name) {
    RedrawWindow(windows_.form->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    for (int i = 0; i < 10; ++i) {
      Application().ProcessMessages();
      Sleep(50);
    }
    SaveScreen(area, folder_ + "\\" + name + ".bmp");
  }

  std::string folder_;
  TMainWindows windows_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: screenshot_scenes <folder for the pictures>\n");
    return 2;
  }
  const TShellLibrary shellLibrary;
  TScenes scenes(argv[1]);
  Application().ProcessMessages();
  scenes.Run();
  return 0;
}
