// The sample lines, the control states after each radio button, the line counters, the refill of
// emptied spin edits and the end of a number range pulled up to its start.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/app/MainWindowFixture.h"
#include "tests/support/Balloon.h"
#include "tests/support/Clipboard.h"
#include "tests/support/KeyInput.h"
#include "tests/support/MessageBoxCloser.h"
#include "tests/support/MessagePump.h"

namespace {

using naming::SequenceKind;

class PreviewTest : public MainWindowTest {};

TEST_F(PreviewTest, AnyChangeRebuildsBothSampleLinesFromTheDefaults) {
  Pick(form->ParentTier.Pattern, 0);
  EXPECT_EQ(form->ParentTier.SampleLine.Caption(), "0");
  EXPECT_EQ(form->ChildTier().SampleLine.Caption(), "0");

  Type(form->ParentTier.FrontText, "x");
  Type(form->ParentTier.StartNumber, "1");
  Type(form->ParentTier.DigitCount, "3");
  Type(form->ParentTier.BackText, "y");
  EXPECT_EQ(form->ParentTier.SampleLine.Caption(), "x001y");
  EXPECT_EQ(form->ChildTier().SampleLine.Caption(), "0");

  // A change in the child tier rebuilds the parent line as well, ticked box or not.
  Type(form->ChildTier().BackText, "c");
  EXPECT_EQ(form->ChildTier().SampleLine.Caption(), "0c");
  EXPECT_EQ(form->ParentTier.SampleLine.Caption(), "x001y");

  // A number wider than its digit count is written whole; texts are used as typed.
  Type(form->ParentTier.StartNumber, "1234");
  Type(form->ParentTier.DigitCount, "2");
  Type(form->ParentTier.FrontText, " x ");
  EXPECT_EQ(form->ParentTier.SampleLine.Caption(), " x 1234y");
}

TEST_F(PreviewTest, ThePositionPatternPlacesTheFirstFreeLineOnly) {
  Type(form->ParentTier.FrontText, "a");
  Type(form->ParentTier.BackText, "b");
  Type(form->ParentTier.FreeLines, "p\r\nq");
  const std::vector<std::string> expected = {"a0b", "a0bp", "a0pb", "ap0b", "pa0b"};
  for (int entry = 0; entry < 5; ++entry) {
    Pick(form->ParentTier.Pattern, entry);
    EXPECT_EQ(form->ParentTier.SampleLine.Caption(), expected[entry]) << "entry " << entry;
  }
  // The child tier's pattern list runs the same handler for the child line.
  Type(form->ChildTier().FreeLines, "r");
  Pick(form->ChildTier().Pattern, 4);
  EXPECT_EQ(form->ChildTier().SampleLine.Caption(), "r0");

  // The first line as the field shows it: a long entry only up to its first wrap.
  Type(form->ParentTier.FreeLines, std::string(300, 'w'));
  Pick(form->ParentTier.Pattern, 1);
  const std::string firstLine = form->ParentTier.FreeLines.Line(0);
  EXPECT_LT(firstLine.size(), 300u);
  EXPECT_EQ(form->ParentTier.SampleLine.Caption(), "a0b" + firstLine);
}

TEST_F(PreviewTest, DateAndLetterKindsShowTheirFirstFolder) {
  Click(form->ParentTier.Row(SequenceKind::Date).Radio);
  ChangeDate(form->ParentTier.StartDate, 2004, 2, 3);
  EXPECT_EQ(form->ParentTier.SampleLine.Caption(), "2004-02-03");
  Pick(form->ParentTier.DateFormat, 8);
  EXPECT_EQ(form->ParentTier.SampleLine.Caption(), "平成16年02月03日");
  // Typed text that matches no format: the first format stands in for it.
  SetForegroundWindow(form->Handle());
  form->ParentTier.DateFormat.SetFocus();
  SendMessageA(form->ParentTier.DateFormat.Handle(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
  TypeAsUnicodeKeys("typed");
  EXPECT_TRUE(
      PumpMessagesUntil([&] { return form->ParentTier.DateFormat.Text() == "typed"; }, 3000));
  EXPECT_EQ(form->ParentTier.DateFormat.ItemIndex(), -1);
  EXPECT_EQ(form->ParentTier.SampleLine.Caption(), "2004-02-03");

  Click(form->ParentTier.Row(SequenceKind::Letters).Radio);
  EXPECT_EQ(form->ParentTier.SampleLine.Caption(), "A");
  Pick(form->ParentTier.LetterCase, 1);
  Type(form->ParentTier.LettersPerName, "4");
  EXPECT_EQ(form->ParentTier.SampleLine.Caption(), "aaaa");
  // Letters per name: "0" gives no letters, a text that is no integer one.
  Type(form->ParentTier.LettersPerName, "0");
  EXPECT_EQ(form->ParentTier.SampleLine.Caption(), "");
  Type(form->ParentTier.LettersPerName, "1.5");
  EXPECT_EQ(form->ParentTier.SampleLine.Caption(), "a");

  Type(form->ParentTier.FrontText, "q");
  Click(form->ParentTier.Row(SequenceKind::None).Radio);
  EXPECT_EQ(form->ParentTier.SampleLine.Caption(), "q");
}

// By the window layout's names, whose click handlers set the rows: RadioButton1Click to
// RadioButton4Click, each shared by the child's button of the same row.
TEST_F(PreviewTest, EachRadioButtonEnablesItsRowOnlyInItsOwnTier) {
  struct Case {
    TRadioButton* radio;
    const TTierPanel* panel;
    SequenceKind kind;
  };
  const std::vector<Case> cases = {
      {&form->RadioButton2, &form->ParentTier, SequenceKind::Date},
      {&form->RadioButton3, &form->ParentTier, SequenceKind::Letters},
      {&form->RadioButton4, &form->ParentTier, SequenceKind::None},
      {&form->RadioButton1, &form->ParentTier, SequenceKind::Number},
      {&form->RadioButton6(), &form->ChildTier(), SequenceKind::Date},
      {&form->RadioButton7(), &form->ChildTier(), SequenceKind::Letters},
      {&form->RadioButton8(), &form->ChildTier(), SequenceKind::None},
      {&form->RadioButton5(), &form->ChildTier(), SequenceKind::Number},
  };
  const SequenceKind kinds[] = {SequenceKind::Number, SequenceKind::Date, SequenceKind::Letters,
                                SequenceKind::None};
  for (const Case& c : cases) {
    Click(*c.radio);
    for (const TTierPanel* panel : {&form->ParentTier, &form->ChildTier()}) {
      const SequenceKind on = panel == c.panel ? c.kind : SequenceKind::Number;
      for (SequenceKind kind : kinds) {
        const TKindRow& row = panel->Row(kind);
        SCOPED_TRACE(testing::Message() << "clicked " << static_cast<int>(c.kind) << " row "
                                        << static_cast<int>(kind));
        EXPECT_EQ(row.Radio.Checked(), kind == on);
        for (const TWinControl* control : row.Parameters) EXPECT_EQ(control->Enabled(), kind == on);
        if (row.InnerLabel != nullptr) {
          EXPECT_EQ(row.InnerLabel->Enabled(), kind == on);
        }
        EXPECT_EQ(row.Caption.FontColor(),
                  kind == on ? panel->Colours.ChosenCaption : TColor(192, 192, 192));
      }
    }
  }
  // "なし" takes the sequence part out of the sample.
  Type(form->ParentTier.StartNumber, "5");
  Click(form->RadioButton4);
  EXPECT_EQ(form->ParentTier.SampleLine.Caption(), "");
}

TEST_F(PreviewTest, TheCounterCountsDisplayedLinesButNotAnEmptyLastOne) {
  Type(form->ParentTier.FreeLines, "a\r\nb\r\n");
  EXPECT_EQ(form->ParentTier.LineCounter.Caption(), "   2");
  Type(form->ParentTier.FreeLines, "a\r\n\r\nb");
  EXPECT_EQ(form->ParentTier.LineCounter.Caption(), "   3");
  std::string twelve;
  for (int i = 0; i < 12; ++i) twelve += "line\r\n";
  Type(form->ChildTier().FreeLines, twelve);
  EXPECT_EQ(form->ChildTier().LineCounter.Caption(), "  12");
  EXPECT_EQ(form->ParentTier.LineCounter.Caption(), "   3");

  // One long entry wraps at the field's width: every displayed line counts.
  Type(form->ParentTier.FreeLines, std::string(300, 'w'));
  const int displayed =
      static_cast<int>(SendMessageA(form->ParentTier.FreeLines.Handle(), EM_GETLINECOUNT, 0, 0));
  EXPECT_GT(displayed, 1);
  EXPECT_EQ(form->ParentTier.LineCounter.Caption(), "  " + std::to_string(displayed));

  // Five digits fill the field: no space, nothing cut.
  std::string many;
  for (int i = 0; i < 10000; ++i) many += "1\r\n";
  Type(form->ParentTier.FreeLines, many);
  EXPECT_EQ(form->ParentTier.LineCounter.Caption(), "10000");
  Type(form->ParentTier.FreeLines, "");
  EXPECT_EQ(form->ParentTier.LineCounter.Caption(), "   0");
}

TEST_F(PreviewTest, AnEmptiedSpinEditReadsZeroAtOnceAndItsMinimumWhenLeft) {
  const auto emptyAndLeave = [this](TSpinEdit& field) {
    SetFocus(field.Handle());
    Type(field, "");
    EXPECT_EQ(field.Text(), "0");
    SetFocus(form->ParentTier.FrontText.Handle());
    EXPECT_EQ(field.Text(), std::to_string(field.MinValue()));
  };
  for (TSpinEdit* field : {&form->ParentTier.StartNumber, &form->ParentTier.EndNumber,
                           &form->ParentTier.DigitCount, &form->ChildTier().StartNumber,
                           &form->ChildTier().EndNumber, &form->ChildTier().DigitCount}) {
    emptyAndLeave(*field);
  }
  Click(form->ParentTier.Row(SequenceKind::Letters).Radio);
  Click(form->ChildTier().Row(SequenceKind::Letters).Radio);
  for (TSpinEdit* field : {&form->ParentTier.FolderCount, &form->ParentTier.LettersPerName,
                           &form->ChildTier().FolderCount, &form->ChildTier().LettersPerName}) {
    emptyAndLeave(*field);
  }

  // While the digit count reads "0" the number is written as "%.*d" writes it.
  Click(form->ParentTier.Row(SequenceKind::Number).Radio);
  Type(form->ParentTier.StartNumber, "7");
  SetFocus(form->ParentTier.DigitCount.Handle());
  Type(form->ParentTier.DigitCount, "");
  EXPECT_EQ(form->ParentTier.SampleLine.Caption(), "7");
}

TEST_F(PreviewTest, TheEndIsPulledUpToTheStartOnlyWhenTheEndChanges) {
  Type(form->ParentTier.StartNumber, "5");
  EXPECT_EQ(form->ParentTier.EndNumber.Text(), "0");  // raising the start leaves the end
  Type(form->ParentTier.EndNumber, "3");
  EXPECT_EQ(form->ParentTier.EndNumber.Text(), "5");
  EXPECT_EQ(form->ParentTier.RunCount.Caption(), "  1 個");  // counted with the end pulled up
  Type(form->ParentTier.EndNumber, "");                      // refilled with "0", then pulled up
  EXPECT_EQ(form->ParentTier.EndNumber.Text(), "5");
  EXPECT_EQ(form->ParentTier.RunCount.Caption(), "  1 個");
  Type(form->ParentTier.EndNumber, "8");
  Type(form->ParentTier.StartNumber, "9");
  EXPECT_EQ(form->ParentTier.EndNumber.Text(), "8");

  Type(form->ChildTier().StartNumber, "+7");
  Type(form->ChildTier().EndNumber, "1");
  EXPECT_EQ(form->ChildTier().EndNumber.Text(), "+7");  // the start's text, as it stands
  EXPECT_EQ(form->ParentTier.EndNumber.Text(), "8");
}

TEST_F(PreviewTest, ANumberThatIsNoIntegerStopsTheRefreshWithTheErrorBox) {
  Type(form->ParentTier.FrontText, "a");
  ASSERT_EQ(form->ParentTier.SampleLine.Caption(), "a0");
  {
    TMessageBoxCloser closer;
    Type(form->ParentTier.DigitCount, "1.5");
    EXPECT_EQ(closer.Texts(), std::vector<std::string>{"'1.5' は整数ではありません."});
    EXPECT_EQ(closer.Captions(), std::vector<std::string>{"Tessarin"});
    // The parent failed first: neither line was rebuilt.
    Type(form->ChildTier().BackText, "z");
    EXPECT_EQ(form->ParentTier.SampleLine.Caption(), "a0");
    EXPECT_EQ(form->ChildTier().SampleLine.Caption(), "0");
    EXPECT_EQ(closer.Texts().size(), 2u);
  }
  Type(form->ParentTier.DigitCount, "1");
  {
    TMessageBoxCloser closer;
    // The child fails after the parent line was rebuilt.
    Type(form->ChildTier().StartNumber, "-");
    Type(form->ParentTier.FrontText, "b");
    EXPECT_EQ(form->ParentTier.SampleLine.Caption(), "b0");
    EXPECT_EQ(form->ChildTier().SampleLine.Caption(), "0z");
    EXPECT_EQ(closer.Texts(),
              (std::vector<std::string>{"'-' は整数ではありません.", "'-' は整数ではありません."}));
  }
  {
    // The pull-up converts both numbers of its tier.
    TMessageBoxCloser closer;
    Type(form->ChildTier().StartNumber, "1");
    Type(form->ChildTier().EndNumber, "x");
    EXPECT_EQ(closer.Texts(), std::vector<std::string>{"'x' は整数ではありません."});
  }
}

// Ctrl+V and typing as the user does: a number field refuses a pasted word whole, so no error box
// stands in the way of the next key in another field.
TEST_F(PreviewTest, ANumberFieldNeverHoldsAPastedWordSoTheNextKeyGoesWhereItIsTyped) {
  TMessageBoxCloser closer;
  SetForegroundWindow(form->Handle());
  form->ParentTier.StartNumber.SetFocus();
  form->ParentTier.StartNumber.SelectAll();
  PutUnicodeTextOnClipboard(form->Handle(), L"表");
  PressKeys({VK_CONTROL, 'V'});
  const std::wstring why = L"「表」(U+8868) は入力できません。数字を入力してください。";
  EXPECT_TRUE(PumpMessagesUntil([&] { return ShownBalloonText() == why; }, 3000));
  EXPECT_EQ(form->ParentTier.StartNumber.Text(), "0");

  form->ParentTier.FrontText.SetFocus();
  TypeAsUnicodeKeys("x");
  EXPECT_TRUE(
      PumpMessagesUntil([&] { return form->ParentTier.SampleLine.Caption() == "x0"; }, 3000));
  EXPECT_TRUE(closer.Texts().empty());
}

// Each strip counts the run by the run's own reading of the fields, right-aligned at its end, and
// leaves the sample line as it is.
TEST_F(PreviewTest, TheStripsCountTheRunWithoutTouchingTheSampleLines) {
  Type(form->ParentTier.StartNumber, "1");
  Type(form->ParentTier.EndNumber, "120");
  EXPECT_EQ(form->ParentTier.RunCount.Caption(), "  120 個");
  EXPECT_EQ(form->ParentTier.RunCount.Left() + form->ParentTier.RunCount.Width(), 757);
  const std::string sample = form->ParentTier.SampleLine.Caption();

  // The child's folder count refreshes the count though it takes no part in the sample.
  Click(form->CheckBox1);
  Click(form->ChildTier().Row(SequenceKind::Letters).Radio);
  Type(form->ChildTier().FolderCount, "30");
  EXPECT_EQ(form->ChildTier().RunCount.Caption(), "  × 30  計 3,720 個");
  Click(form->CheckBox1);
  EXPECT_EQ(form->ChildTier().RunCount.Caption(), "  × 30");

  // An end that is not an integer: no count, and the same sample line.
  {
    TMessageBoxCloser closer;  // the end pulled up to the start reports the text
    Type(form->ParentTier.EndNumber, "1.5");
  }
  EXPECT_EQ(form->ParentTier.RunCount.Caption(), "");
  EXPECT_EQ(form->ParentTier.SampleLine.Caption(), sample);
  EXPECT_EQ(form->ChildTier().RunCount.Caption(), "  × 30");
}

}  // namespace
