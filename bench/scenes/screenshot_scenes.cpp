// The pictures scripts/screenshot takes: the main window at both heights, a date list dropped down,
// the start date's calendar, the Edit and File menus, the About box, the strips' counts, the
// question before a large run, the progress window, the box of a stopped run and TessarinShell's
// window, written as bitmap files to the folder named by the first argument. Run inside a Wine
// virtual desktop, where the screen holds the title bars too.

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "framework/Application.h"
#include "framework/DeviceContext.h"
#include "app/FolderListWindow.h"
#include "app/ShellWindow.h"
#include "shell/ShellIDFunc.h"
#include "shell/ShellLibrary.h"
#include "testkit/MainWindows.h"
#include "testkit/UserInput.h"

namespace {

using naming::SequenceKind;

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
    GetDIBits(memory.Get(), bitmap.get(), 0, height, pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
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

    Type(form.ParentTier.FrontText, "Photo_");
    Type(form.ParentTier.EndNumber, "12");
    Type(form.ParentTier.DigitCount, "3");
    Type(form.ParentTier.FreeLines, "東京\r\n大阪\r\n");
    Pick(form.ParentTier.Pattern, 1);
    Take(WindowRect(form.Handle()), "main-compact");

    Click(form.CheckBox1);
    Click(form.ChildTier().Row(SequenceKind::Letters).Radio);
    Pick(form.ChildTier().LetterCase, 1);
    Type(form.ChildTier().LettersPerName, "2");
    Take(WindowRect(form.Handle()), "main-full");

    Click(form.ParentTier.Row(SequenceKind::Date).Radio);
    SendMessageA(form.ParentTier.DateFormat.Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO list{};
    list.cbSize = sizeof list;
    GetComboBoxInfo(form.ParentTier.DateFormat.Handle(), &list);
    Take(Union(WindowRect(form.Handle()), WindowRect(list.hwndList)), "date-formats");
    SendMessageA(form.ParentTier.DateFormat.Handle(), CB_SHOWDROPDOWN, FALSE, 0);

    // The start date's calendar, opened by a click on the picker's drop-down button.
    const TBounds picker = form.ParentTier.StartDate.Bounds();
    const LPARAM button = MAKELPARAM(picker.Width - 8, picker.Height / 2);
    SendMessageA(form.ParentTier.StartDate.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, button);
    SendMessageA(form.ParentTier.StartDate.Handle(), WM_LBUTTONUP, 0, button);
    HWND calendar = reinterpret_cast<HWND>(
        SendMessageA(form.ParentTier.StartDate.Handle(), DTM_GETMONTHCAL, 0, 0));
    if (calendar != nullptr) {
      Take(Union(WindowRect(form.Handle()), WindowRect(calendar)), "date-calendar");
      SendMessageA(form.ParentTier.StartDate.Handle(), DTM_CLOSEMONTHCAL, 0, 0);
    }

    // The Edit menu with its pictures, dropped as Alt+E drops it.
    SetFocus(form.ParentTier.FrontText.Handle());
    takeInsideMenu = [this, &form] {
      Take(Union(WindowRect(form.Handle()), WindowRect(FindWindowA("#32768", nullptr))),
           "menu-edit");
    };
    SetTimer(nullptr, 0, 500, TakeInsideMenu);
    SendMessageA(form.Handle(), WM_SYSCOMMAND, SC_KEYMENU, 'e');

    FileMenuScene(form);

    form.About1.Click();
    Take(WindowRect(windows_.about->Handle()), "about");
    windows_.about->Close();

    // TessarinShell's window: the three shell controls linked, on the Windows directory.
    {
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

    RunScenes(form);
    FolderListScene(form);
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

  // The File menu, dropped as Alt+F drops it, with two template files saved just before in the
  // list of recent ones.
  void FileMenuScene(TForm1& form) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string folder = std::string(temp) + "TessarinTemplates";
    CreateDirectoryA(folder.c_str(), nullptr);
    form.SaveTemplateFile(folder + "\\月次フォルダ.tsnt");
    form.SaveTemplateFile(folder + "\\写真 & 資料.tsnt");
    // The menu closed before has left its loop only once its messages are handled.
    for (int i = 0; i < 10; ++i) {
      Application().ProcessMessages();
      Sleep(50);
    }
    takeInsideMenu = [this, &form] {
      Take(Union(WindowRect(form.Handle()), WindowRect(FindWindowA("#32768", nullptr))),
           "menu-file");
    };
    SetTimer(nullptr, 0, 500, TakeInsideMenu);
    SendMessageA(form.Handle(), WM_SYSCOMMAND, SC_KEYMENU, 'f');
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  // A run of 120 x (1 + 30) folders into a folder of its own: the counts on both strips, its
  // question, then the same run said yes to, pictured while it goes and stopped with Escape.
  void RunScenes(TForm1& form) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string target = std::string(temp) + "TessarinScenes";
    CreateDirectoryA(target.c_str(), nullptr);
    TShIDListPtr list;
    IDListFromPath(target, list.Out());
    form.ShellTreeView1.SelectIDList(list.Get());
    Type(form.ParentTier.FreeLines, "");
    Pick(form.ParentTier.Pattern, 0);
    Click(form.ParentTier.Row(SequenceKind::Number).Radio);
    Type(form.ParentTier.StartNumber, "1");
    Type(form.ParentTier.EndNumber, "120");
    Click(form.ChildTier().Row(SequenceKind::Number).Radio);
    Type(form.ChildTier().FrontText, "Day");
    Type(form.ChildTier().StartNumber, "1");
    Type(form.ChildTier().EndNumber, "30");
    Type(form.ChildTier().DigitCount, "2");
    Take(WindowRect(form.Handle()), "strip-count");

    std::thread cancel([this, &form] {
      TakeWhenShown(form, "#32770", "Tessarin", "run-question",
                    [](HWND box) { PostMessageA(box, WM_COMMAND, IDCANCEL, 0); });
    });
    Click(form.Button1);
    cancel.join();

    std::thread stop([this, &form] {
      PostMessageA(WaitForShown("#32770", "Tessarin"), WM_COMMAND, IDOK, 0);
      TakeWhenShown(form, "TessarinForm", "フォルダを作成しています", "run-progress",
                    [](HWND progress) {
                      PostMessageA(FindWindowExA(progress, nullptr, "Button", nullptr), WM_KEYDOWN,
                                   VK_ESCAPE, 1);
                    });
      Sleep(300);  // the question's window may linger a moment after it is closed
      TakeWhenShown(form, "#32770", "Tessarin", "run-stopped",
                    [](HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); });
    });
    Click(form.Button1);
    stop.join();
    std::error_code ignored;
    std::filesystem::remove_all(target, ignored);
  }

  // "作成するフォルダの一覧" of 1,000 folders, one of which is there already and one a file.
  void FolderListScene(TForm1& form) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string target = std::string(temp) + "TessarinListScene";
    CreateDirectoryA(target.c_str(), nullptr);
    CreateDirectoryA((target + "\\資料_002").c_str(), nullptr);
    CloseHandle(CreateFileA((target + "\\資料_004").c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    TShIDListPtr list;
    IDListFromPath(target, list.Out());
    form.ShellTreeView1.SelectIDList(list.Get());
    Click(form.CheckBox1);
    Type(form.ParentTier.FrontText, "資料_");
    Type(form.ParentTier.EndNumber, "1000");
    Type(form.ParentTier.DigitCount, "3");
    form.ListFolders1.Click();
    for (int i = 0; i < 500 && form.FolderList()->Counting(); ++i) {
      Application().ProcessMessages();
      Sleep(10);
    }
    Take(WindowRect(form.FolderList()->Handle()), "folder-list");
    form.FolderList()->Close();
    std::error_code ignored;
    std::filesystem::remove_all(target, ignored);
  }

  // A visible window of `className` and `caption`, waited for up to ten seconds; null without one.
  static HWND WaitForShown(const char* className, const char* caption) {
    HWND window = nullptr;
    for (int i = 0; i < 1000 && !(window && IsWindowVisible(window)); ++i, Sleep(10)) {
      window = FindWindowA(className, caption);
    }
    return window && IsWindowVisible(window) ? window : nullptr;
  }

  // From another thread, while a run holds the main thread: waits for the window to show, lets it
  // paint, takes it with the main window, and hands it to `then`.
  void TakeWhenShown(TForm1& form, const char* className, const char* caption, const char* name,
                     const std::function<void(HWND)>& then) {
    HWND window = WaitForShown(className, caption);
    if (!window) return;
    Sleep(400);
    SaveScreen(Union(WindowRect(form.Handle()), WindowRect(window)),
               folder_ + "\\" + name + ".bmp");
    then(window);
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
