// The settings file: how stored values read, and the window's position read at start-up and
// written whichever way the window closes.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/MessageBoxCloser.h"

namespace {

TEST(StoredInteger, ReadsHexOnlyAfterAPrefixOfALongerText) {
  EXPECT_EQ(app::StoredInteger("0x20", 10), 32);
  EXPECT_EQ(app::StoredInteger("0X1f", 10), 31);
  EXPECT_EQ(app::StoredInteger("0xFFFFFFF6", 10), -10);
  EXPECT_EQ(app::StoredInteger("0x0000000020", 10), 32);
  EXPECT_EQ(app::StoredInteger("0x100000000", 10), 10);
  EXPECT_EQ(app::StoredInteger("0x", 10), 10);
  EXPECT_EQ(app::StoredInteger("0x-5", 10), 10);
  EXPECT_EQ(app::StoredInteger("0xg", 10), 10);
}

TEST(StoredInteger, ReadsSignedDecimalOtherwise) {
  EXPECT_EQ(app::StoredInteger("120", 10), 120);
  EXPECT_EQ(app::StoredInteger("-40", 10), -40);
  EXPECT_EQ(app::StoredInteger("+7", 10), 7);
  EXPECT_EQ(app::StoredInteger("020", 10), 20);
  EXPECT_EQ(app::StoredInteger("abc", 10), 10);
  EXPECT_EQ(app::StoredInteger("", 10), 10);
  EXPECT_EQ(app::StoredInteger("1.5", 10), 10);
  EXPECT_EQ(app::StoredInteger("2147483648", 10), 10);
}

class SettingsFileTest : public MainWindowTest {
 protected:
  void SetUp() override { RemoveSettingsFile(); }

  static void Store(const char* top, const char* left) {
    WritePrivateProfileStringA("Tessarin", "top", top, SettingsFilePath().c_str());
    WritePrivateProfileStringA("Tessarin", "left", left, SettingsFilePath().c_str());
  }

  void MoveTo(int left, int top) {
    form->SetLeft(left);
    form->SetTop(top);
  }

  bool Closed() const { return !form->Visible(); }
};

TEST_F(SettingsFileTest, AFirstRunOpensAtTenTenAndReadingCreatesNoFile) {
  Start();
  EXPECT_EQ(form->Left(), 10);
  EXPECT_EQ(form->Top(), 10);
  EXPECT_EQ(GetFileAttributesA(SettingsFilePath().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SettingsFileTest, HexAfterAPrefixDecimalOtherwiseAndTenForTheRest) {
  Store("0x20", "abc");
  Start();
  EXPECT_EQ(form->Top(), 32);
  EXPECT_EQ(form->Left(), 10);
  Stop();

  // Negative values are applied as they are, even partly off the screen.
  Store("-40", "-300");
  Start();
  EXPECT_EQ(form->Top(), -40);
  EXPECT_EQ(form->Left(), -300);
}

TEST_F(SettingsFileTest, EveryWayOfClosingStoresThePosition) {
  struct Way {
    const char* name;
    std::function<void(TForm1&)> close;
  };
  const std::vector<Way> ways = {
      {"menu", [](TForm1& f) { f.Exit1.Click(); }},
      {"Ctrl+Q",
       [](TForm1& f) {
         SetFocus(f.ParentTier.FrontText.Handle());
         PressKey('Q', true, false);
       }},
      {"close box", [](TForm1& f) { SendMessageA(f.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
      {"Alt+F4",
       [](TForm1& f) {
         SetFocus(f.ParentTier.FrontText.Handle());
         PressKey(VK_F4, false, true);
       }},
  };
  int shift = 0;
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    RemoveSettingsFile();
    Start();
    shift += 7;
    MoveTo(100 + shift, 50 + shift);
    way.close(*form);
    Pump();
    EXPECT_TRUE(Closed());
    EXPECT_EQ(StoredValue("top"), std::to_string(50 + shift));
    EXPECT_EQ(StoredValue("left"), std::to_string(100 + shift));
    Stop();
  }
}

TEST_F(SettingsFileTest, AMinimisedWindowStoresWhereItStoodBeforehand) {
  Start();
  MoveTo(210, 120);
  ShowWindow(form->Handle(), SW_MINIMIZE);
  Pump();
  ASSERT_TRUE(IsIconic(form->Handle()));
  SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(StoredValue("top"), "120");
  EXPECT_EQ(StoredValue("left"), "210");
}

TEST_F(SettingsFileTest, AFailedWriteIsSaidOnceAndTheWindowClosesAllTheSame) {
  // A folder in the file's place cannot be written as a file.
  ASSERT_TRUE(CreateDirectoryA(SettingsFilePath().c_str(), nullptr));
  Start();
  TMessageBoxCloser closer;
  form->Exit1.Click();
  EXPECT_EQ(closer.Texts(), std::vector<std::string>{"Tessarin.ini に書き込めません."});
  EXPECT_EQ(closer.Captions(), std::vector<std::string>{"Tessarin"});
  EXPECT_TRUE(Closed());
}

}  // namespace
