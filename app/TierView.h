#pragma once
// One tier of the main window at work: its controls bound to the window's handlers, its values
// read and set, its sample line, line counter and kind rows kept up to date. What shows both tiers
// at once (a refresh rebuilds both sample lines) is the window's, which the tier asks for.

#include <array>
#include <functional>

#include "app/TierPanel.h"
#include "naming/DateFormats.h"
#include "naming/TemplateFile.h"

class TTierView : public TTierPanel {
 public:
  using TEvent = std::function<void()>;

  // The window's side: its handler of each control's event, and the refreshes the tier asks for.
  struct TWindowSide {
    TEvent FrontTextChange, BackTextChange, FreeLinesChange, PatternChange;
    std::array<TEvent, 4> KindClick;  // in row order
    TEvent StartNumberChange, EndNumberChange, DigitCountChange;
    TEvent StartDateChange, EndDateChange, DateFormatChange;
    TEvent FolderCountChange, LetterCaseChange, LettersPerNameChange;
    TEvent Preview;    // both sample lines and both counts
    TEvent RunCounts;  // both counts only
  };

  using TTierPanel::TTierPanel;

  void Bind(const TWindowSide& window);

  // The values of a new window: colours, dates from `now` to the next day, one date format entry
  // per format showing `now` in it, the first entry of every list, the number row chosen, and the
  // sample line's placeholder.
  void Start(const SYSTEMTIME& now, const naming::DateFormatTable& formats);

  naming::TierValues Values() const;
  // Every field set without its event, then the line counter and the rows; the sample lines are
  // the window's to refresh.
  void SetValues(const naming::TierValues& values);

  // The first folder's name on the sample line; kept while no pattern is selected (start-up).
  void RefreshSample(const naming::DateFormatTable& formats);
  // Every row's parameters and inner label disabled and its caption grey.
  void DisableKinds();
  // The checked row's parameters, inner label and caption on, the others off.
  void EnableCheckedKind();

  // What the tier's own fields do when edited, before the window's refresh. An emptied number
  // field is refilled with "0"; an end number below the start is pulled up to it.
  void FreeLinesChange();
  void StartNumberChange();
  void EndNumberChange();
  void DigitCountChange();
  void FolderCountChange();  // no part of the sample: the counts alone
  void LettersPerNameChange();

 private:
  void ShowRow(TKindRow& row, bool chosen);
  void UpdateLineCounter();
  void RefillAndPreview(TSpinEdit& field);

  TEvent preview_;
  TEvent runCounts_;
};
