#include "naming/TemplateFile.h"

#include <gtest/gtest.h>

#include "naming/Composition.h"

#include <string>

namespace naming {
namespace {

using namespace std::string_literals;

TemplateValues Defaults() {
  TemplateValues values;
  for (TierValues* tier : {&values.parent, &values.child}) {
    tier->startDate = {2026, 12, 8};
    tier->endDate = {2026, 12, 9};
  }
  return values;
}

// Every value away from its default, texts with spaces at their ends and double-byte characters.
TemplateValues Filled() {
  TemplateValues values = Defaults();
  values.childFolders = true;
  values.target = "C:\\作業\\表 ソ";
  values.parent = {" 写真_",
                   "=x= ",
                   SequenceKind::Letters,
                   "98",
                   "102",
                   "10",
                   {2004, 2, 29},
                   {9999, 12, 31},
                   10,
                   "999999",
                   1,
                   "3",
                   4,
                   {"東京", "", "  大阪 ", ";not a comment", "[Child]", "Kind=none", ""}};
  values.child.kind = SequenceKind::None;
  values.child.position = 2;
  values.child.freeLines = {std::string(100000, 'x')};
  for (int i = 0; i < 10000; ++i) values.child.freeLines.push_back("line " + std::to_string(i));
  return values;
}

std::string LfOnly(std::string text) {
  for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
  return text;
}

TEST(TemplateFile, EveryValueComesBackWithCrLfOrLf) {
  const TemplateValues values = Filled();
  const std::string text = WriteTemplate(values);
  for (const std::string& file : {text, LfOnly(text)}) {
    const TemplateReading reading = ReadTemplate(file, Defaults());
    EXPECT_EQ(reading.status, TemplateReading::Status::Read);
    EXPECT_TRUE(reading.replaced.empty());
    EXPECT_TRUE(reading.values == values);
  }
}

TEST(TemplateFile, FreeLinesTextSplitsAtEveryLineBreakAndJoinsWithCrLf) {
  EXPECT_TRUE(FreeLinesOf("").empty());
  EXPECT_EQ(FreeLinesOf("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b", ""}));
  EXPECT_EQ(FreeLinesOf("a\nb\rc"), (std::vector<std::string>{"a", "b", "c"}));
  for (const char* text : {"", "\r\n", "a\r\n\r\nb\r\n", "x"})
    EXPECT_EQ(FreeLinesText(FreeLinesOf(text)), text);
}

TEST(TemplateFile, LineBreaksInOneLineTextsCannotBreakTheFile) {
  TemplateValues values = Defaults();
  values.parent.front = "a\r\n[Child]\nKind=none";
  values.child.freeLines = {"p\rq"};
  const TemplateReading reading = ReadTemplate(WriteTemplate(values), Defaults());
  EXPECT_EQ(reading.values.parent.front, "a[Child]Kind=none");
  EXPECT_EQ(reading.values.child.kind, SequenceKind::Number);
  EXPECT_EQ(reading.values.child.freeLines, std::vector<std::string>{"pq"});
}

TEST(TemplateFile, BadValuesTakeTheirDefaultsAndAreListedGoodOnesStay) {
  const std::string file =
      "[tessarin]\r\nversion = 1\r\nChildFolders=2\nColour=red\n"
      "[Parent]\n kind = Date \nStartNumber=1000000\nEndNumber= 12 \nDigits=0\n"
      "StartDate=2023-02-29\nEndDate=1752-12-31\nDateFormat=11\nFolderCount=abc\n"
      "Case=LOWER\nLetters=1.5\nPosition=-1\nFront=ok\nStrange line\n"
      "[Child]\nKind=numbers\nBack=a\0b\nLine=x\nLine=y\0\n[Elsewhere]\nFront=no\n"s;
  const TemplateReading reading = ReadTemplate(file, Defaults());
  ASSERT_EQ(reading.status, TemplateReading::Status::Read);
  const TierValues& p = reading.values.parent;
  EXPECT_EQ(p.kind, SequenceKind::Date);
  EXPECT_EQ(p.endNumber, "12");
  EXPECT_EQ(p.letterCase, 1);
  EXPECT_EQ(p.front, "ok");
  EXPECT_EQ(p.startNumber, "0");
  EXPECT_EQ(p.startDate, (CalendarDate{2026, 12, 8}));
  EXPECT_EQ(p.folderCount, "1");
  EXPECT_EQ(reading.values.child.back, "");
  EXPECT_EQ(reading.values.child.freeLines, (std::vector<std::string>{"x", ""}));

  std::vector<std::string> listed;
  for (const ReplacedValue& value : reading.replaced)
    listed.push_back(std::to_string(value.line) + value.key + "|" + value.found + "|" + value.used);
  EXPECT_EQ(listed, (std::vector<std::string>{
                        "3[Tessarin] ChildFolders|2|0",
                        "7[Parent] StartNumber|1000000|0",
                        "9[Parent] Digits|0|1",
                        "10[Parent] StartDate|2023-02-29|2026-12-08",
                        "11[Parent] EndDate|1752-12-31|2026-12-09",
                        "12[Parent] DateFormat|11|0",
                        "13[Parent] FolderCount|abc|1",
                        "15[Parent] Letters|1.5|1",
                        "16[Parent] Position|-1|0",
                        "20[Child] Kind|numbers|number",
                        "21[Child] Back|a|",
                        "23[Child] Line|y|",
                    }));
}

// In the run's check's order: the child only with child folders, free lines only where joined.
TEST(TemplateFile, TheFirstTextTheRunRefusesIsNamedWithItsLine) {
  const struct {
    const char* file;
    std::optional<std::pair<std::string, int>> found;
  } cases[] = {
      {"[Tessarin]\nVersion=1\n[Child]\nFront=a?\n[Parent]\nPosition=1\nLine=ok\nline=x|y\n",
       std::make_pair("[Parent] Line 2", 8)},
      {"[Tessarin]\nVersion=1\nChildFolders=1\n[Child]\nFront=a?\n[Parent]\nLine=x|y\n",
       std::make_pair("[Child] Front", 5)},
      {"[Tessarin]\nVersion=1\n[Child]\nFront=a?\n[Parent]\nLine=x|y\nback=ok\n", std::nullopt},
  };
  for (const auto& c : cases) {
    const TemplateReading reading = ReadTemplate(c.file, Defaults());
    EXPECT_EQ(FirstTextHolding(reading, HasForbiddenCharacter), c.found) << c.file;
  }
}

TEST(TemplateFile, OnlyAFileWithAVersionIsATemplateAndNothingIsTakenOtherwise) {
  using Status = TemplateReading::Status;
  const TemplateValues defaults = Defaults();
  const std::pair<const char*, Status> files[] = {
      {"", Status::NoHeader},
      {"[Parent]\nFront=x\n", Status::NoHeader},
      {"Version=1\n[Parent]\nFront=x", Status::NoHeader},
      {"\x89\x50\x4E\x47\r\n\x1A\n", Status::NoHeader},
      {"[Tessarin]\nVersion=x\n[Parent]\nFront=x", Status::NoVersion},
      {"[Tessarin]\n[Parent]\nVersion=1", Status::NoVersion},
      {"[Tessarin]\nVersion=2\n[Parent]\nFront=x", Status::NewerVersion},
  };
  for (const auto& [file, status] : files) {
    const TemplateReading reading = ReadTemplate(file, defaults);
    EXPECT_EQ(reading.status, status) << file;
    EXPECT_TRUE(reading.values == defaults);
    EXPECT_TRUE(reading.replaced.empty());
  }
  EXPECT_EQ(
      NotTakenMessage("a.tsnt", Status::NoVersion),
      "a.tsnt は Tessarin のテンプレートではありません。[Tessarin] の節に Version がありません。");
}

// A Unicode file's character that the code page lacks stands as its code on a line named inexact:
// the text there is replaced, never used with the code in it.
TEST(TemplateFile, TextsOnLinesThatLostCharactersAreReplacedAndListed) {
  const std::string file =
      "[Tessarin]\nVersion=1\n[Parent]\nFront=caf(U+00E9)\nLine=a\nLine=b(U+1F600)\nBack=(U+00E9)"
      "\n";
  const TemplateReading reading = ReadTemplate(file, Defaults(), {4, 6});
  ASSERT_EQ(reading.status, TemplateReading::Status::Read);
  EXPECT_EQ(reading.values.parent.front, "");
  EXPECT_EQ(reading.values.parent.back, "(U+00E9)");  // typed so on a line that lost nothing
  EXPECT_EQ(reading.values.parent.freeLines, (std::vector<std::string>{"a", ""}));
  std::vector<std::string> listed;
  for (const ReplacedValue& value : reading.replaced)
    listed.push_back(std::to_string(value.line) + value.key + "|" + value.found + "|" + value.used);
  EXPECT_EQ(listed, (std::vector<std::string>{"4[Parent] Front|caf(U+00E9)|",
                                              "6[Parent] Line|b(U+1F600)|"}));
}

TEST(TemplateFile, TheBoxCutsLongValuesBetweenCharactersAndLongLists) {
  std::vector<ReplacedValue> replaced;
  // 39 single bytes, then a double-byte character that would straddle the cut.
  replaced.push_back({1, "[Parent] Front", std::string(39, 'a') + "表表", "b"});
  const std::string text = ReplacedValuesText(replaced);
  EXPECT_NE(text.find("[Parent] Front: \"" + std::string(39, 'a') + "...\""), std::string::npos)
      << text;
  for (int i = 0; i < 25; ++i) replaced.push_back({1, "k", "v", "u"});
  const std::string list = ReplacedValuesText(replaced);
  EXPECT_NE(list.find("ほか 6 件"), std::string::npos);
}

// Half a double-byte character would take the closing quote for its second byte.
TEST(TemplateFile, TheBoxShowsHalfADoubleByteCharacterByItsCodeBeforeTheQuote) {
  const std::string text = ReplacedValuesText({{1, "[Parent] Front", "ab\x83", "x\x83\x5C\x83"}});
  EXPECT_EQ(text.substr(text.find('\n') + 1), "\n[Parent] Front: \"ab(0x83)\" → \"xソ(0x83)\"");
}

}  // namespace
}  // namespace naming
