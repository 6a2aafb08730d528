// The sample lines, the control states after each radio button, the line counters, the refill of
// emptied spin edits and the end of a number range pulled up to its start.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/app/MainWindowFixture.h"
#include "tests/support/MessageBoxCloser.h"

namespace {

using naming::SequenceKind;

class PreviewTest : public MainWindowTest {};

TEST_F(PreviewTest, AnyChangeRebuildsBothSampleLinesFromTheDefaults) {
  Pick(form->ComboBox3, 0);
  EXPECT_EQ(form->Label24.Caption(), "0");
  EXPECT_EQ(form->Label51().Caption(), "0");

  Type(form->Edit1, "x");
  Type(form->SpinEdit1, "1");
  Type(form->SpinEdit3, "3");
  Type(form->Edit2, "y");
  EXPECT_EQ(form->Label24.Caption(), "x001y");
  EXPECT_EQ(form->Label51().Caption(), "0");

  // A change in the child tier rebuilds the parent line as well, ticked box or not.
  Type(form->Edit5(), "c");
  EXPECT_EQ(form->Label51().Caption(), "0c");
  EXPECT_EQ(form->Label24.Caption(), "x001y");

  // A number wider than its digit count is written whole; texts are used as typed.
  Type(form->SpinEdit1, "1234");
  Type(form->SpinEdit3, "2");
  Type(form->Edit1, " x ");
  EXPECT_EQ(form->Label24.Caption(), " x 1234y");
}

TEST_F(PreviewTest, ThePositionPatternPlacesTheFirstFreeLineOnly) {
  Type(form->Edit1, "a");
  Type(form->Edit2, "b");
  Type(form->Memo1, "p\r\nq");
  const std::vector<std::string> expected = {"a0b", "a0bp", "a0pb", "ap0b", "pa0b"};
  for (int entry = 0; entry < 5; ++entry) {
    Pick(form->ComboBox3, entry);
    EXPECT_EQ(form->Label24.Caption(), expected[entry]) << "entry " << entry;
  }
  // The child tier's pattern list runs the same handler for the child line.
  Type(form->Memo2(), "r");
  Pick(form->ComboBox6(), 4);
  EXPECT_EQ(form->Label51().Caption(), "r0");

  // The first line as the field shows it: a long entry only up to its first wrap.
  Type(form->Memo1, std::string(300, 'w'));
  Pick(form->ComboBox3, 1);
  const std::string firstLine = form->Memo1.Line(0);
  EXPECT_LT(firstLine.size(), 300u);
  EXPECT_EQ(form->Label24.Caption(), "a0b" + firstLine);
}

TEST_F(PreviewTest, DateAndLetterKindsShowTheirFirstFolder) {
  Click(form->RadioButton2);
  ChangeDate(form->DateTimePicker1, 2004, 2, 3);
  EXPECT_EQ(form->Label24.Caption(), "2004-02-03");
  Pick(form->ComboBox1, 8);
  EXPECT_EQ(form->Label24.Caption(), "平成16年02月03日");
  // Typed text that matches no format: the first format stands in for it.
  const HWND typed = GetWindow(form->ComboBox1.Handle(), GW_CHILD);
  SendMessageA(typed, EM_SETSEL, 0, -1);
  for (char c : std::string("typed"))
    SendMessageA(typed, WM_CHAR, static_cast<unsigned char>(c), 1);
  EXPECT_EQ(form->ComboBox1.ItemIndex(), -1);
  EXPECT_EQ(form->Label24.Caption(), "2004-02-03");

  Click(form->RadioButton3);
  EXPECT_EQ(form->Label24.Caption(), "A");
  Pick(form->ComboBox2, 1);
  Type(form->SpinEdit5, "4");
  EXPECT_EQ(form->Label24.Caption(), "aaaa");
  // Letters per name: "0" gives no letters, a text that is no integer one.
  Type(form->SpinEdit5, "0");
  EXPECT_EQ(form->Label24.Caption(), "");
  Type(form->SpinEdit5, "1.5");
  EXPECT_EQ(form->Label24.Caption(), "a");

  Type(form->Edit1, "q");
  Click(form->RadioButton4);
  EXPECT_EQ(form->Label24.Caption(), "q");
}

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
  Type(form->SpinEdit1, "5");
  Click(form->RadioButton4);
  EXPECT_EQ(form->Label24.Caption(), "");
}

TEST_F(PreviewTest, TheCounterCountsDisplayedLinesButNotAnEmptyLastOne) {
  Type(form->Memo1, "a\r\nb\r\n");
  EXPECT_EQ(form->Label27.Caption(), "   2");
  Type(form->Memo1, "a\r\n\r\nb");
  EXPECT_EQ(form->Label27.Caption(), "   3");
  std::string twelve;
  for (int i = 0; i < 12; ++i) twelve += "line\r\n";
  Type(form->Memo2(), twelve);
  EXPECT_EQ(form->Label54().Caption(), "  12");
  EXPECT_EQ(form->Label27.Caption(), "   3");

  // One long entry wraps at the field's width: every displayed line counts.
  Type(form->Memo1, std::string(300, 'w'));
  const int displayed = static_cast<int>(SendMessageA(form->Memo1.Handle(), EM_GETLINECOUNT, 0, 0));
  EXPECT_GT(displayed, 1);
  EXPECT_EQ(form->Label27.Caption(), "  " + std::to_string(displayed));

  // Five digits fill the field: no space, nothing cut.
  std::string many;
  for (int i = 0; i < 10000; ++i) many += "1\r\n";
  Type(form->Memo1, many);
  EXPECT_EQ(form->Label27.Caption(), "10000");
  Type(form->Memo1, "");
  EXPECT_EQ(form->Label27.Caption(), "   0");
}

