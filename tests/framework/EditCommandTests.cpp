#include <gtest/gtest.h>

#include "framework/ComboBox.h"
#include "framework/DateTimePicker.h"
#include "framework/Edit.h"
#include "framework/EditCommands.h"
#include "framework/Memo.h"
#include "framework/MainMenu.h"
#include "framework/SpinEdit.h"
#include "tests/framework/FrameworkFixture.h"
#include "tests/support/Clipboard.h"

namespace {

constexpr TEditCommand kAll[] = {TEditCommand::Undo, TEditCommand::Cut, TEditCommand::Copy,
                                 TEditCommand::Paste, TEditCommand::SelectAll};

void EmptyTheClipboard(HWND owner) {
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  CloseClipboard();
}

class FrameworkEditCommands : public FrameworkFormTest {
 protected:
  FrameworkEditCommands() {
    TMenuItem& edit = menu_.Add("編集(&E)");
    undo_ = &edit.Add("元に戻す(&U)", TShortCut::CtrlKey('Z'), 0);
    undo_->AddSecondaryShortCut(TShortCut::AltKey(VK_BACK));
    cut_ = &edit.Add("切り取り(&T)", TShortCut::CtrlKey('X'));
    copy_ = &edit.Add("コピー(&C)", TShortCut::CtrlKey('C'));
    paste_ = &edit.Add("貼り付け(&P)", TShortCut::CtrlKey('V'));
    selectAll_ = &edit.Add("すべてを選択(&A)", TShortCut::CtrlKey('A'));
    BindEditCommand(*undo_, TEditCommand::Undo);
    BindEditCommand(*cut_, TEditCommand::Cut);
    BindEditCommand(*copy_, TEditCommand::Copy);
    BindEditCommand(*paste_, TEditCommand::Paste);
    BindEditCommand(*selectAll_, TEditCommand::SelectAll);
    form_.SetMainMenu(menu_);
    combo_.AddItem("entry");
    combo_.SetItemIndex(0);
  }

