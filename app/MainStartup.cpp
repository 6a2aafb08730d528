// The main window's start-up, its position in the settings file, its height and its closing.

#include <memory>
#include <stdexcept>

#include "app/About.h"
#include "app/Main.h"
#include "app/Win32Naming.h"
#include "framework/Application.h"

namespace {

constexpr TColor kBackground(238, 238, 238);
constexpr const char* kSection = "Tessarin";
constexpr int kDefaultPosition = 10;

// Distances from the client area's bottom edge of the controls that follow it, as laid out for a
// client height of 554. The outer heights are fixed, so the client height is what the frame leaves:
// at outer height 600 it is 556 under Wine, in or out of a virtual desktop.
constexpr int kTreeBottomMargin = 35;
constexpr int kButtonBottomMargin = 5;
constexpr int kCheckBoxBottomMargin = 7;

// The window's outer top-left corner on the screen. A minimised window stands far off every
// screen: its place before it was minimised is the one to keep.
POINT RestoredPlace(HWND window) {
  RECT place;
  if (!IsIconic(window)) {
    GetWindowRect(window, &place);
    return {place.left, place.top};
  }
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  GetWindowPlacement(window, &placement);
  // The normal place is in work-area coordinates: shift it by where the work area begins.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoA(MonitorFromRect(&placement.rcNormalPosition, MONITOR_DEFAULTTOPRIMARY), &monitor);
  return {placement.rcNormalPosition.left + monitor.rcWork.left - monitor.rcMonitor.left,
          placement.rcNormalPosition.top + monitor.rcWork.top - monitor.rcMonitor.top};
}

}  // namespace

void TForm1::FormCreate() {
  GetLocalTime(&startedAt_);

  FormPosInit(0);
  LoadUndoRecord();
  SetHeight(Dpi().Scale(kCompactHeight));
  PlaceBottomControls();
  SetColor(kBackground);
  dateFormats_.emplace(naming::DateTypeInit(std::make_unique<app::Win32AlternativeCalendar>()));
  ParentTier.Start(startedAt_, *dateFormats_);
  // Made already only when something asked for it before start-up.
  if (childTier_) childTier_->Start(startedAt_, *dateFormats_);
  RenzokuInit();
  RenzokuCheck();
  RefreshRunCounts();
}

void TForm1::ShowFilledTree() {
  ShellTreeView1.ShowFirstNodes();
  UpdateWindow(ShellTreeView1.Handle());
}

void TForm1::FinishStartUp() {
  ShowFilledTree();
  ShellTreeView1.FillFirstTime();
  LoadMenuPictures();
  ChildTier();
}

void TForm1::FormPosInit(int mode) {
  if (mode == 0) {
    SetTop(settings_.ReadInteger(kSection, "top", kDefaultPosition));
    SetLeft(settings_.ReadInteger(kSection, "left", kDefaultPosition));
    return;
  }
  const POINT place = RestoredPlace(Handle());
  if (settings_.WriteInteger(kSection, "top", place.y) &&
      settings_.WriteInteger(kSection, "left", place.x))
    return;
  // Said once; the window closes all the same, or a file that stays unwritable would keep it open.
  Application().ShowException(std::runtime_error(settings_.FileName() + " に書き込めません"));
}

void TForm1::FormClose(TCloseAction& /*action*/) { FormPosInit(1); }

void TForm1::FormDpiChanged() {
  PlaceBottomControls();
  ParentTier.PlaceMeasuredParts();
  if (childTier_) childTier_->PlaceMeasuredParts();
  // Loaded already, they are loaded again at the new size.
  if (menuImages_.Count() > 0) LoadMenuPictures();
}

void TForm1::Exit1Click() { Close(); }

void TForm1::About1Click() {
  // Made on first use, so start-up does not make a window that may never be asked for.
  if (aboutBox_ == nullptr) aboutBox_ = &Application().CreateForm<TAboutBox>(this);
  aboutBox_->Show();
}

void TForm1::CheckBox1Click() {
  FitHeightToChildFolders();
  RefreshRunCounts();  // the child strip's total follows the box
}

void TForm1::FitHeightToChildFolders() {
  ChildTier();  // about to be seen
  SetHeight(Dpi().Scale(CheckBox1.Checked() ? kFullHeight : kCompactHeight));
  PlaceBottomControls();
}

// The tree grows with the window, and the button and the check box keep to its bottom edge.
void TForm1::PlaceBottomControls() {
  const int bottom = ClientHeight();
  const TBounds tree = ShellTreeView1.Bounds();
  ShellTreeView1.SetBounds(
      {tree.Left, tree.Top, tree.Width, bottom - Dpi().Scale(kTreeBottomMargin) - tree.Top});
  Button1.SetTop(bottom - Dpi().Scale(kButtonBottomMargin) - Button1.Height());
  CheckBox1.SetTop(bottom - Dpi().Scale(kCheckBoxBottomMargin) - CheckBox1.Height());
}
