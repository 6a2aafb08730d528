// The sample lines, the run counts and the control states that follow the template controls. Each
// control's handler hands on to its tier; a refresh covers both tiers.

#include "app/Main.h"
#include "naming/FolderCount.h"
#include "naming/TierRun.h"

void TForm1::SampleFileName() {
  if (!dateFormats_) return;  // before start-up, which sets the lines
  // The counts first: a sample line may stop the refresh with a conversion error.
  RefreshRunCounts();
  ParentTier.RefreshSample(*dateFormats_);
  if (childTier_) childTier_->RefreshSample(*dateFormats_);
}

void TForm1::RefreshRunCounts() {
  if (!dateFormats_) return;  // before start-up has built the table
  const auto parents = naming::TierFolderCount(TPanelTemplate(ParentTier), *dateFormats_);
  ParentTier.ShowRunCount(naming::ParentCountText(parents));
  if (!childTier_) return;  // it counts when it is made
  const auto children = naming::TierFolderCount(TPanelTemplate(*childTier_), *dateFormats_);
  childTier_->ShowRunCount(naming::ChildCountText(parents, children, CheckBox1.Checked()));
}

void TForm1::RenzokuInit() {
  ParentTier.DisableKinds();
  if (childTier_) childTier_->DisableKinds();
}

void TForm1::RenzokuCheck() {
  ParentTier.EnableCheckedKind();
  if (childTier_) childTier_->EnableCheckedKind();
}

// Shared by the child tier's buttons of the same row.
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

void TForm1::Memo1Change() { ParentTier.FreeLinesChange(); }
void TForm1::Memo2Change() { ChildTier().FreeLinesChange(); }
void TForm1::SpinEdit1Change() { ParentTier.StartNumberChange(); }
void TForm1::SpinEdit2Change() { ParentTier.EndNumberChange(); }
void TForm1::SpinEdit3Change() { ParentTier.DigitCountChange(); }
void TForm1::SpinEdit4Change() { ParentTier.FolderCountChange(); }
void TForm1::SpinEdit5Change() { ParentTier.LettersPerNameChange(); }
void TForm1::SpinEdit6Change() { ChildTier().StartNumberChange(); }
void TForm1::SpinEdit7Change() { ChildTier().EndNumberChange(); }
void TForm1::SpinEdit8Change() { ChildTier().DigitCountChange(); }
void TForm1::SpinEdit9Change() { ChildTier().FolderCountChange(); }
void TForm1::SpinEdit10Change() { ChildTier().LettersPerNameChange(); }
