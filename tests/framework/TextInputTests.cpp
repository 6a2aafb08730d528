// Text typed with Unicode key events and pasted from the clipboard in UTF-16, as today's keyboards,
// input tools and programs hand it over: a field holds exactly what came in, or refuses a character
// and names it in a balloon.

#include <gtest/gtest.h>

#include <string>

#include "framework/ComboBox.h"
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

  TEdit edit_{form_, {10, 10, 200, 20}};
  TMemo memo_{form_, {10, 40, 200, 80}};
  TSpinEdit spin_{form_, {10, 130, 63, 20}, 0, 999999};
  TEdit other_{form_, {10, 160, 200, 20}};
  TComboBox combo_{form_, {10, 190, 142, 0}, TComboBoxStyle::DropDown};  // a field and a list
};

// Selects the second character of the field's text, as Shift+Right after Home does.
void SelectSecondCharacter(TWinControl& field) {
  if (dynamic_cast<TComboBox*>(&field))
    SendMessageA(field.Handle(), CB_SETEDITSEL, 0, MAKELPARAM(1, 2));
  else
    SendMessageA(field.Handle(), EM_SETSEL, 1, 2);
}

// Typed as keys or pasted with Ctrl+V over the "b" of "ab": what the field then holds and what its
// balloon says (the last refusal, when several came one after another).
TEST_F(FrameworkTextInput, ACharacterGoesInExactlyOrIsRefusedByNameAndAPasteWhollyOrNotAtAll) {
  struct Case {
    TWinControl* field;
    bool pasted;
    std::wstring input;
    std::string text;
    std::wstring balloon;
  };
  const std::wstring lacked = L" は Shift-JIS にない文字のため、入力できません。";
  const std::wstring noNumber = L" は入力できません。数字を入力してください。";
  const Case cases[] = {
      {&edit_, false, L"café©m²", "acafm", L"「²」(U+00B2)" + lacked},
      {&edit_, false, L"x😀", "ax", L"「😀」(U+1F600)" + lacked},
      {&memo_, false, L"〜−—‖¢£¬", "a～－―∥￠￡￢", L""},
      {&spin_, false, L"１２a", "a12", L"「a」(U+0061)" + noNumber},
      {&edit_, true, L"x〜y", "ax～y", L""},
      {&edit_, true, L"x😀y", "ab", L"「😀」(U+1F600)" + lacked},
      {&edit_, true, L"one\r\ntwo", "aone", L""},  // a one-line field takes the first line
      {&memo_, true, L"one\r\ntwo", "aone\r\ntwo", L""},
      {&memo_, true, L"한글", "ab", L"「한」(U+D55C)、「글」(U+AE00)" + lacked},
      {&spin_, true, L"４２", "a42", L""},
      {&spin_, true, L"1.5", "a1.5", L""},  // the run reports it
      {&spin_, true, L"1表", "ab", L"「表」(U+8868)" + noNumber},
      {&combo_, false, L"yy年", "ayy年", L""},
      {&combo_, false, L"yy—é", "ayy―", L"「é」(U+00E9)" + lacked},
      {&combo_, true, L"yy〜", "ayy～", L""},
      {&combo_, true, L"yy😀", "ab", L"「😀」(U+1F600)" + lacked},
  };
  for (const Case& c : cases) {
    c.field->SetText("ab");
    c.field->SetFocus();
    SelectSecondCharacter(*c.field);
    if (c.pasted) {
      PutUnicodeTextOnClipboard(form_.Handle(), c.input);
      PressKeys({VK_CONTROL, 'V'});
    } else {
      TypeAsUnicodeKeys(c.input);
    }
    PumpMessagesUntil([&] { return c.field->Text() == c.text && ShownBalloonText() == c.balloon; },
                      3000);
    EXPECT_EQ(c.field->Text(), c.text) << c.text;
    EXPECT_EQ(ShownBalloonText(), c.balloon) << c.text;
    other_.SetFocus();  // the balloon goes with the focus
    EXPECT_EQ(ShownBalloonText(), L"") << c.text;
  }
}

}  // namespace
