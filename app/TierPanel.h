#pragma once
// The controls of one tier's name template, laid out in its panel. The child tier's panel repeats
// the parent's, shifted right and down; the main window names each control (Edit1, SpinEdit6, ...).

#include <array>
#include <string>
#include <vector>

#include "app/ElementMark.h"
#include "framework/ComboBox.h"
#include "framework/Container.h"
#include "framework/DateTimePicker.h"
#include "framework/Edit.h"
#include "framework/GroupBox.h"
#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/Memo.h"
#include "framework/RadioButton.h"
#include "framework/Shape.h"
#include "framework/SpinEdit.h"
#include "app/res/Resource.h"
#include "naming/Template.h"

// One row of the sequence-kind group: the radio button, the white box with the row caption, and
// what the row enables when its button is on.
class TKindRow {
 public:
  TKindRow(TGroupBox& group, int boxTop, const char* caption);

  // The caption in the middle of its box.
  void PlaceCaption();

  TRadioButton Radio;
  TShape Box;
  TLabel Caption;
  // Filled by the panel once the row's parameter controls exist; not owned.
  std::vector<TWinControl*> Parameters;
  TLabel* InnerLabel = nullptr;
};

// The colours that tell the tiers apart.
struct TTierColours {
  TColor Panel;          // panel fill, group and radio button background
  TColor Strip;          // sample strip fill
  TColor ChosenCaption;  // the caption of the row whose radio button is on
  TColor CalendarTitle;  // title of the date pickers' calendars
  int CaptionPicture;    // background bitmap of the element marks
};

inline constexpr TTierColours kParentColours{
    {221, 221, 255}, {238, 238, 255}, {0, 102, 221}, {0, 102, 221}, IDB_CAPTION_PARENT};
inline constexpr TTierColours kChildColours{
    {221, 255, 221}, {238, 255, 238}, {0, 221, 102}, {0, 221, 102}, IDB_CAPTION_CHILD};

class TTierPanel {
 public:
  // `dx`, `dy`: the shift from the parent tier's place.
  TTierPanel(TContainer& form, int dx, int dy, const TTierColours& colours);

  const TTierColours Colours;

  // The row of each kind, in row order: number, date, letters, none.
  TKindRow& Row(naming::SequenceKind kind);
  const TKindRow& Row(naming::SequenceKind kind) const;
  // The kind whose radio button is on; none while no button is on.
  naming::SequenceKind CheckedKind() const;
  // The count of the tier's run, right-aligned at the end of the sample strip; empty hides it.
  void ShowRunCount(const std::string& text);
  // Places again what stands by the measure of its text (row and mark captions, the run count):
  // after the fonts changed with the DPI.
  void PlaceMeasuredParts();

 private:
  // Places of the layout (96 DPI) in the tier's panel. Inside the sequence-kind group, places
  // are the group's own.
  TBounds At(int left, int top, int width, int height) const {
    return {left + dx_, top + dy_, width, height};
  }
  int X(int left) const { return left + dx_; }
  int Y(int top) const { return top + dy_; }
  void PlaceRunCount();

  TContainer& form_;  // not owned
  int dx_;
  int dy_;

  // Members stand in painting order: the parent paints its pictures, shapes and labels in the
  // order they were made.
 public:
  TShape Frame{form_, At(184, 6, 585, 265)};
  TShape SampleStrip{form_, At(189, 10, 574, 25)};
  TImage SampleIcon{form_, At(192, 14, 18, 17)};
  TLabel SampleLine{form_, X(240), Y(15), ""};
  // Over a sample line long enough to reach it, on the strip's own colour.
  TLabel RunCount{form_, X(757), Y(17), ""};
  TElementMark FrontMark{
      form_, 192 + dx_, 40 + dy_, "A", "前固定文字", {1, 1}, Colours.CaptionPicture};
  TElementMark SequenceMark{
      form_, 192 + dx_, 70 + dy_, "01", "連続データ", {2, 1}, Colours.CaptionPicture};
  TElementMark BackMark{
      form_, 192 + dx_, 244 + dy_, "B", "後固定文字", {1, 2}, Colours.CaptionPicture};
  TElementMark FreeMark{
      form_, 574 + dx_, 40 + dy_, "*", "任意文字", {1, 1}, Colours.CaptionPicture};

  TEdit FrontText{form_, At(314, 42, 105, 20)};
  TGroupBox Group{form_, At(213, 92, 356, 145)};
  std::array<TKindRow, 4> Rows{
      {{Group, 10, "番号"}, {Group, 38, "日付"}, {Group, 86, "英文字"}, {Group, 114, "なし"}}};

  TSpinEdit StartNumber{Group, {95, 12, 63, 21}, 0, 999999};
  TImage NumberArrow{Group, {158, 14, 17, 17}};
  TSpinEdit EndNumber{Group, {175, 12, 63, 21}, 0, 999999};
  TLabel DigitLabel{Group, 260, 16, "桁数"};
  TSpinEdit DigitCount{Group, {287, 12, 63, 21}, 1, 10};

  // 6 pixels wider than the window layout's 115 each (the arrow moves 3 to the left): the whole
  // date with its weekday then shows.
  TDateTimePicker StartDate{Group, {89, 40, 121, 21}};
  TImage DateArrow{Group, {211, 42, 21, 17}};
  TDateTimePicker EndDate{Group, {232, 40, 121, 21}};
  TLabel FormatLabel{Group, 154, 68, "表示形式"};
  TComboBox DateFormat{Group, {208, 64, 142, 0}, TComboBoxStyle::DropDown};

  TSpinEdit FolderCount{Group, {95, 87, 63, 21}, 1, 999999};
  TComboBox LetterCase{Group, {175, 88, 63, 0}, TComboBoxStyle::DropDownList};
  TLabel LettersLabel{Group, 248, 91, "文字数"};
  TSpinEdit LettersPerName{Group, {287, 87, 63, 21}, 1, 10};

  TEdit BackText{form_, At(314, 245, 105, 20)};
  TLabel PatternLabel{form_, X(575), Y(74), "文字位置指定"};
  TComboBox Pattern{form_, At(656, 72, 105, 0), TComboBoxStyle::DropDownList};
  TMemo FreeLines{form_, At(574, 96, 187, 149)};
  TLabel LineCounter{form_, X(704), Y(251), "   0"};
  TLabel LinesLabel{form_, X(734), Y(250), "Lines"};
};
