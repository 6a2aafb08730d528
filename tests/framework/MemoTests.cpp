#include <gtest/gtest.h>

#include <string>

#include "framework/Edit.h"
#include "framework/Memo.h"
#include "tests/framework/FrameworkFixture.h"
#include "tests/support/Clipboard.h"

namespace {

class FrameworkMemo : public FrameworkFormTest {
 protected:
  TMemo memo_{form_, {10, 10, 187, 149}};
};

TEST_F(FrameworkMemo, CountsLinesAsShownWithoutAnEmptyLastLine) {
  EXPECT_EQ(memo_.LineCount(), 0);
  memo_.SetText("p\r\nq");
  EXPECT_EQ(memo_.LineCount(), 2);
  memo_.SetText("p\r\nq\r\n");
  EXPECT_EQ(memo_.LineCount(), 2);
  memo_.SetText("p\r\n\r\nq");
  EXPECT_EQ(memo_.LineCount(), 3);
  EXPECT_EQ(memo_.Line(1), "");
  memo_.SetText("\r\n");
  EXPECT_EQ(memo_.LineCount(), 1);
}

TEST_F(FrameworkMemo, ALongEntryWrapsIntoSeveralDisplayedLines) {
  std::string entry;
  for (int i = 0; i < 40; ++i) entry += "word ";
  memo_.SetText(entry + "\r\nnext");
  const int count = memo_.LineCount();
  ASSERT_GT(count, 2);
  // The first displayed line is the start of the entry, up to its first wrap.
  const std::string first = memo_.Line(0);
  EXPECT_FALSE(first.empty());
  EXPECT_LT(first.size(), entry.size());
  EXPECT_EQ(entry.compare(0, first.size(), first), 0);
  EXPECT_EQ(memo_.Line(count - 1), "next");
  // The displayed lines together hold the entry: nothing lost at the wraps.
  std::string joined;
  for (int i = 0; i < count - 1; ++i) joined += memo_.Line(i);
  EXPECT_EQ(joined, entry.substr(0, joined.size()));
  EXPECT_GE(joined.size() + 1, entry.size());
}

TEST_F(FrameworkMemo, ReadsDoubleByteLinesWhole) {
  memo_.SetText("テスト表示\r\nソ");
  EXPECT_EQ(memo_.Line(0), "テスト表示");
  EXPECT_EQ(memo_.Line(1), "ソ");
  EXPECT_EQ(memo_.Line(2), "");
  EXPECT_EQ(memo_.Line(-1), "");
}

TEST_F(FrameworkMemo, APastedListLongerThanTheDefaultLimitArrivesWhole) {
  std::string names;
  for (int i = 0; i < 4000; ++i) names += "name " + std::to_string(10000 + i) + "\r\n";
  ASSERT_GT(names.size(), 30000u);
  PutTextOnClipboard(form_.Handle(), names);
  SendMessageA(memo_.Handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(memo_.Text().size(), names.size());
  EXPECT_EQ(memo_.LineCount(), 4000);
}

// Text set by the program runs no change, in a memo as in a one-line field; typing runs it once.
TEST_F(FrameworkMemo, TextSetByTheProgramRunsNoChangeAndTypingRunsItOnce) {
  TEdit edit(form_, {10, 170, 105, 20});
  for (TCustomEdit* field : {static_cast<TCustomEdit*>(&memo_), static_cast<TCustomEdit*>(&edit)}) {
    int changes = 0;
    field->OnChange = [&] { ++changes; };
    field->SetText("a\r\nb");
    field->SetText("");
    EXPECT_EQ(changes, 0);
    field->SetFocus();
    Type(field->Handle(), "c");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(field->Text(), "c");
  }
}

}  // namespace
