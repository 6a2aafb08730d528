#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/CheckBox.h"
#include "framework/ComboBox.h"
#include "framework/DateTimePicker.h"
#include "framework/Edit.h"
#include "framework/GroupBox.h"
#include "framework/Label.h"
#include "framework/RadioButton.h"
#include "framework/Shape.h"
#include "tests/framework/FrameworkFixture.h"
#include "tests/support/MessagePump.h"

namespace {

class FrameworkRadioButton : public FrameworkFormTest {
 protected:
  FrameworkRadioButton() {
    for (auto* radio : {&a1_, &a2_, &a3_, &b1_, &b2_}) {
      radio->OnClick = [this, radio] { clicks_.push_back(radio->Text()); };
    }
  }

  TGroupBox groupA_{form_, {10, 10, 200, 100}};
  TGroupBox groupB_{form_, {220, 10, 200, 100}};
  TRadioButton a1_{groupA_, {5, 10, 80, 20}, "a1"};
  TRadioButton a2_{groupA_, {5, 35, 80, 20}, "a2"};
  TRadioButton a3_{groupA_, {5, 60, 80, 20}, "a3"};
  TRadioButton b1_{groupB_, {5, 10, 80, 20}, "b1"};
  TRadioButton b2_{groupB_, {5, 35, 80, 20}, "b2"};
  std::vector<std::string> clicks_;
};

TEST_F(FrameworkRadioButton, TurningOnExcludesTheOthersOfItsGroupAndRunsNoClick) {
  a1_.SetChecked(true);
  b1_.SetChecked(true);
  a2_.SetChecked(true);
  EXPECT_FALSE(a1_.Checked());
  EXPECT_TRUE(a2_.Checked());
  EXPECT_TRUE(b1_.Checked());  // the other group is left alone
  a3_.SetChecked(false);
  EXPECT_TRUE(a2_.Checked());
  EXPECT_EQ(clicks_, std::vector<std::string>{});
}

TEST_F(FrameworkRadioButton, AUserClickTurnsOnRunsItsClickAndTabReachesTheCheckedOne) {
  a1_.SetChecked(true);
  SendMessageA(a3_.Handle(), BM_CLICK, 0, 0);
  SendMessageA(a3_.Handle(), BM_CLICK, 0, 0);  // already on: no click
  EXPECT_TRUE(a3_.Checked());
  EXPECT_FALSE(a1_.Checked());
  EXPECT_EQ(clicks_, std::vector<std::string>{"a3"});
  auto tabStop = [](const TRadioButton& radio) {
    return (GetWindowLongA(radio.Handle(), GWL_STYLE) & WS_TABSTOP) != 0;
  };
  EXPECT_TRUE(tabStop(a3_));
  EXPECT_FALSE(tabStop(a1_));
  EXPECT_FALSE(tabStop(a2_));
}

TEST_F(FrameworkRadioButton, TheBackgroundFollowsTheGroupUntilSetItself) {
  groupA_.SetColor(TColor(221, 221, 255));
  EXPECT_EQ(a1_.Color(), TColor(221, 221, 255));
  a1_.SetColor(TColor(1, 2, 3));
  EXPECT_EQ(a1_.Color(), TColor(1, 2, 3));
  HDC dc = GetDC(a2_.Handle());
  SendMessageA(groupA_.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(a2_.Handle()));
  EXPECT_EQ(GetBkColor(dc), RGB(221, 221, 255));
  ReleaseDC(a2_.Handle(), dc);
}

// Work left for after the first painting runs once, when neither the form nor a control has
// anything left to paint; a form shown again does not run it again.
TEST(FrameworkForm, FirstPaintedRunsOnceWhenTheFormAndItsControlsHavePainted) {
  TForm form("FirstPainted", TBorderStyle::Single);
  form.SetClientSize(300, 200);
  TEdit edit(form, {10, 10, 120, 24});
  int runs = 0;
  bool leftToPaint = true;
  form.OnFirstPainted = [&] {
    ++runs;
    leftToPaint = GetUpdateRect(form.Handle(), nullptr, FALSE) ||
                  GetUpdateRect(edit.Handle(), nullptr, FALSE);
  };
  Application().ProcessMessages();
  EXPECT_EQ(runs, 0);  // not before it is shown
  form.Show();
  ASSERT_TRUE(PumpMessagesUntil([&] { return runs > 0; }, 5000));
  EXPECT_FALSE(leftToPaint);
  form.Hide();
  form.Show();
  PumpMessagesFor(100);
  EXPECT_EQ(runs, 1);
}

// Only the part that changed is painted again, and in its place: a shape filled anew shows its new
// colour where it lies, and what lies beside it stays, for its own place and then a larger part.
// Two parts far apart are painted each on its own, leaving what lies between them as it was.
TEST_F(FrameworkFormTest, PartsPaintedAgainShowTheirControlsInPlaceAndNothingBetween) {
  const auto pixel = [this](int x, int y) {
    HDC dc = GetDC(form_.Handle());
    const COLORREF shown = GetPixel(dc, x, y);
    ReleaseDC(form_.Handle(), dc);
    return shown;
  };
  struct CountedShape : TShape {
    using TShape::TShape;
    void Paint(HDC dc, const RECT& area) const override { ++paintings, TShape::Paint(dc, area); }
    mutable int paintings = 0;
  };
  CountedShape shape(form_, {200, 150, 60, 40});
  TShape topLeft(form_, {10, 10, 20, 20}), bottomRight(form_, {330, 250, 20, 20});
  for (const RECT& part : {RECT{}, RECT{100, 100, 300, 250}}) {
    const TColor fill(0, part.right > 0 ? 200 : 100, 255);  // a new colour each time
    shape.SetFill(fill);
    InvalidateRect(form_.Handle(), &part, FALSE);
    UpdateWindow(form_.Handle());
    EXPECT_EQ(pixel(230, 170), fill.Ref());
    EXPECT_EQ(pixel(190, 140), form_.Color().Ref());
    EXPECT_EQ(pixel(280, 230), form_.Color().Ref());
  }
  const int paintings = shape.paintings;
  topLeft.SetFill(TColor(255, 0, 0));
  bottomRight.SetFill(TColor(255, 0, 0));
  UpdateWindow(form_.Handle());
  EXPECT_EQ(pixel(20, 20), RGB(255, 0, 0));
  EXPECT_EQ(pixel(340, 260), RGB(255, 0, 0));
  EXPECT_EQ(shape.paintings, paintings);
}

TEST_F(FrameworkFormTest, CheckBoxRunsClickForTheUsersClicksOnly) {
  TCheckBox box(form_, {10, 10, 82, 17}, "子フォルダ");
  int clicks = 0;
  box.OnClick = [&] { ++clicks; };
  box.SetChecked(true);
  box.SetChecked(true);
  EXPECT_TRUE(box.Checked());
  SendMessageA(box.Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(box.Checked());
  EXPECT_EQ(clicks, 1);
}

class FrameworkLabel : public FrameworkFormTest {
 protected:
  FrameworkLabel() {
    link_.OnMouseEnter = [this] { events_.push_back("enter"); };
    link_.OnMouseLeave = [this] { events_.push_back("leave"); };
    link_.OnClick = [this] { events_.push_back("click"); };
    link_.SetCursor(TCursor::HandPoint);
  }

  void MoveTo(int x, int y) { SendMessageA(form_.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }

  TShape frame_{form_, {8, 8, 281, 161}};
  TLabel link_{form_, 80, 128, "https://www.example.com/"};
  std::vector<std::string> events_;
};

TEST_F(FrameworkLabel, SizesItselfToItsText) {
  EXPECT_GT(link_.Width(), 60);
  EXPECT_GE(link_.Height(), 10);
  const int wide = link_.Width();
  link_.SetCaption("x");
  EXPECT_LT(link_.Width(), wide);
}

TEST_F(FrameworkLabel, TellsWhenThePointerComesOverItAndLeaves) {
  MoveTo(20, 20);  // over the shape only
  MoveTo(85, 132);
  MoveTo(90, 133);
  MoveTo(20, 20);
  MoveTo(85, 132);
  SendMessageA(form_.Handle(), WM_MOUSELEAVE, 0, 0);  // off the window
  EXPECT_EQ(events_, (std::vector<std::string>{"enter", "leave", "enter", "leave"}));
}

TEST_F(FrameworkLabel, FollowsTheRealPointerOffTheWindow) {
  auto pointTo = [this](int x, int y) {
    POINT point{x, y};
    ClientToScreen(form_.Handle(), &point);
    SetCursorPos(point.x, point.y);
  };
  pointTo(85, 132);
  ASSERT_TRUE(PumpMessagesUntil([&] { return events_.size() == 1; }, 2000));
  pointTo(-50, -50);  // off the form: only the window's leave notice can tell
  ASSERT_TRUE(PumpMessagesUntil([&] { return events_.size() == 2; }, 2000));
  EXPECT_EQ(events_, (std::vector<std::string>{"enter", "leave"}));
}

TEST_F(FrameworkLabel, ClicksAndShowsItsCursorOnlyOverIt) {
  SendMessageA(form_.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(85, 132));
  SendMessageA(form_.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(85, 132));
  SendMessageA(form_.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(85, 132));
  SendMessageA(form_.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 20));  // released elsewhere
  EXPECT_EQ(events_, std::vector<std::string>{"click"});

  // The cursor the form sets with the pointer at x, y of its client area.
  auto cursorAt = [this](int x, int y) {
    POINT point{x, y};
    ClientToScreen(form_.Handle(), &point);
    SetCursorPos(point.x, point.y);
    SendMessageA(form_.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form_.Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
  };
  EXPECT_EQ(cursorAt(85, 132), LoadCursorA(nullptr, IDC_HAND));
  EXPECT_NE(cursorAt(20, 20), LoadCursorA(nullptr, IDC_HAND));
}

TEST_F(FrameworkFormTest, EditableListShowsThePickedEntryBeforeItsChangeRuns) {
  TComboBox combo(form_, {10, 10, 142, 0}, TComboBoxStyle::DropDown);
  combo.AddItem("2004年2月3日");
  combo.AddItem("2004/02/03");
  combo.SetItemIndex(0);
  std::vector<std::string> seen;
  combo.OnChange = [&] { seen.push_back(combo.Text() + "|" + std::to_string(combo.ItemIndex())); };
  combo.SetItemIndex(1);
  SendMessageA(form_.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo.Handle()), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo.Handle()));
  EXPECT_EQ(seen, std::vector<std::string>{"2004/02/03|1"});
  // Typed text that matches no entry stands on none.
  SetWindowTextA(combo.Handle(), "yy");
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(combo.Count(), 2);
  EXPECT_EQ(combo.Item(0), "2004年2月3日");
}

TEST_F(FrameworkFormTest, TabFollowsTheGivenOrderIntoGroupsAtTheirCheckedRadioButton) {
  TEdit a(form_, {10, 10, 100, 20});
  TEdit b(form_, {10, 40, 100, 20});
  TEdit c(form_, {10, 70, 100, 20});
  TGroupBox group(form_, {10, 100, 200, 80});
  TRadioButton first(group, {5, 10, 80, 20}, "first");
  TRadioButton second(group, {5, 35, 80, 20}, "second");
  second.SetChecked(true);
  TWinControl::SetTabOrder({&c, &a, &b, &group});
  c.SetFocus();
  PressKey(c.Handle(), VK_TAB, false, false);
  EXPECT_TRUE(a.Focused());
  PressKey(a.Handle(), VK_TAB, false, false);
  EXPECT_TRUE(b.Focused());
  PressKey(b.Handle(), VK_TAB, false, false);
  EXPECT_TRUE(second.Focused());
}

TEST_F(FrameworkFormTest, DatePickerShowsTheLongDateAndReportsRealChangesOnly) {
  TDateTimePicker picker(form_, {10, 10, 200, 20});
  picker.SetCalendarTitleColor(TColor(0, 102, 221));
  EXPECT_EQ(SendMessageA(picker.Handle(), DTM_GETMCCOLOR, MCSC_TITLEBK, 0), RGB(0, 102, 221));
  SYSTEMTIME date{2004, 2, 2, 3, 10, 20, 30, 0};
  int changes = 0;
  picker.OnChange = [&] { ++changes; };
  picker.SetDate(date);
  EXPECT_EQ(changes, 0);  // set by the program
  EXPECT_EQ(picker.Date().wYear, 2004);
  EXPECT_EQ(picker.Date().wDay, 3);
  EXPECT_NE(picker.Text().find("2004年2月3日"), std::string::npos) << picker.Text();

  NMDATETIMECHANGE change{
      {picker.Handle(), static_cast<UINT_PTR>(GetDlgCtrlID(picker.Handle())), DTN_DATETIMECHANGE},
      GDT_VALID,
      date};
  SendMessageA(form_.Handle(), WM_NOTIFY, change.nmhdr.idFrom, reinterpret_cast<LPARAM>(&change));
  EXPECT_EQ(changes, 0);  // the control reports closing its calendar without a new date
  date.wDay = 4;
  SendMessageA(picker.Handle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date));
  change.st = date;
  SendMessageA(form_.Handle(), WM_NOTIFY, change.nmhdr.idFrom, reinterpret_cast<LPARAM>(&change));
  EXPECT_EQ(changes, 1);
}

}  // namespace
