#include "app/TierView.h"

#include <algorithm>
#include <string>

#include "app/PanelTemplate.h"
#include "naming/Calendar.h"
#include "naming/Integer.h"
#include "naming/Sample.h"

namespace {

constexpr TColor kUnchosenCaption(192, 192, 192);

// "%4s" of the decimal count: right-aligned in four characters, never cut.
std::string CounterText(int count) {
  std::string text = std::to_string(count);
  if (text.size() < 4) text.insert(0, 4 - text.size(), ' ');
  return text;
}

// Emptied by the user, a number field reads "0" at once; one whose minimum is 1 is pulled up to it
// when the user leaves it.
void RefillWhenEmpty(TSpinEdit& field) {
  if (field.Text().empty()) field.SetText("0");
}

// The date at the time of day of `clock`.
SYSTEMTIME SystemTimeOf(const naming::CalendarDate& date, const SYSTEMTIME& clock = {}) {
  SYSTEMTIME time = clock;
  time.wYear = static_cast<WORD>(date.year);
  time.wMonth = static_cast<WORD>(date.month);
  time.wDay = static_cast<WORD>(date.day);
  // The picker wants the day of the week right: 1970-01-01 was a Thursday.
  time.wDayOfWeek = static_cast<WORD>(((naming::DayNumber(date) % 7) + 11) % 7);
  return time;
}

}  // namespace

void TTierView::Bind(const TWindowSide& window) {
  FrontText.OnChange = window.FrontTextChange;
  BackText.OnChange = window.BackTextChange;
  FreeLines.OnChange = window.FreeLinesChange;
  Pattern.OnChange = window.PatternChange;
  for (std::size_t row = 0; row < Rows.size(); ++row)
    Rows[row].Radio.OnClick = window.KindClick[row];
  StartNumber.OnChange = window.StartNumberChange;
  EndNumber.OnChange = window.EndNumberChange;
  DigitCount.OnChange = window.DigitCountChange;
  StartDate.OnChange = window.StartDateChange;
  EndDate.OnChange = window.EndDateChange;
  DateFormat.OnChange = window.DateFormatChange;
  FolderCount.OnChange = window.FolderCountChange;
  LetterCase.OnChange = window.LetterCaseChange;
  LettersPerName.OnChange = window.LettersPerNameChange;
  preview_ = window.Preview;
  runCounts_ = window.RunCounts;
}

void TTierView::Start(const SYSTEMTIME& now, const naming::DateFormatTable& formats) {
  Frame.SetFill(Colours.Panel);
  SampleStrip.SetFill(Colours.Strip);
  Group.SetColor(Colours.Panel);
  for (TKindRow& row : Rows) row.Radio.SetColor(Colours.Panel);
  const naming::CalendarDate today = CalendarDateOf(now);
  StartDate.SetDate(now);
  EndDate.SetDate(SystemTimeOf(naming::DateOfDayNumber(naming::DayNumber(today) + 1), now));
  StartDate.SetCalendarTitleColor(Colours.CalendarTitle);
  EndDate.SetCalendarTitleColor(Colours.CalendarTitle);
  // Entry i stands for format i; the entries are not refreshed while the program runs.
  for (int format = 0; format < naming::DateFormatTable::kCount; ++format)
    DateFormat.AddItem(formats.Format(format, today));
  DateFormat.SetItemIndex(0);
  LetterCase.SetItemIndex(0);
  Pattern.SetItemIndex(0);
  Row(naming::SequenceKind::Number).Radio.SetChecked(true);
  SampleLine.SetCaption("sample");
}

naming::TierValues TTierView::Values() const {
  naming::TierValues values;
  values.front = FrontText.Text();
  values.back = BackText.Text();
  values.kind = CheckedKind();
  values.startNumber = StartNumber.Text();
  values.endNumber = EndNumber.Text();
  values.digitCount = DigitCount.Text();
  values.startDate = CalendarDateOf(StartDate.Date());
  values.endDate = CalendarDateOf(EndDate.Date());
  // Typed text that matches no entry stands for the first one, as in a run.
  values.dateFormat = std::max(DateFormat.ItemIndex(), 0);
  values.folderCount = FolderCount.Text();
  values.letterCase = std::max(LetterCase.ItemIndex(), 0);
  values.lettersPerName = LettersPerName.Text();
  values.position = std::max(Pattern.ItemIndex(), 0);
  values.freeLines = naming::FreeLinesOf(FreeLines.Text());
  return values;
}

void TTierView::SetValues(const naming::TierValues& values) {
  FrontText.SetText(values.front);
  BackText.SetText(values.back);
  FreeLines.SetText(naming::FreeLinesText(values.freeLines));
  Pattern.SetItemIndex(values.position);
  Row(values.kind).Radio.SetChecked(true);
  StartNumber.SetText(values.startNumber);
  EndNumber.SetText(values.endNumber);
  DigitCount.SetText(values.digitCount);
  StartDate.SetDate(SystemTimeOf(values.startDate));
  EndDate.SetDate(SystemTimeOf(values.endDate));
  DateFormat.SetItemIndex(values.dateFormat);
  FolderCount.SetText(values.folderCount);
  LetterCase.SetItemIndex(values.letterCase);
  LettersPerName.SetText(values.lettersPerName);
  UpdateLineCounter();
  EnableCheckedKind();
}

void TTierView::RefreshSample(const naming::DateFormatTable& formats) {
  // No pattern is selected only during start-up: the line keeps its text until then.
  if (Pattern.ItemIndex() < 0) return;
  SampleLine.SetCaption(naming::SampleName(TPanelTemplate(*this), formats));
}

void TTierView::DisableKinds() {
  for (TKindRow& row : Rows) ShowRow(row, false);
}

// Each row set once to its final state: a row that stays chosen is not turned off and on again.
void TTierView::EnableCheckedKind() {
  for (TKindRow& row : Rows) ShowRow(row, row.Radio.Checked());
}

void TTierView::ShowRow(TKindRow& row, bool chosen) {
  for (TWinControl* control : row.Parameters) control->SetEnabled(chosen);
  row.Caption.SetFontColor(chosen ? Colours.ChosenCaption : kUnchosenCaption);
  if (row.InnerLabel != nullptr) row.InnerLabel->SetEnabled(chosen);
}

void TTierView::FreeLinesChange() {
  UpdateLineCounter();
  preview_();
}

void TTierView::StartNumberChange() { RefillAndPreview(StartNumber); }
void TTierView::DigitCountChange() { RefillAndPreview(DigitCount); }
void TTierView::LettersPerNameChange() { RefillAndPreview(LettersPerName); }

// Only a change of the end pulls it up; a start raised above the end leaves the end alone. The end
// set here raises no event of its own: the preview is refreshed again with it.
void TTierView::EndNumberChange() {
  RefillAndPreview(EndNumber);
  const std::string startText = StartNumber.Text();
  const int start = naming::ToInteger(startText);
  if (naming::ToInteger(EndNumber.Text()) >= start) return;
  EndNumber.SetText(startText);
  preview_();
}

void TTierView::FolderCountChange() {
  RefillWhenEmpty(FolderCount);
  runCounts_();
}

void TTierView::UpdateLineCounter() { LineCounter.SetCaption(CounterText(FreeLines.LineCount())); }

void TTierView::RefillAndPreview(TSpinEdit& field) {
  RefillWhenEmpty(field);
  preview_();
}
