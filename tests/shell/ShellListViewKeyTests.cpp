// The file list at the keyboard, with real key events through the program's own message loop:
// Enter opens the focused item, Backspace and Alt+Up show the folder above, and a name typed in
// Japanese into the rename box is the name on disk.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "shell/ShellListView.h"
#include "tests/shell/ListsOf.h"
#include "tests/shell/ShellControlFixture.h"
#include "tests/support/KeyInput.h"
#include "tests/support/MessagePump.h"

namespace {

constexpr DWORD kInputWaitMs = 3000;

class ShellListViewKeysTest : public ShellControlTest {
 protected:
  ShellListViewKeysTest() : ShellControlTest("ShellListViewKeysTest", "listkeys", 620, 400) {
    list_ = std::make_unique<TShellListView>(form_, TBounds{3, 6, 600, 380});
    list_->SetViewStyle(TViewStyle::Report);
    SetForegroundWindow(form_.Handle());
    list_->SetFocus();
    Pump();
  }

  void Show(const std::string& path) {
    list_->SetFolderIDList(ListOfPath(path).Get());
    Pump();
  }
  // Presses the keys and runs the program's loop until the list shows the folder at `path`.
  bool PressShowing(std::initializer_list<WORD> keys, const std::string& path) {
    PressKeys(keys);
    return PumpMessagesUntil([&] { return list_->Files().FolderPath() == path; }, kInputWaitMs);
  }
  void Press(std::initializer_list<WORD> keys) {
    PressKeys(keys);
    Pump();
  }

  std::unique_ptr<TShellListView> list_;
};

TEST_F(ShellListViewKeysTest, EnterOpensTheFocusedItemBackspaceAndAltUpShowTheFolderAbove) {
  scratch_.MakeFolder("sub");
  scratch_.MakeFile("sub\\inner.txt");
  scratch_.MakeFile("file.txt");
  Show(scratch_.Path());
  std::vector<std::string> executed;
  list_->OnShExecute = [&](TShellFileItem& item, TShiftState, int, int, int, bool& defaultAction) {
    executed.push_back(item.GetDisplayName());
    defaultAction = false;
  };

  Press({VK_HOME});
  Press({VK_DOWN});  // the file: folders come first
  Press({VK_RETURN});
  EXPECT_EQ(executed, std::vector<std::string>{"file.txt"});

  Press({VK_HOME});
  ASSERT_TRUE(PressShowing({VK_RETURN}, scratch_.PathOf("sub")));
  ASSERT_EQ(list_->ItemCount(), 1);
  EXPECT_EQ(list_->Files().Text(0, 0), "inner.txt");

  EXPECT_TRUE(PressShowing({VK_BACK}, scratch_.Path()));
  const std::string above = scratch_.Path().substr(0, scratch_.Path().rfind('\\'));
  EXPECT_TRUE(PressShowing({VK_MENU, VK_UP}, above));
}

TEST_F(ShellListViewKeysTest, AJapaneseNameTypedIntoTheRenameBoxIsTheNameOnDisk) {
  scratch_.MakeFile("old.txt");
  Show(scratch_.Path());
  Press({VK_HOME});
  Press({VK_F2});
  HWND edit = reinterpret_cast<HWND>(SendMessageA(list_->Handle(), LVM_GETEDITCONTROL, 0, 0));
  ASSERT_NE(edit, nullptr);
  TypeAsUnicodeKeys("ソ表能ポ.txt");
  EXPECT_TRUE(PumpMessagesUntil(
      [&] {
        char text[64] = {};
        GetWindowTextA(edit, text, sizeof text);
        return std::string(text) == "ソ表能ポ.txt";
      },
      kInputWaitMs));
  Press({VK_RETURN});
  EXPECT_NE(GetFileAttributesA(scratch_.PathOf("ソ表能ポ.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