  TMainMenu menu_;
  TMenuItem* undo_ = nullptr;
  TMenuItem* cut_ = nullptr;
  TMenuItem* copy_ = nullptr;
  TMenuItem* paste_ = nullptr;
  TMenuItem* selectAll_ = nullptr;
  TEdit edit_{form_, {10, 10, 105, 20}};
  TMemo memo_{form_, {10, 40, 187, 80}};
  TSpinEdit spin_{form_, {10, 130, 63, 20}, 0, 999999};
  TComboBox combo_{form_, {10, 160, 142, 0}, TComboBoxStyle::DropDown};
  TDateTimePicker date_{form_, {10, 200, 150, 20}};
};

TEST_F(FrameworkEditCommands, AllDisabledWithoutAFocusedTextField) {
  PutTextOnClipboard(form_.Handle(), "clip");
  for (HWND focus : {combo_.Handle(), date_.Handle(), static_cast<HWND>(nullptr)}) {
    SetFocus(focus);
    EXPECT_EQ(FocusedTextField(), nullptr);
    for (TEditCommand command : kAll) EXPECT_FALSE(EditCommandEnabled(command));
  }
  // The editable list's own field is not a target either.
  SetFocus(GetWindow(combo_.Handle(), GW_CHILD));
  EXPECT_NE(GetFocus(), combo_.Handle());
  for (TEditCommand command : kAll) EXPECT_FALSE(EditCommandEnabled(command));
}

TEST_F(FrameworkEditCommands, EachCommandIsEnabledExactlyWhileItApplies) {
  EmptyTheClipboard(form_.Handle());
  for (TCustomEdit* field : {static_cast<TCustomEdit*>(&edit_), static_cast<TCustomEdit*>(&memo_),
                             static_cast<TCustomEdit*>(&spin_)}) {
    field->SetText("");
    field->SetFocus();
    ASSERT_EQ(FocusedTextField(), field);
    EXPECT_FALSE(EditCommandEnabled(TEditCommand::Undo));
    EXPECT_FALSE(EditCommandEnabled(TEditCommand::SelectAll));
    EXPECT_FALSE(EditCommandEnabled(TEditCommand::Paste));
    Type(field->Handle(), "12");
    EXPECT_TRUE(EditCommandEnabled(TEditCommand::Undo));
    EXPECT_TRUE(EditCommandEnabled(TEditCommand::SelectAll));
    field->SetSelection(2, 0);
    EXPECT_FALSE(EditCommandEnabled(TEditCommand::Cut));
    EXPECT_FALSE(EditCommandEnabled(TEditCommand::Copy));
    field->SetSelection(0, 1);
    EXPECT_TRUE(EditCommandEnabled(TEditCommand::Cut));
    EXPECT_TRUE(EditCommandEnabled(TEditCommand::Copy));
  }
  PutTextOnClipboard(form_.Handle(), "clip");
  EXPECT_TRUE(EditCommandEnabled(TEditCommand::Paste));
}

TEST_F(FrameworkEditCommands, OpeningTheMenuShowsTheStates) {
  edit_.SetText("abc");
  edit_.SetFocus();
  edit_.SetSelection(0, 0);
  HMENU popup = GetSubMenu(menu_.Handle(), 0);
  SendMessageA(form_.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
  auto grayed = [&](int position) {
    return (GetMenuState(popup, static_cast<UINT>(position), MF_BYPOSITION) & MF_GRAYED) != 0;
  };
  EXPECT_TRUE(grayed(0));   // nothing to undo after a text set by the program
  EXPECT_TRUE(grayed(1));   // no selection
  EXPECT_FALSE(grayed(4));  // select all: there is text
  combo_.SetFocus();
  SendMessageA(form_.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
  EXPECT_TRUE(grayed(4));
}

TEST_F(FrameworkEditCommands, ShortcutsActOnTheFocusedField) {
  memo_.SetText("line");
  memo_.SetFocus();
  PressKey(memo_.Handle(), 'A', true, false);
  EXPECT_EQ(memo_.SelLength(), 4);
  PressKey(memo_.Handle(), 'C', true, false);
  memo_.SetSelection(4, 0);
  PressKey(memo_.Handle(), 'V', true, false);
  EXPECT_EQ(memo_.Text(), "lineline");
  PressKey(memo_.Handle(), 'Z', true, false);
  EXPECT_EQ(memo_.Text(), "line");

  spin_.SetText("");
  spin_.SetFocus();
  Type(spin_.Handle(), "12");
  PressKey(spin_.Handle(), VK_BACK, false, true);  // Alt+Backspace undoes too
  EXPECT_EQ(spin_.Text(), "");
}

TEST_F(FrameworkEditCommands, ADisabledCommandLeavesItsKeyToTheControl) {
  edit_.SetText("abc");
  edit_.SetFocus();
  edit_.SetSelection(0, 0);
  int cuts = 0;
  cut_->EnabledWhen = [] { return false; };
  cut_->OnClick = [&] { ++cuts; };
  MSG message{edit_.Handle(), WM_KEYDOWN, 'X', 1, 0, {}};
  SetModifierKeys(true, false);
  EXPECT_FALSE(menu_.IsShortCut(message));
  cut_->EnabledWhen = nullptr;
  EXPECT_TRUE(menu_.IsShortCut(message));
  SetModifierKeys(false, false);
  EXPECT_FALSE(menu_.IsShortCut(message));  // X alone is no shortcut
  EXPECT_EQ(cuts, 1);
}

TEST(FrameworkShortCut, ShowsItsKeysAsTheMenuWritesThem) {
  EXPECT_EQ(TShortCut::CtrlKey('Q').Text(), "Ctrl+Q");
  EXPECT_EQ(TShortCut::AltKey(VK_BACK).Text(), "Alt+BkSp");
  EXPECT_EQ(TShortCut{}.Text(), "");
}

}  // namespace
