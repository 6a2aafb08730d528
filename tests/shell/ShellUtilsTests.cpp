#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell/ShellIDFunc.h"
#include "shell/ShellUtils.h"
#include "tests/shell/FakeShellFolder.h"
#include "tests/support/ScratchFolder.h"

namespace {

// --- Paths --------------------------------------------------------------------------------------

TEST(ShellUtilsPaths, FolderExistsOnlyForDirectories) {
  TScratchFolder scratch("FolderExists");
  const std::string file = scratch.MakeFile("file.txt", "x");
  EXPECT_TRUE(FolderExists(scratch.Path()));
  EXPECT_TRUE(FolderExists(scratch.Path() + "\\"));
  EXPECT_TRUE(FolderExists("C:\\"));
  EXPECT_FALSE(FolderExists(file));
  EXPECT_FALSE(FolderExists(scratch.PathOf("missing")));
  EXPECT_FALSE(FolderExists(""));
}

TEST(ShellUtilsPaths, TrailingBackslashLooksAtTheLastWholeCharacter) {
  // 表 and ソ end in the byte 0x5C in code page 932.
  const std::string hyou = "表";
  ASSERT_EQ(hyou, "\x95\x5C");
  EXPECT_EQ(WithTrailingBackslash("C:"), "C:\\");
  EXPECT_EQ(WithTrailingBackslash("C:\\"), "C:\\");
  EXPECT_EQ(WithTrailingBackslash("C:\\表"), "C:\\表\\");
  EXPECT_EQ(WithTrailingBackslash("C:\\ソ"), "C:\\ソ\\");
  EXPECT_EQ(WithTrailingBackslash("C:\\ソ\\"), "C:\\ソ\\");
  EXPECT_EQ(WithTrailingBackslash("\\"), "\\");
}

// --- Volume labels ------------------------------------------------------------------------------

TEST(VolumeLabel, DisplayFormHasOneCapital) {
  EXPECT_EQ(VolumeLabelDisplayForm("MYDISK"), "Mydisk");
  EXPECT_EQ(VolumeLabelDisplayForm("DATA_01"), "Data_01");
  EXPECT_EQ(VolumeLabelDisplayForm("9LIVES"), "9lives");
  EXPECT_EQ(VolumeLabelDisplayForm("x"), "X");
  EXPECT_EQ(VolumeLabelDisplayForm(""), "");
}

TEST(VolumeLabel, DisplayFormKeepsDoubleByteCharacters) {
  // ソ has the trail byte 0x5C, Ａ (82 60) and ａ (82 81) trail bytes in the letter ranges.
  EXPECT_EQ(VolumeLabelDisplayForm("ソフトABC"), "ソフトabc");
  EXPECT_EQ(VolumeLabelDisplayForm("ＡＢC"), "ＡＢc");
  EXPECT_EQ(VolumeLabelDisplayForm("ａb"), "ａb");
}

// Wine shows a new label only to processes started after every process that used the volume has
// ended, so a label set here cannot be read back in this run: the drive's label as it stands is
// compared with its display form.
TEST(VolumeLabel, DriveOfTheTestPrefixAndTheErrorModeAfterwards) {
  char raw[65] = {};
  ASSERT_TRUE(
      GetVolumeInformationA("C:\\", raw, sizeof raw, nullptr, nullptr, nullptr, nullptr, 0));
  const UINT before = SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX;
  const UINT saved = SetErrorMode(before);
  EXPECT_EQ(VolumeDisplayLabel("C:\\"), VolumeLabelDisplayForm(raw));
  EXPECT_EQ(GetErrorMode(), before);
  SetErrorMode(saved);
}

TEST(VolumeLabel, NoVolumeGivesEmptyTextAndKeepsTheErrorMode) {
  const UINT before = SEM_NOOPENFILEERRORBOX;
  const UINT saved = SetErrorMode(before);
  char missing[] = "?:\\";
  for (char drive = 'Y'; drive > 'C'; --drive) {
    missing[0] = drive;
    if (GetDriveTypeA(missing) == DRIVE_NO_ROOT_DIR) break;
  }
  EXPECT_EQ(VolumeDisplayLabel(missing), "") << missing;
  EXPECT_EQ(GetErrorMode(), before);
  SetErrorMode(saved);
}

// --- Dates --------------------------------------------------------------------------------------

TEST(ShellUtilsDates, LocalDateTimeOfFileTime) {
  EXPECT_EQ(LocalDateTimeOfFileTime(FILETIME{0, 0x01C9A1B2}), 0);
  EXPECT_EQ(LocalDateTimeOfFileTime(FILETIME{0x12345678, 0}), 0);

  // 2004-02-03 18:00:00.500 local time.
  SYSTEMTIME local{2004, 2, 2, 3, 18, 0, 0, 500};
  FILETIME localTime;
  FILETIME utc;
  ASSERT_TRUE(SystemTimeToFileTime(&local, &localTime));
  ASSERT_TRUE(LocalFileTimeToFileTime(&localTime, &utc));
  const double expected = 38020 + (18 * 3600 + 0.5) / 86400.0;
  EXPECT_NEAR(LocalDateTimeOfFileTime(utc), expected, 1e-9);

  // A date before the epoch keeps the time of day counting away from zero.
  SYSTEMTIME early{1899, 12, 5, 29, 6, 0, 0, 0};
  ASSERT_TRUE(SystemTimeToFileTime(&early, &localTime));
  ASSERT_TRUE(LocalFileTimeToFileTime(&localTime, &utc));
  EXPECT_NEAR(LocalDateTimeOfFileTime(utc), -1.25, 1e-9);
}

// --- Display names ------------------------------------------------------------------------------

// An item list that carries the text "ABC" at byte offset 4, for STRRET_OFFSET answers.
struct TOffsetItem {
  USHORT count = sizeof(TOffsetItem) - 2;
  BYTE padding[2] = {0xEE, 0xEE};
  char text[4] = "ABC";
  USHORT terminator = 0;
};

TEST(ShellUtilsDisplayName, EveryAnswerKind) {
  TFakeShellFolder folder;
  TOffsetItem item;
  LPCITEMIDLIST list = reinterpret_cast<LPCITEMIDLIST>(&item);
  std::string text = "left over";

  folder.displayName = [](LPCITEMIDLIST, STRRET* answer) {
    answer->uType = STRRET_WSTR;
    const wchar_t name[] = L"テスト名";
    answer->pOleStr = static_cast<LPWSTR>(CoTaskMemAlloc(sizeof name));
    std::memcpy(answer->pOleStr, name, sizeof name);
    return S_OK;
  };
  EXPECT_TRUE(DisplayNameText(&folder, list, SHGDN_NORMAL, text));
  EXPECT_EQ(text, "テスト名");

  folder.displayName = [](LPCITEMIDLIST, STRRET* answer) {
    answer->uType = STRRET_OFFSET;
    answer->uOffset = 4;
    return S_OK;
  };
  EXPECT_TRUE(DisplayNameText(&folder, list, SHGDN_NORMAL, text));
  EXPECT_EQ(text, "ABC");

  folder.displayName = [](LPCITEMIDLIST, STRRET* answer) {
    answer->uType = STRRET_CSTR;
    std::strcpy(answer->cStr, "インライン");
    return S_OK;
  };
  EXPECT_TRUE(DisplayNameText(&folder, list, SHGDN_NORMAL, text));
  EXPECT_EQ(text, "インライン");

  folder.displayName = [](LPCITEMIDLIST, STRRET* answer) {
    answer->uType = 7;
    return S_OK;
  };
  text = "left over";
  EXPECT_FALSE(DisplayNameText(&folder, list, SHGDN_NORMAL, text));
  EXPECT_EQ(text, "");

  folder.displayName = nullptr;  // fails
  text = "left over";
  EXPECT_FALSE(DisplayNameText(&folder, list, SHGDN_NORMAL, text));
  EXPECT_EQ(text, "");
  EXPECT_EQ(folder.References(), 1);
}

TEST(ShellUtilsDisplayName, MissingFolderOrItemIsAnEmptySuccess) {
  TFakeShellFolder folder;
  TOffsetItem item;
  std::string text = "left over";
  EXPECT_TRUE(DisplayNameText(nullptr, reinterpret_cast<LPCITEMIDLIST>(&item), SHGDN_NORMAL, text));
  EXPECT_EQ(text, "");
  text = "left over";
  EXPECT_TRUE(DisplayNameText(&folder, nullptr, SHGDN_NORMAL, text));
  EXPECT_EQ(text, "");
}

TEST(ShellUtilsDisplayName, RealShellGivesTheParsingPath) {
  TScratchFolder scratch("DisplayName");
  const std::string path = scratch.MakeFolder("名前");
  TShIDListPtr list;
  ASSERT_TRUE(IDListFromPath(path, list.Out()));
  TComPtr<IShellFolder> desktop;
  ASSERT_TRUE(SUCCEEDED(SHGetDesktopFolder(desktop.Out())));
  std::string text;
  EXPECT_TRUE(DisplayNameText(desktop.Get(), list.Get(), SHGDN_FORPARSING, text));
  EXPECT_EQ(text, path);
}

// --- System icons -------------------------------------------------------------------------------

TEST(ShellUtilsIcons, SystemImageListsAndIndexes) {
  HIMAGELIST small = SystemImageList(false);
  HIMAGELIST large = SystemImageList(true);
  ASSERT_NE(small, nullptr);
  ASSERT_NE(large, nullptr);
  EXPECT_NE(small, large);
  int width = 0;
  int height = 0;
  ASSERT_TRUE(ImageList_GetIconSize(small, &width, &height));
  EXPECT_EQ(width, GetSystemMetrics(SM_CXSMICON));
  EXPECT_EQ(height, GetSystemMetrics(SM_CYSMICON));

  EXPECT_EQ(SystemIconIndex(nullptr, false, false), 0);
  TScratchFolder scratch("Icons");
  TShIDListPtr folder;
  ASSERT_TRUE(IDListFromPath(scratch.Path(), folder.Out()));
  for (bool large : {false, true}) {
    for (bool open : {false, true}) {
      const int index = SystemIconIndex(folder.Get(), large, open);
      EXPECT_GE(index, 0);
      EXPECT_LT(index, ImageList_GetImageCount(large ? SystemImageList(true) : small));
    }
  }
}

// --- Windows and drag state ---------------------------------------------------------------------

TEST(ShellUtilsWindows, StyleBitsAreSetAndCleared) {
  HWND window =
      CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  const auto style = [&] { return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)); };
  SetWindowStyleBits(window, 0x100, true);
  EXPECT_EQ(style() & 0x100, 0x100u);
  EXPECT_NE(style() & WS_POPUP, 0u);
  SetWindowStyleBits(window, 0x100, false);
  EXPECT_EQ(style() & 0x100, 0u);
  EXPECT_NE(style() & WS_POPUP, 0u);
  DestroyWindow(window);
  SetWindowStyleBits(window, 0x100, true);  // no window: nothing happens
  SetWindowStyleBits(nullptr, 0x100, true);
}

