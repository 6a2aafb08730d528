#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Edit.h"
#include "framework/SpinEdit.h"
#include "tests/framework/FrameworkFixture.h"
#include "tests/support/Clipboard.h"

namespace {

class FrameworkSpinEdit : public FrameworkFormTest {
 protected:
  TSpinEdit spin_{form_, {10, 10, 63, 20}, 0, 999999};
  TSpinEdit digits_{form_, {10, 40, 63, 20}, 1, 10};
  TEdit other_{form_, {10, 70, 100, 20}};

  // Gives the field the focus and takes it away again, as leaving it does.
  void Leave(TSpinEdit& spin) {
    spin.SetFocus();
    other_.SetFocus();
  }
};

TEST_F(FrameworkSpinEdit, StartsAtItsMinimumWithArrowsInsideItsBounds) {
  EXPECT_EQ(spin_.Text(), "0");
  EXPECT_EQ(digits_.Text(), "1");
  // The arrows take the right end of the 63 pixels; the field keeps the rest.
  EXPECT_LT(spin_.Width(), 63);
  EXPECT_GT(spin_.Width(), 30);
}

TEST_F(FrameworkSpinEdit, TypingKeepsDigitsSignsAndTheDecimalSeparatorOnly) {
  spin_.SetText("");
  Type(spin_.Handle(), "1a2-+.x3 ");
  EXPECT_EQ(spin_.Text(), "12-+.3");
  EXPECT_TRUE(TSpinEdit::IsAcceptedChar('\b'));
  EXPECT_FALSE(TSpinEdit::IsAcceptedChar('\r'));
  EXPECT_FALSE(TSpinEdit::IsAcceptedChar(static_cast<char>(0x82)));  // a lead byte
}

TEST_F(FrameworkSpinEdit, TakesFullWidthDigitsFromTheInputMethodAndNothingElse) {
  spin_.SetText("5");
  spin_.SetSelection(1, 0);
  // "１" (full-width one) and "表" as the input method hands them to an ANSI window.
  SendMessageA(spin_.Handle(), WM_IME_CHAR, 0x8250, 1);
  SendMessageA(spin_.Handle(), WM_IME_CHAR, 0x955C, 1);
  SendMessageA(spin_.Handle(), WM_IME_CHAR, '7', 1);
  Pump();  // Wine's edit hands IME characters on as posted WM_CHAR messages
  EXPECT_EQ(spin_.Text(), "517");
}

TEST_F(FrameworkSpinEdit, APasteHoldingMoreThanANumberIsRefusedWhole) {
  PutTextOnClipboard(form_.Handle(), "12abc");
  spin_.SetFocus();
  spin_.SelectAll();
  spin_.PasteFromClipboard();
  EXPECT_EQ(spin_.Text(), "0");
}

TEST_F(FrameworkSpinEdit, LeavingPullsAnIntegerIntoTheRangeOnly) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"1234567", "999999"}, {"-5", "0"}, {"+42", "+42"}, {"007", "007"},
      {"1.5", "1.5"},        {"-", "-"},  {"abc", "abc"}, {"99999999999", "99999999999"},
  };
  for (const auto& [typed, left] : cases) {
    spin_.SetText(typed);
    Leave(spin_);
    EXPECT_EQ(spin_.Text(), left) << typed;
  }
  // A refilled "0" in a field whose minimum is 1 stands until the field is left.
  digits_.SetText("0");
  EXPECT_EQ(digits_.Text(), "0");
  Leave(digits_);
  EXPECT_EQ(digits_.Text(), "1");
}

TEST_F(FrameworkSpinEdit, ArrowsStepByOneWithinTheRange) {
  digits_.SetFocus();
  digits_.SetText("9");
  SendMessageA(digits_.Handle(), WM_KEYDOWN, VK_UP, 1);
  EXPECT_EQ(digits_.Text(), "10");
  SendMessageA(digits_.Handle(), WM_KEYDOWN, VK_UP, 1);
  EXPECT_EQ(digits_.Text(), "10");
  SendMessageA(digits_.Handle(), WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_EQ(digits_.Text(), "9");
  // Text that is no integer counts as the minimum.
  digits_.SetText("x");
  SendMessageA(digits_.Handle(), WM_KEYDOWN, VK_UP, 1);
  EXPECT_EQ(digits_.Text(), "2");
  digits_.SetText("1");
  SendMessageA(digits_.Handle(), WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_EQ(digits_.Text(), "1");
}

// Change runs for what the user does and what the field does in answer (the arrows, the pull into
// the range when left), not for a text the program sets, not even from inside the handler.
TEST_F(FrameworkSpinEdit, ChangeRunsForTheUserAndTheFieldsAnswerButNotForTheProgram) {
  std::vector<std::string> seen;
  for (TSpinEdit* field : {&spin_, &digits_}) {
    field->OnChange = [&seen, field] {
      seen.push_back(field->Text());
      if (field->Text().empty()) field->SetText("0");  // the refill of an emptied field
    };
  }
  spin_.SetText("5");
  spin_.SetFocus();
  spin_.SelectAll();
  Type(spin_.Handle(), "\b");
  EXPECT_EQ(spin_.Text(), "0");
  SendMessageA(spin_.Handle(), WM_KEYDOWN, VK_UP, 1);
  digits_.SetText("0");
  Leave(digits_);
  EXPECT_EQ(seen, (std::vector<std::string>{"", "1", "1"}));
}

TEST_F(FrameworkSpinEdit, DisablingTakesTheArrowsAlong) {
  spin_.SetEnabled(false);
  HWND arrows = GetWindow(spin_.Handle(), GW_HWNDNEXT);
  char className[32] = {};
  GetClassNameA(arrows, className, sizeof className);
  ASSERT_STREQ(className, "msctls_updown32");
  EXPECT_FALSE(IsWindowEnabled(arrows));
  spin_.SetEnabled(true);
  EXPECT_TRUE(IsWindowEnabled(arrows));
}

}  // namespace
