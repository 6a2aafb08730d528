#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
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

TEST_F(FrameworkErrorBox, AHandlerRunFromAMessageSentInAnotherStopsThereAndTheCallerGoesOn) {
  TMessageBoxCloser closer;
  edit_.OnChange = [] { throw std::runtime_error("inner"); };
  std::vector<std::string> steps;
  button_.OnClick = [&] {
    steps.push_back("before");
    // The edit's change notification runs the failing handler.
    SendMessageA(edit_.Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x"));
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
  // A focused push button takes Enter itself.
  TButton other(form_, {100, 10, 75, 25}, "other");
  int otherPresses = 0;
  other.OnClick = [&] { ++otherPresses; };
  other.SetFocus();
  PressKey(other.Handle(), VK_RETURN, false, false);
  EXPECT_EQ(otherPresses, 1);
  EXPECT_EQ(presses, 1);
  edit_.SetFocus();
  // Alt and the marked letter press it too.
  SetModifierKeys(false, true);
  PostMessageA(edit_.Handle(), WM_SYSCHAR, 'p', 1 | (1 << 29));
  Pump();
  SetModifierKeys(false, false);
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
}

// The program's life: the first form made is the main form, Run shows it and handles messages,
// an error in a handler is shown and the loop goes on, closing the main form ends the loop and the
// forms go with it.
TEST(FrameworkApplicationRun, RunsUntilTheMainFormClosesAndOutlivesErrors) {
  struct TMainForm : TForm {
    TMainForm(bool& created, bool& destroyed)
        : TForm("FrameworkMain", TBorderStyle::Single), destroyed_(destroyed) {
      OnCreate = [&created] { created = true; };
    }
    ~TMainForm() override { destroyed_ = true; }
    TButton button{*this, {10, 10, 75, 25}, "OK"};
    bool& destroyed_;
  };
  bool created = false;
  bool destroyed = false;
  TMainForm& form = Application().CreateForm<TMainForm>(created, destroyed);
  ASSERT_EQ(Application().MainForm(), &form);
  EXPECT_TRUE(created);
  int presses = 0;
  form.button.OnClick = [&] {
    if (++presses == 1) throw std::runtime_error("first press fails");
    PostMessageA(form.Handle(), WM_CLOSE, 0, 0);
  };
  TMessageBoxCloser closer;
  PostMessageA(form.button.Handle(), BM_CLICK, 0, 0);
  // The second press once the first one's box has been shown and closed: pressed while the box is
  // open, the close would end the box's own loop before anyone saw it.
  std::thread user([&] {
    for (int i = 0; i < 250 && closer.Texts().empty(); ++i) Sleep(20);
    PostMessageA(form.button.Handle(), BM_CLICK, 0, 0);
  });
  Application().Run();
  user.join();
  EXPECT_EQ(presses, 2);
  EXPECT_EQ(closer.Texts(), std::vector<std::string>{"first press fails."});
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(Application().MainForm(), nullptr);
  EXPECT_TRUE(Application().Terminated());
}

}  // namespace