TEST_F(PreviewTest, AnEmptiedSpinEditReadsZeroAtOnceAndItsMinimumWhenLeft) {
  const auto emptyAndLeave = [this](TSpinEdit& field) {
    SetFocus(field.Handle());
    Type(field, "");
    EXPECT_EQ(field.Text(), "0");
    SetFocus(form->Edit1.Handle());
    EXPECT_EQ(field.Text(), std::to_string(field.MinValue()));
  };
  for (TSpinEdit* field : {&form->SpinEdit1, &form->SpinEdit2, &form->SpinEdit3, &form->SpinEdit6(),
                           &form->SpinEdit7(), &form->SpinEdit8()}) {
    emptyAndLeave(*field);
  }
  Click(form->RadioButton3);
  Click(form->RadioButton7());
  for (TSpinEdit* field :
       {&form->SpinEdit4, &form->SpinEdit5, &form->SpinEdit9(), &form->SpinEdit10()}) {
    emptyAndLeave(*field);
  }

  // While the digit count reads "0" the number is written as "%.*d" writes it.
  Click(form->RadioButton1);
  Type(form->SpinEdit1, "7");
  SetFocus(form->SpinEdit3.Handle());
  Type(form->SpinEdit3, "");
  EXPECT_EQ(form->Label24.Caption(), "7");
}

TEST_F(PreviewTest, TheEndIsPulledUpToTheStartOnlyWhenTheEndChanges) {
  Type(form->SpinEdit1, "5");
  EXPECT_EQ(form->SpinEdit2.Text(), "0");  // raising the start leaves the end
  Type(form->SpinEdit2, "3");
  EXPECT_EQ(form->SpinEdit2.Text(), "5");
  EXPECT_EQ(form->ParentTier.RunCount.Caption(), "  1 個");  // counted with the end pulled up
  Type(form->SpinEdit2, "");                                 // refilled with "0", then pulled up
  EXPECT_EQ(form->SpinEdit2.Text(), "5");
  EXPECT_EQ(form->ParentTier.RunCount.Caption(), "  1 個");
  Type(form->SpinEdit2, "8");
  Type(form->SpinEdit1, "9");
  EXPECT_EQ(form->SpinEdit2.Text(), "8");

  Type(form->SpinEdit6(), "+7");
  Type(form->SpinEdit7(), "1");
  EXPECT_EQ(form->SpinEdit7().Text(), "+7");  // the start's text, as it stands
  EXPECT_EQ(form->SpinEdit2.Text(), "8");
}

TEST_F(PreviewTest, ANumberThatIsNoIntegerStopsTheRefreshWithTheErrorBox) {
  Type(form->Edit1, "a");
  ASSERT_EQ(form->Label24.Caption(), "a0");
  {
    TMessageBoxCloser closer;
    Type(form->SpinEdit3, "1.5");
    EXPECT_EQ(closer.Texts(), std::vector<std::string>{"'1.5' は整数ではありません."});
    EXPECT_EQ(closer.Captions(), std::vector<std::string>{"Tessarin"});
    // The parent failed first: neither line was rebuilt.
    Type(form->Edit5(), "z");
    EXPECT_EQ(form->Label24.Caption(), "a0");
    EXPECT_EQ(form->Label51().Caption(), "0");
    EXPECT_EQ(closer.Texts().size(), 2u);
  }
  Type(form->SpinEdit3, "1");
  {
    TMessageBoxCloser closer;
    // The child fails after the parent line was rebuilt.
    Type(form->SpinEdit6(), "-");
    Type(form->Edit1, "b");
    EXPECT_EQ(form->Label24.Caption(), "b0");
    EXPECT_EQ(form->Label51().Caption(), "0z");
    EXPECT_EQ(closer.Texts(),
              (std::vector<std::string>{"'-' は整数ではありません.", "'-' は整数ではありません."}));
  }
  {
    // The pull-up converts both numbers of its tier.
    TMessageBoxCloser closer;
    Type(form->SpinEdit6(), "1");
    Type(form->SpinEdit7(), "x");
    EXPECT_EQ(closer.Texts(), std::vector<std::string>{"'x' は整数ではありません."});
  }
}

// Each strip counts the run by the run's own reading of the fields, right-aligned at its end, and
// leaves the sample line as it is.
TEST_F(PreviewTest, TheStripsCountTheRunWithoutTouchingTheSampleLines) {
  Type(form->SpinEdit1, "1");
  Type(form->SpinEdit2, "120");
  EXPECT_EQ(form->ParentTier.RunCount.Caption(), "  120 個");
  EXPECT_EQ(form->ParentTier.RunCount.Left() + form->ParentTier.RunCount.Width(), 757);
  const std::string sample = form->Label24.Caption();

  // The child's folder count refreshes the count though it takes no part in the sample.
  Click(form->CheckBox1);
  Click(form->RadioButton7());
  Type(form->SpinEdit9(), "30");
  EXPECT_EQ(form->ChildTier().RunCount.Caption(), "  × 30  計 3,720 個");
  Click(form->CheckBox1);
  EXPECT_EQ(form->ChildTier().RunCount.Caption(), "  × 30");

  // An end that is not an integer: no count, and the same sample line.
  {
    TMessageBoxCloser closer;  // the end pulled up to the start reports the text
    Type(form->SpinEdit2, "1.5");
  }
  EXPECT_EQ(form->ParentTier.RunCount.Caption(), "");
  EXPECT_EQ(form->Label24.Caption(), sample);
  EXPECT_EQ(form->ChildTier().RunCount.Caption(), "  × 30");
}

}  // namespace
