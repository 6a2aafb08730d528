#include "naming/MessageText.h"

#include <gtest/gtest.h>

#include <string>

namespace naming {
namespace {

TEST(MessageText, ALineWiderThanABoxIsCutInItsMiddleAndTheOthersStay) {
  const std::string head = "1 個のフォルダを作成できませんでした。最初のフォルダ: C:\\";
  const std::string tail = " (ファイル名が長すぎます。)";
  const std::string text = "フォルダを作成できませんでした。\r\n" + head +
                           std::string(500000, 'x') + tail + "\r\nsecond";
  const std::string fitted = FittedForBox(text);
  const std::size_t firstBreak = fitted.find('\n');
  const std::size_t secondBreak = fitted.find('\n', firstBreak + 1);
  EXPECT_EQ(fitted.substr(0, firstBreak + 1), "フォルダを作成できませんでした。\r\n");
  EXPECT_EQ(fitted.substr(secondBreak), "\nsecond");
  const std::string line = fitted.substr(firstBreak + 1, secondBreak - firstBreak - 1);
  EXPECT_EQ(line.size(), kWidestMessageLine);  // its CR too
  EXPECT_EQ(line.substr(0, head.size()), head);
  EXPECT_EQ(line.substr(line.size() - tail.size() - 1), tail + "\r");
  EXPECT_NE(line.find("xx…xx"), std::string::npos);
  EXPECT_EQ(FittedForBox(std::string(kWidestMessageLine, 'y')),
            std::string(kWidestMessageLine, 'y'));
}

TEST(MessageText, TheCutNeverSplitsADoubleByteCharacter) {
  const std::string wide(3 * kWidestMessageLine, 'x');
  for (const std::string& text : {"a" + std::string(200, 'x') + "表表表表表表" + wide,
                                  wide + "表表表表表表" + std::string(200, 'x') + "a"}) {
    const std::string fitted = FittedForBox(text);
    EXPECT_LE(fitted.size(), kWidestMessageLine);
    // Read as the code page, every double-byte character is whole: 表 is 95 5C.
    for (std::size_t at = 0; at < fitted.size(); ++at) {
      const auto byte = static_cast<unsigned char>(fitted[at]);
      if (byte == 0x95 || byte == 0x81)
        ++at;  // 表 and … have their second byte with them
      else
        EXPECT_TRUE(byte == 'x' || byte == 'a') << at;
    }
  }
}

}  // namespace
}  // namespace naming
