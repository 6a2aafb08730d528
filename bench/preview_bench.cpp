// Preview refresh and line counting of the main window with 10,000 free lines: the time of one
// change of the free-lines box and of one change of a front text, each from the control's change to
// the sample lines and counter painted anew. Goal: well under a frame, 16 ms. Run on a display
// (Xvfb under Wine).

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/Main.h"
#include "bench/BenchOptions.h"
#include "framework/Application.h"
#include "shell/ShellLibrary.h"

namespace {

struct Sizes {
  int freeLines;
  int changes;  // timed per kind of change
};
constexpr Sizes kFull{10000, 200};
constexpr Sizes kQuick{100, 2};

double Now() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct Figures {
  double mean = 0;
  double worst = 0;
};

// Each change is timed until the window has painted what it changed.
Figures Measure(HWND window, int changes, const std::function<void(int)>& change) {
  std::vector<double> times;
  for (int i = 0; i < changes; ++i) {
    const double start = Now();
    change(i);
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    times.push_back(Now() - start);
  }
  Figures figures;
  for (double t : times) figures.mean += t;
  figures.mean /= static_cast<double>(times.size());
  figures.worst = *std::max_element(times.begin(), times.end());
  return figures;
}

void Report(const char* what, const Figures& figures) {
  std::printf("%-58s %8.3f ms mean %8.3f ms worst\n", what, figures.mean, figures.worst);
}

// Replaces the selection as typing does: the box sends its change notification.
void TypeAt(TWinControl& field, int position, const char* text, int replaced) {
  SendMessageA(field.Handle(), EM_SETSEL, position, position + replaced);
  SendMessageA(field.Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

}  // namespace

int main(int argc, char** argv) {
  const Sizes sizes = QuickRun(argc, argv) ? kQuick : kFull;
  // As the program's entry: OLE for the folder tree before any window exists.
  const TShellLibrary shellLibrary;
  TForm1 form;
  Application().SetMainForm(&form);
  form.OnCreate();
  form.Show();
  Application().ProcessMessages();

  // Free lines take part in the names, so every refresh reads the first one.
  form.ComboBox3.SetItemIndex(1);
  std::string lines;
  for (int i = 0; i < sizes.freeLines; ++i) {
    char line[32];
    std::snprintf(line, sizeof line, "Folder name %05d\r\n", i);
    lines += line;
  }
  form.Memo1.SetText(lines);
  const int end = static_cast<int>(lines.size());
  std::printf("free lines: %s (%d characters)\n", form.Label27.Caption().c_str(), end);

  // One character typed at a place and taken back again, in turn.
  const auto typed = [&](TWinControl& field, int position) {
    return Measure(form.Handle(), sizes.changes, [&field, position](int i) {
      if (i % 2 == 0)
        TypeAt(field, position, "x", 0);
      else
        TypeAt(field, position, "", 1);
    });
  };
  Report("free-lines box: a character typed at its end", typed(form.Memo1, end));
  Report("free-lines box: a character typed in its first line", typed(form.Memo1, 0));
  Report("free-lines handler alone (line count and both samples)",
         Measure(form.Handle(), sizes.changes, [&](int) { form.Memo1Change(); }));
  Report("front text: a character typed", typed(form.Edit1, 0));
  std::printf("samples: \"%s\" / \"%s\", counter \"%s\"\n", form.Label24.Caption().c_str(),
              form.Label51().Caption().c_str(), form.Label27.Caption().c_str());
  return 0;
}
