// Text typed with Unicode key events and pasted from the clipboard in UTF-16, as today's keyboards,
// input tools and programs hand it over: a field holds exactly what came in, or refuses a character
// and names it in a balloon.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Edit.h"
#include "framework/Memo.h"
#include "framework/SpinEdit.h"
#include "tests/framework/FrameworkFixture.h"
#include "tests/support/Balloon.h"
#include "tests/support/Clipboard.h"
#include "tests/support/KeyInput.h"
#include "tests/support/MessagePump.h"

namespace {

class FrameworkTextInput : public FrameworkFormTest {
 protected:
  FrameworkTextInput() { SetForegroundWindow(form_.Handle()); }

  // Types at the end of the field until it shows `expected`.
  static std::string TypeInto(TCustomEdit& field, const std::wstring& typed,
                              const std::string& expected) {
    field.SetFocus();
    field.SetSelection(static_cast<int>(field.Text().size()), 0);
    TypeAsUnicodeKeys(typed);
    PumpMessagesUntil([&] { return field.Text() == expected; }, 3000);
    return field.Text();
  }

  // The balloon's text once it says `expected`, or what it says after a while.
  static std::wstring Balloon(const std::wstring& expected) {
    PumpMessagesUntil([&] { return ShownBalloonText() == expected; }, 1000);
    return ShownBalloonText();
  }

  TEdit edit_{form_, {10, 10, 200, 20}};
  TMemo memo_{form_, {10, 40, 200, 80}};
  TSpinEdit spin_{form_, {10, 130, 63, 20}, 0, 999999};
  TEdit other_{form_, {10, 160, 200, 20}};
};

TEST_F(FrameworkTextInput, TypedCharactersTheCodePageLacksAreRefusedByNameAndTheRestKept) {
  const std::wstring typed = L"café©m²";
  EXPECT_EQ(TypeInto(edit_, typed, "cafm"), "cafm");
  const std::wstring named = L"「²」(U+00B2) は Shift-JIS にない文字のため、入力できません。";
  EXPECT_EQ(Balloon(named), named);

  const std::wstring smile = L"x😀";
  const std::wstring smileNamed = L"「😀」(U+1F600) は Shift-JIS にない文字のため、入力できません。";
  EXPECT_EQ(TypeInto(edit_, smile, "cafmx"), "cafmx");
  EXPECT_EQ(Balloon(smileNamed), smileNamed);
  // The next character typed goes in, and the balloon goes.
  EXPECT_EQ(TypeInto(edit_, L"y", "cafmxy"), "cafmxy");
  EXPECT_EQ(ShownBalloonText(), L"");
}

TEST_F(FrameworkTextInput, TheOtherJapaneseMappingsFormsAreTakenAsTheCodePagesOwn) {
  memo_.SetText("");
  const std::wstring jis = L"〜−—‖¢£¬";
  EXPECT_EQ(TypeInto(memo_, jis, "～－―∥￠￡￢"), "～－―∥￠￡￢");
  EXPECT_EQ(ShownBalloonText(), L"");
}

TEST_F(FrameworkTextInput, APasteGoesInWholeOrNotAtAll) {
  struct Case {
    TCustomEdit* field;
    std::wstring clipboard;
    std::string text;  // after pasting into "ab" with "b" selected
    std::wstring balloonStart;
  };
  const std::vector<Case> cases = {
      {&edit_, L"x〜y", "ax～y", L""},
      {&edit_, L"x😀y", "ab", L"「😀」(U+1F600)"},
      {&edit_, L"one\r\ntwo", "aone", L""},  // a one-line field takes the first line
      {&memo_, L"one\r\ntwo", "aone\r\ntwo", L""},
      {&memo_, L"한글", "ab", L"「한」(U+D55C)、「글」(U+AE00)"},
      {&spin_, L"４２", "a42", L""},
      {&spin_, L"1.5", "a1.5", L""},  // the run reports it
      {&spin_, L"1表", "ab", L"「表」(U+8868) は入力できません。数字を入力してください。"},
  };
  for (const Case& c : cases) {
    c.field->SetText("ab");
    c.field->SetFocus();
    c.field->SetSelection(1, 1);
    PutUnicodeTextOnClipboard(form_.Handle(), c.clipboard);
    c.field->PasteFromClipboard();
    EXPECT_EQ(c.field->Text(), c.text) << c.text;
    PumpMessagesUntil([&] { return !ShownBalloonText().empty(); },
                      c.balloonStart.empty() ? 0 : 1000);
    EXPECT_EQ(ShownBalloonText().substr(0, c.balloonStart.size()), c.balloonStart) << c.text;
    if (c.balloonStart.empty()) {
      EXPECT_EQ(ShownBalloonText(), L"") << c.text;
    }
    other_.SetFocus();  // the balloon goes with the focus
    EXPECT_EQ(ShownBalloonText(), L"") << c.text;
  }
}

TEST_F(FrameworkTextInput, ANumberFieldTakesFullWidthDigitsAndRefusesLetters) {
  spin_.SetText("");
  const std::wstring typed = L"１２a";
  EXPECT_EQ(TypeInto(spin_, typed, "12"), "12");
  const std::wstring named = L"「a」(U+0061) は入力できません。数字を入力してください。";
  EXPECT_EQ(Balloon(named), named);
  EXPECT_EQ(TypeInto(spin_, L"３", "123"), "123");
}

}  // namespace
