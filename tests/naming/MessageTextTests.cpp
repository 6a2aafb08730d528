#include "naming/MessageText.h"

#include <gtest/gtest.h>

#include <string>

namespace naming {
namespace {

TEST(MessageText, ALineTooWideIsCutInItsMiddleNeverInsideACharacter) {
  const std::string head = "1 個のフォルダを作成できませんでした。最初のフォルダ: C:\\";
  const std::string tail = " (理由。)\r";
  const std::size_t half = (kWidestMessageLine - 2) / 2;  // 「…」 takes two columns
  EXPECT_EQ(FittedForBox("ok\r\n" + head + std::string(500000, 'x') + tail + "\nend"),
            "ok\r\n" + head + std::string(half - head.size(), 'x') + "…" +
                std::string(half - tail.size(), 'x') + tail + "\nend");
  // 表 (95 5C) at either end of the cut goes whole, to the side that has room for it.
  const std::string wide(3 * kWidestMessageLine, 'x');
  const std::string a(half - 1, 'a');
  EXPECT_EQ(FittedForBox(a + "表" + wide), a + "…" + std::string(half, 'x'));
  EXPECT_EQ(FittedForBox(wide + "表" + a), std::string(half, 'x') + "…" + a);
  EXPECT_EQ(FittedForBox(wide.substr(0, kWidestMessageLine)), wide.substr(0, kWidestMessageLine));
}

}  // namespace
}  // namespace naming
