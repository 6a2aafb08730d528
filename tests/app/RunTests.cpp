// One press of "作成(&M)" ends in exactly one message box. With the computer selected in the folder
// tree (a folder without a file-system path), a run that passes its checks stops at the missing
// base path.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "naming/Composition.h"
#include "naming/CreationRun.h"
#include "shell/ShellIDFunc.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/MessageBoxCloser.h"

namespace {

std::string BoxText(naming::RunOutcome::Kind kind) {
  naming::RunOutcome outcome;
  outcome.kind = kind;
  return outcome.BoxText();
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class CreateButtonTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    TShIDListPtr computer;
    ASSERT_TRUE(GetSpecialFolderIDList(sfDrives, computer.Out()));
    form->ShellTreeView1.SelectIDList(computer.Get());
    ASSERT_EQ(form->ShellTreeView1.SelectedPath(), "");
  }
};

TEST_F(CreateButtonTest, WithoutASelectedFolderNothingIsCreatedAtTheDriveRoot) {
  Type(form->ParentTier.FrontText, "TessarinRunTest");
  ASSERT_FALSE(Exists("\\TessarinRunTest0"));
  TMessageBoxCloser closer;
  Click(form->Button1);
  Click(form->Button1);
  EXPECT_EQ(closer.Texts(),
            std::vector<std::string>(2, BoxText(naming::RunOutcome::Kind::NoBasePath)));
  EXPECT_EQ(closer.Captions(), std::vector<std::string>(2, "Tessarin"));
  EXPECT_FALSE(Exists("\\TessarinRunTest0"));
}

TEST_F(CreateButtonTest, AForbiddenCharacterIsTheOnlyBox) {
  Click(form->CheckBox1);
  Type(form->ChildTier().BackText, "a:b");
  TMessageBoxCloser closer;
  Click(form->Button1);
  EXPECT_EQ(closer.Texts(), std::vector<std::string>{naming::ForbiddenCharacterMessage()});
}

TEST_F(CreateButtonTest, AChildNumberThatIsNoIntegerIsTheOnlyBox) {
  Click(form->CheckBox1);
  {
    TMessageBoxCloser previewBox;
    Type(form->ChildTier().DigitCount, "1.5");
  }
  TMessageBoxCloser closer;
  Click(form->Button1);
  EXPECT_EQ(closer.Texts(), std::vector<std::string>{"'1.5' は整数ではありません."});
}

TEST_F(CreateButtonTest, AltMPressesTheButton) {
  TMessageBoxCloser closer;
  SetFocus(form->ParentTier.FrontText.Handle());
  PressKey('M', false, true);
  EXPECT_EQ(closer.Texts(),
            std::vector<std::string>{BoxText(naming::RunOutcome::Kind::NoBasePath)});
}

// The edit commands of the menu act on the focused text field of the window.
TEST_F(MainWindowTest, EditCommandsFollowTheFocusedTextField) {
  const auto enabled = [this] {
    return std::vector<bool>{form->Undo1.Enabled(), form->Cut1.Enabled(), form->Copy1.Enabled(),
                             form->Paste1.Enabled(), form->SelectAll1.Enabled()};
  };
  OpenClipboard(form->Handle());
  EmptyClipboard();
  CloseClipboard();

  SetFocus(form->ParentTier.Pattern.Handle());
  EXPECT_EQ(enabled(), std::vector<bool>(5, false));

  SetFocus(form->ParentTier.FrontText.Handle());
  EXPECT_EQ(enabled(), std::vector<bool>(5, false));
  TypeChars(form->ParentTier.FrontText, "abc");
  EXPECT_EQ(enabled(), (std::vector<bool>{true, false, false, false, true}));

  // Ctrl+Z on the menu item, and Alt+Backspace as well.
  PressKey('Z', true, false);
  EXPECT_EQ(form->ParentTier.FrontText.Text(), "");
  SetFocus(form->ParentTier.BackText.Handle());
  TypeChars(form->ParentTier.BackText, "xy");
  PressKey(VK_BACK, false, true);
  EXPECT_EQ(form->ParentTier.BackText.Text(), "");
  SetFocus(form->ParentTier.FrontText.Handle());

  TypeChars(form->ParentTier.FrontText, "xyz");
  form->SelectAll1.Click();
  EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, false, true}));
  form->Cut1.Click();
  EXPECT_EQ(form->ParentTier.FrontText.Text(), "");
  EXPECT_TRUE(form->Paste1.Enabled());
  form->Paste1.Click();
  EXPECT_EQ(form->ParentTier.FrontText.Text(), "xyz");

  // A spin edit's text is a text field too.
  SetFocus(form->ParentTier.StartNumber.Handle());
  form->SelectAll1.Click();
  EXPECT_TRUE(form->Copy1.Enabled());
}

}  // namespace
