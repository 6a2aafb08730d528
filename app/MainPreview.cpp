// The sample lines, the line counters and the control states that follow the template controls.

#include <string>

#include "app/Main.h"
#include "naming/FolderCount.h"
#include "naming/Integer.h"
#include "naming/Sample.h"
#include "naming/TierRun.h"

namespace {

constexpr TColor kUnchosenCaption(192, 192, 192);

// "%4s" of the decimal count: right-aligned in four characters, never cut.
std::string CounterText(int count) {
  std::string text = std::to_string(count);
  if (text.size() < 4) text.insert(0, 4 - text.size(), ' ');
  return text;
}

// Setting the text raises the field's change event again: the handler runs once more with "0"
// before the caller goes on.
void RefillWhenEmpty(TSpinEdit& field) {
  if (field.Text().empty()) field.SetText("0");
}

}  // namespace

void TForm1::RefillAndRefresh(TSpinEdit& field) {
  RefillWhenEmpty(field);
  SampleFileName();
}

void TForm1::SampleFileName() {
  if (previewHeld_) return;
  // The counts first: a sample line may stop the refresh with a conversion error.
  RefreshRunCounts();
  RefreshSample(ParentTier);
  if (childTier_) RefreshSample(*childTier_);
}

void TForm1::RefreshRunCounts() {
  if (!dateFormats_) return;  // before start-up has built the table
  const auto parents = naming::TierFolderCount(TPanelTemplate(ParentTier), *dateFormats_);
  ParentTier.ShowRunCount(naming::ParentCountText(parents));
  if (!childTier_) return;  // it counts when it is made
  const auto children = naming::TierFolderCount(TPanelTemplate(*childTier_), *dateFormats_);
  childTier_->ShowRunCount(naming::ChildCountText(parents, children, CheckBox1.Checked()));
}

void TForm1::RefreshSample(TTierPanel& panel) {
  // No pattern is selected only during start-up: the line keeps its text until then.
  if (panel.Pattern.ItemIndex() < 0) return;
  panel.SampleLine.SetCaption(naming::SampleName(TPanelTemplate(panel), dateFormats_.value()));
}

void TForm1::RenzokuInit() {
  DisableKinds(ParentTier);
  if (childTier_) DisableKinds(*childTier_);
}

void TForm1::DisableKinds(TTierPanel& panel) {
  for (TKindRow& row : panel.Rows) {
    for (TWinControl* control : row.Parameters) control->SetEnabled(false);
    row.Caption.SetFontColor(kUnchosenCaption);
    if (row.InnerLabel != nullptr) row.InnerLabel->SetEnabled(false);
  }
}

void TForm1::RenzokuCheck() {
  EnableOnlyCheckedKind(ParentTier);
  if (childTier_) EnableOnlyCheckedKind(*childTier_);
}

// Each row set once to its final state: a row that stays chosen is not turned off and on again.
void TForm1::EnableOnlyCheckedKind(TTierPanel& panel) {
  for (TKindRow& row : panel.Rows) {
    const bool chosen = row.Radio.Checked();
    for (TWinControl* control : row.Parameters) control->SetEnabled(chosen);
    row.Caption.SetFontColor(chosen ? panel.Colours.ChosenCaption : kUnchosenCaption);
    if (row.InnerLabel != nullptr) row.InnerLabel->SetEnabled(chosen);
  }
}

void TForm1::UpdateLineCounter(TTierPanel& panel) {
  panel.LineCounter.SetCaption(CounterText(panel.FreeLines.LineCount()));
}

// Only a change of the end pulls it up; a start raised above the end leaves the end alone.
void TForm1::PullEndUpToStart(TTierPanel& panel) {
  const std::string startText = panel.StartNumber.Text();
  const int start = naming::ToInteger(startText);
  const int end = naming::ToInteger(panel.EndNumber.Text());
  if (end < start) panel.EndNumber.SetText(startText);
}

void TForm1::RadioButton1Click() {
  RenzokuCheck();
  SampleFileName();
}

void TForm1::RadioButton2Click() { RadioButton1Click(); }
void TForm1::RadioButton3Click() { RadioButton1Click(); }
void TForm1::RadioButton4Click() { RadioButton1Click(); }

void TForm1::ComboBox3Change() { SampleFileName(); }
void TForm1::Edit1Change() { SampleFileName(); }
void TForm1::Edit2Change() { SampleFileName(); }
void TForm1::Edit4Change() { SampleFileName(); }
void TForm1::Edit5Change() { SampleFileName(); }
void TForm1::DateTimePicker1Change() { SampleFileName(); }
void TForm1::DateTimePicker2Change() { SampleFileName(); }
void TForm1::DateTimePicker3Change() { SampleFileName(); }
void TForm1::DateTimePicker4Change() { SampleFileName(); }
void TForm1::ComboBox1Change() { SampleFileName(); }
void TForm1::ComboBox2Change() { SampleFileName(); }
void TForm1::ComboBox4Change() { SampleFileName(); }
void TForm1::ComboBox5Change() { SampleFileName(); }

void TForm1::Memo1Change() {
  UpdateLineCounter(ParentTier);
  SampleFileName();
}

void TForm1::Memo2Change() {
  UpdateLineCounter(ChildTier());
  SampleFileName();
}

void TForm1::SpinEdit1Change() { RefillAndRefresh(SpinEdit1); }
void TForm1::SpinEdit3Change() { RefillAndRefresh(SpinEdit3); }
void TForm1::SpinEdit5Change() { RefillAndRefresh(SpinEdit5); }
void TForm1::SpinEdit6Change() { RefillAndRefresh(SpinEdit6()); }
void TForm1::SpinEdit8Change() { RefillAndRefresh(SpinEdit8()); }
void TForm1::SpinEdit10Change() { RefillAndRefresh(SpinEdit10()); }

void TForm1::SpinEdit2Change() {
  RefillAndRefresh(SpinEdit2);
  PullEndUpToStart(ParentTier);
}

void TForm1::SpinEdit7Change() {
  RefillAndRefresh(SpinEdit7());
  PullEndUpToStart(ChildTier());
}

// The folder count takes no part in the sample, only in the count.
void TForm1::SpinEdit4Change() {
  RefillWhenEmpty(SpinEdit4);
  RefreshRunCounts();
}

void TForm1::SpinEdit9Change() {
  RefillWhenEmpty(SpinEdit9());
  RefreshRunCounts();
}