TEST(ShellUtilsWindows, KeyStateToShift) {
  EXPECT_EQ(KeyStateToShift(MK_LBUTTON | MK_CONTROL), (TShiftState{ssCtrl, ssLeft}));
  EXPECT_EQ(KeyStateToShift(0), TShiftState{});
  EXPECT_EQ(KeyStateToShift(MK_SHIFT | MK_ALT | MK_RBUTTON | MK_MBUTTON),
            (TShiftState{ssShift, ssAlt, ssRight, ssMiddle}));
  // Unknown bits are ignored and double-click is never set.
  EXPECT_EQ(KeyStateToShift(0xFFFFFFFF).ToBits(), 0x3F);
  EXPECT_EQ((TShiftState{ssShift, ssCtrl}).ToBits(), 0x05);
}

TEST(ShellUtilsFormats, RegisteredAtStartUp) {
  const struct {
    const FORMATETC& format;
    const char* name;
  } formats[] = {{IDListArrayFormat(), "Shell IDList Array"},
                 {ObjectOffsetsFormat(), "Shell Object Offsets"},
                 {FileNameMapFormat(), "FileNameMap"},
                 {FileNameMapWFormat(), "FileNameMapW"},
                 {PerformedDropEffectFormat(), "Performed DropEffect"}};
  for (const auto& [format, name] : formats) {
    EXPECT_NE(format.cfFormat, 0) << name;
    EXPECT_EQ(format.cfFormat, RegisterClipboardFormatA(name)) << name;
    EXPECT_EQ(format.ptd, nullptr);
    EXPECT_EQ(format.dwAspect, static_cast<DWORD>(DVASPECT_CONTENT));
    EXPECT_EQ(format.lindex, -1);
    EXPECT_EQ(format.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
  }
  EXPECT_EQ(IDListArrayFormat().cfFormat, RegisterClipboardFormatA(CFSTR_SHELLIDLIST));
}

}  // namespace
