#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/Edit.h"
#include "tests/framework/FrameworkFixture.h"
#include "tests/support/MessageBoxCloser.h"
#include "tests/support/MessagePump.h"

namespace {

TEST(FrameworkApplication, ErrorTextEndsWithOneFullStop) {
  EXPECT_EQ(TApplication::ErrorText("'1.5' は整数ではありません"), "'1.5' は整数ではありません.");
  EXPECT_EQ(TApplication::ErrorText("done."), "done.");
  EXPECT_EQ(TApplication::ErrorText("ソ"), "ソ.");  // a trail byte 5C is no full stop
  EXPECT_EQ(TApplication::ErrorText(""), "");
}

class FrameworkErrorBox : public FrameworkFormTest {
 protected:
  TButton button_{form_, {10, 10, 75, 25}, "押す(&P)"};
  TEdit edit_{form_, {10, 50, 105, 20}};
};

TEST_F(FrameworkErrorBox, ShowsTheTextWithAFullStopUnderTheTitle) {
  TMessageBoxCloser closer;
  Application().ShowException(std::runtime_error("'abc' は整数ではありません"));
  EXPECT_EQ(closer.Texts(), std::vector<std::string>{"'abc' は整数ではありません."});
  EXPECT_EQ(closer.Captions(), std::vector<std::string>{"Tessarin"});
}

TEST_F(FrameworkErrorBox, AnErrorInAHandlerReachesTheBoxAndTheProgramGoesOn) {
  TMessageBoxCloser closer;
  int presses = 0;
  button_.OnClick = [&] {
    ++presses;
    throw std::runtime_error("failed");
  };
  PostMessageA(button_.Handle(), BM_CLICK, 0, 0);
  ASSERT_TRUE(PumpMessagesUntil([&] { return closer.Texts().size() == 1; }, 5000));
  PostMessageA(button_.Handle(), BM_CLICK, 0, 0);
  ASSERT_TRUE(PumpMessagesUntil([&] { return closer.Texts().size() == 2; }, 5000));
  EXPECT_EQ(presses, 2);
  EXPECT_EQ(closer.Texts(), (std::vector<std::string>{"failed.", "failed."}));
}

TEST_F(FrameworkErrorBox, AHandlerRunFromASetTextStopsThereAndTheCallerGoesOn) {
  TMessageBoxCloser closer;
  edit_.OnChange = [] { throw std::runtime_error("inner"); };
  std::vector<std::string> steps;
  button_.OnClick = [&] {
    steps.push_back("before");
    edit_.SetText("x");  // the edit's change notification runs the failing handler
    steps.push_back("after");
  };
  SendMessageA(button_.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(steps, (std::vector<std::string>{"before", "after"}));
  EXPECT_EQ(closer.Texts(), std::vector<std::string>{"inner."});
}

TEST_F(FrameworkErrorBox, EnterPressesTheDefaultButtonAndEscapeNothing) {
  int presses = 0;
  button_.OnClick = [&] { ++presses; };
  button_.SetDefault(true);
  edit_.SetFocus();
  PressKey(edit_.Handle(), VK_RETURN, false, false);
  EXPECT_EQ(presses, 1);
  PressKey(edit_.Handle(), VK_ESCAPE, false, false);
  EXPECT_EQ(presses, 1);
  EXPECT_TRUE(form_.Visible());
  // Alt and the marked letter press it too.
  SetModifiers(false, true);
  PostMessageA(edit_.Handle(), WM_SYSCHAR, 'p', 1 | (1 << 29));
  Pump();
  SetModifiers(false, false);
  EXPECT_EQ(presses, 2);
}

TEST_F(FrameworkErrorBox, CloseAsksTheHandlerWhichMayKeepTheFormOpen) {
  TCloseAction answer = TCloseAction::None;
  int asked = 0;
  form_.OnClose = [&](TCloseAction& action) {
    ++asked;
    EXPECT_EQ(action, TCloseAction::Hide);
    action = answer;
  };
  SendMessageA(form_.Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(form_.Visible());
  answer = TCloseAction::Hide;
  SendMessageA(form_.Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(form_.Visible());
  EXPECT_EQ(asked, 2);
  EXPECT_FALSE(Application().Terminated());  // not the main form
}

}  // namespace
