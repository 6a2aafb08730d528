#pragma once
// A tier's name template read from its panel's controls, at the moment each value is asked for.

#include "app/TierPanel.h"
#include "naming/Template.h"

class TPanelTemplate final : public naming::TierTemplate {
 public:
  explicit TPanelTemplate(const TTierPanel& panel) : panel_(panel) {}

  naming::SequenceKind Kind() const override { return panel_.CheckedKind(); }
  std::string FrontText() const override { return panel_.FrontText.Text(); }
  std::string BackText() const override { return panel_.BackText.Text(); }
  int PositionPattern() const override { return panel_.Pattern.ItemIndex(); }

  std::string StartNumberText() const override { return panel_.StartNumber.Text(); }
  std::string EndNumberText() const override { return panel_.EndNumber.Text(); }
  std::string DigitCountText() const override { return panel_.DigitCount.Text(); }

  naming::CalendarDate StartDate() const override;
  naming::CalendarDate EndDate() const override;
  int DateFormatIndex() const override { return panel_.DateFormat.ItemIndex(); }

  std::string FolderCountText() const override { return panel_.FolderCount.Text(); }
  std::string LettersPerNameText() const override { return panel_.LettersPerName.Text(); }
  int LetterCase() const override { return panel_.LetterCase.ItemIndex(); }

  int FreeLineCount() const override { return panel_.FreeLines.LineCount(); }
  std::string FreeLine(int k) const override { return panel_.FreeLines.Line(k); }
  std::string FreeLinesText() const override { return panel_.FreeLines.Text(); }
  std::vector<std::string> FreeLines(std::int64_t limit) const override;

 private:
  const TTierPanel& panel_;  // not owned: the main window's
};

// The calendar date of a picker's or the clock's time; the time of day plays no part.
naming::CalendarDate CalendarDateOf(const SYSTEMTIME& time);
