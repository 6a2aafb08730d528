// Text typed at the keyboard as Unicode key events (on-screen keyboards and input tools send it so)
// or pasted, through the program's own message loop: Japanese reaches every text field whole, also
// characters whose second byte is "\" or "|", and the keys around typing (Tab, Enter, digits, Alt
// mnemonics) keep working. Checked on the screen's texts and on the names made on disk.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <utility>

#include "shell/ShellIDFunc.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/KeyInput.h"
#include "tests/support/MessageBoxCloser.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScratchFolder.h"

namespace {

constexpr DWORD kInputWaitMs = 3000;

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Puts `text` (in the program's code page) on the clipboard in its Unicode form, as other programs
// copy text.
void CopyToClipboard(const std::string& text) {
  std::wstring wide(text.size() + 1, L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, wide.size() * sizeof(wchar_t));
  std::memcpy(GlobalLock(memory), wide.data(), wide.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_UNICODETEXT, memory);  // the clipboard owns it now
  CloseClipboard();
}

std::string WindowText(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

class KeyboardTyping : public MainWindowTest {
 protected:
  KeyboardTyping() : scratch_("Typing") {}

  void SetUp() override {
    MainWindowTest::SetUp();
    SetForegroundWindow(form->Handle());
    Pump();
  }

  void Select(const std::string& path) {
    TShIDListPtr list;
    ASSERT_TRUE(IDListFromPath(path, list.Out())) << path;
    form->ShellTreeView1.SelectIDList(list.Get());
    ASSERT_EQ(form->ShellTreeView1.SelectedPath(), path);
  }

  // Waits, running the program's loop, until `window` shows `text`.
  static bool Shows(HWND window, const std::string& text) {
    return PumpMessagesUntil([&] { return WindowText(window) == text; }, kInputWaitMs);
  }

  TScratchFolder scratch_;
};

TEST_F(KeyboardTyping, JapaneseInTheTemplatesMakesThoseNamesOnDisk) {
  Select(scratch_.Path());
  Click(form->RadioButton1);
  Pick(form->ComboBox3, 1);  // A + 01 + B + *
  for (auto [field, digit] : {std::pair{&form->SpinEdit1, "1"}, std::pair{&form->SpinEdit2, "2"}}) {
    field->SetFocus();
    SendMessageA(field->Handle(), EM_SETSEL, 0, -1);
    TypeAsUnicodeKeys(digit);
    ASSERT_TRUE(Shows(field->Handle(), digit));
  }

  form->Edit1.SetFocus();
  TypeAsUnicodeKeys("ソ表");
  PressKeys({VK_TAB});
  TypeAsUnicodeKeys("能");
  CopyToClipboard("ポ");
  PressKeys({VK_CONTROL, 'V'});
  PressKeys({VK_TAB});
  TypeAsUnicodeKeys("ゼロ");
  PressKeys({VK_RETURN});
  TypeAsUnicodeKeys("ab");
  ASSERT_TRUE(Shows(form->Memo1.Handle(), "ゼロ\r\nab")) << WindowText(form->Memo1.Handle());
  EXPECT_EQ(form->Edit1.Text(), "ソ表");
  EXPECT_EQ(form->Edit2.Text(), "能ポ");

  TMessageBoxCloser closer;
  PressKeys({VK_MENU, 'M'});  // 作成(&M)
  EXPECT_TRUE(PumpMessagesUntil(
      [&] {
        return IsFolder(scratch_.PathOf("ソ表1能ポゼロ")) &&
               IsFolder(scratch_.PathOf("ソ表2能ポab"));
      },
      kInputWaitMs));
}

TEST_F(KeyboardTyping, JapaneseInTheDateFormatListsTextField) {
  Click(form->RadioButton2);
  form->ComboBox1.SetFocus();
  SendMessageA(form->ComboBox1.Handle(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
  TypeAsUnicodeKeys("ソ表 yyyy");
  EXPECT_TRUE(Shows(form->ComboBox1.Handle(), "ソ表 yyyy")) << form->ComboBox1.Text();
}

TEST_F(KeyboardTyping, JapaneseInTheTreesLabelEditRenamesTheFolder) {
  const std::string folder = scratch_.MakeFolder("old");
  Select(folder);
  form->ShellTreeView1.SetFocus();
  PressKeys({VK_F2});
  HWND edit = nullptr;
  ASSERT_TRUE(PumpMessagesUntil(
      [&] {
        edit = reinterpret_cast<HWND>(
            SendMessageA(form->ShellTreeView1.Handle(), TVM_GETEDITCONTROL, 0, 0));
        return edit != nullptr;
      },
      kInputWaitMs));
  TypeAsUnicodeKeys("ソ表能ポ");
  ASSERT_TRUE(Shows(edit, "ソ表能ポ")) << WindowText(edit);
  PressKeys({VK_RETURN});
  EXPECT_TRUE(
      PumpMessagesUntil([&] { return IsFolder(scratch_.PathOf("ソ表能ポ")); }, kInputWaitMs));
}

}  // namespace
