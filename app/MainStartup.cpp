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

SYSTEMTIME AddDays(const SYSTEMTIME& time, int days) {
  constexpr LONGLONG kTicksPerDay = 24LL * 60 * 60 * 10000000;
  FILETIME file;
  SystemTimeToFileTime(&time, &file);
  ULARGE_INTEGER ticks;
  ticks.LowPart = file.dwLowDateTime;
  ticks.HighPart = file.dwHighDateTime;
  ticks.QuadPart += days * kTicksPerDay;
  file.dwLowDateTime = ticks.LowPart;
  file.dwHighDateTime = ticks.HighPart;
  SYSTEMTIME result;
  FileTimeToSystemTime(&file, &result);
  return result;
}

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
  StartTierColoursAndDates(ParentTier, startedAt_);
  dateFormats_.emplace(naming::DateTypeInit(std::make_unique<app::Win32AlternativeCalendar>()));
  StartTierLists(ParentTier, startedAt_);
  ComboBox3.SetItemIndex(0);

  RenzokuInit();
  RadioButton1.SetChecked(true);
  RadioButton2.SetChecked(false);
  RadioButton3.SetChecked(false);
  RadioButton4.SetChecked(false);
  RenzokuCheck();

  for (TKindRow& row : ParentTier.Rows) row.Radio.SetColor(ParentTier.Colours.Panel);
  // Made already only when something asked for it before start-up.
  if (childTier_) StartChildTier();
  Label24.SetCaption("sample");
}

// The same start as the parent tier's: dates from the start-up day, the number row chosen, the
// first position pattern, the sample line's placeholder.
void TForm1::StartChildTier() {
  TTierPanel& child = *childTier_;
  StartTierColoursAndDates(child, startedAt_);
  StartTierLists(child, startedAt_);
  DisableKinds(child);
  RadioButton5().SetChecked(true);
  RadioButton6().SetChecked(false);
  RadioButton7().SetChecked(false);
  RadioButton8().SetChecked(false);
  EnableOnlyCheckedKind(child);
  for (TKindRow& row : child.Rows) row.Radio.SetColor(child.Colours.Panel);
  ComboBox6().SetItemIndex(0);
  Label51().SetCaption("sample");
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

// The tier's colours, and its date range from today to tomorrow.
void TForm1::StartTierColoursAndDates(TTierPanel& panel, const SYSTEMTIME& now) {
  panel.Frame.SetFill(panel.Colours.Panel);
  panel.SampleStrip.SetFill(panel.Colours.Strip);
  panel.Group.SetColor(panel.Colours.Panel);
  panel.StartDate.SetDate(now);
  panel.EndDate.SetDate(AddDays(now, 1));
  panel.StartDate.SetCalendarTitleColor(panel.Colours.CalendarTitle);
  panel.EndDate.SetCalendarTitleColor(panel.Colours.CalendarTitle);
}

// One entry per date display format, each showing the start-up date in it; entry i stands for
// format i. Upper case letters.
void TForm1::StartTierLists(TTierPanel& panel, const SYSTEMTIME& now) {
  for (int format = 0; format < naming::DateFormatTable::kCount; ++format) {
    panel.DateFormat.AddItem(dateFormats_->Format(format, CalendarDateOf(now)));
  }
  panel.DateFormat.SetItemIndex(0);
  panel.LetterCase.SetItemIndex(0);
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
  ChildTier();  // about to be seen
  SetHeight(Dpi().Scale(CheckBox1.Checked() ? kFullHeight : kCompactHeight));
  PlaceBottomControls();
  RefreshRunCounts();  // the child strip's total follows the box
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
