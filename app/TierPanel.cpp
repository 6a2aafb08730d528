#include "app/TierPanel.h"

namespace {

constexpr TColor kWhite(255, 255, 255);
constexpr TColor kGrey(128, 128, 128);
constexpr TColor kSilver(192, 192, 192);

const TFont& RowCaptionFont() {
  static const TFont font("ＭＳ Ｐゴシック", 12, true);
  return font;
}

const TFont& SampleFont() {
  static const TFont font("ＭＳ Ｐゴシック", 15);
  return font;
}

constexpr int kBoxLeft = 27;
constexpr int kBoxWidth = 60;
constexpr int kBoxHeight = 24;

constexpr const char* kPatterns[] = {"つけない", "A + 01 + B + *", "A + 01 + * + B",
                                     "A + * + 01 + B", "* + A + 01 + B"};

}  // namespace

TKindRow::TKindRow(TGroupBox& group, int boxTop, const char* caption)
    : Radio(group, {5, boxTop + 4, 17, 17}, ""),
      Box(group, {kBoxLeft, boxTop, kBoxWidth, kBoxHeight}),
      Caption(group, 0, 0, caption) {
  Box.SetPen(kWhite);
  Box.SetFill(kWhite);
  Caption.SetFont(RowCaptionFont());
  PlaceCaption();
}

void TKindRow::PlaceCaption() {
  const TBounds box = Box.Bounds();
  Caption.SetBounds({box.Left + (box.Width - Caption.Width()) / 2,
                     box.Top + (box.Height - Caption.Height()) / 2, Caption.Width(),
                     Caption.Height()});
}

TTierPanel::TTierPanel(TContainer& form, int dx, int dy, const TTierColours& colours)
    : Colours(colours), form_(form), dx_(dx), dy_(dy) {
  Frame.SetPen(kGrey);
  SampleStrip.SetPen(kSilver);
  SampleIcon.SetIcon(IDI_SAMPLE, 18);
  SampleLine.SetFont(SampleFont());
  NumberArrow.SetIcon(IDI_ARROW, 16);
  DateArrow.SetIcon(IDI_ARROW, 16);

  LetterCase.AddItem("大文字");
  LetterCase.AddItem("小文字");
  for (const char* pattern : kPatterns) Pattern.AddItem(pattern);

  RunCount.SetFontColor(kGrey);
  RunCount.SetColor(Colours.Strip);
  LineCounter.SetFontColor(kGrey);
  LinesLabel.SetFontColor(kGrey);

  Row(naming::SequenceKind::Number).Parameters = {&StartNumber, &EndNumber, &DigitCount};
  Row(naming::SequenceKind::Number).InnerLabel = &DigitLabel;
  Row(naming::SequenceKind::Date).Parameters = {&StartDate, &EndDate, &DateFormat};
  Row(naming::SequenceKind::Date).InnerLabel = &FormatLabel;
  Row(naming::SequenceKind::Letters).Parameters = {&FolderCount, &LetterCase, &LettersPerName};
  Row(naming::SequenceKind::Letters).InnerLabel = &LettersLabel;

  TWinControl::SetTabOrder({&StartDate, &EndDate, &DateFormat, &StartNumber, &EndNumber,
                            &DigitCount, &FolderCount, &LetterCase, &LettersPerName, &Rows[0].Radio,
                            &Rows[1].Radio, &Rows[2].Radio, &Rows[3].Radio});
}

void TTierPanel::ShowRunCount(const std::string& text) {
  RunCount.SetCaption(text.empty() ? text : "  " + text);
  PlaceRunCount();
}

void TTierPanel::PlaceRunCount() {
  // 6 pixels inside the strip's right edge (189 + 574).
  const int right = form_.Dpi().Scale(X(757));
  // Moved only when its width changed: an unchanged count costs no painting at each keystroke.
  const int left = right - RunCount.Width();
  if (left != RunCount.Left())
    RunCount.SetBounds({left, RunCount.Top(), RunCount.Width(), RunCount.Height()});
}

void TTierPanel::PlaceMeasuredParts() {
  for (TElementMark* mark : {&FrontMark, &SequenceMark, &BackMark, &FreeMark}) mark->PlaceCaption();
  for (TKindRow& row : Rows) row.PlaceCaption();
  PlaceRunCount();
}

TKindRow& TTierPanel::Row(naming::SequenceKind kind) {
  return Rows[static_cast<std::size_t>(kind)];
}

const TKindRow& TTierPanel::Row(naming::SequenceKind kind) const {
  return Rows[static_cast<std::size_t>(kind)];
}

naming::SequenceKind TTierPanel::CheckedKind() const {
  for (naming::SequenceKind kind :
       {naming::SequenceKind::Number, naming::SequenceKind::Date, naming::SequenceKind::Letters}) {
    if (Row(kind).Radio.Checked()) return kind;
  }
  return naming::SequenceKind::None;
}
