// The main window as start-up leaves it, its height, and the program's resources.

#include <gtest/gtest.h>

#include <shlwapi.h>

#include <vector>

#include "app/Win32Naming.h"
#include "naming/Calendar.h"
#include "naming/DateFormats.h"
#include "tests/app/MainWindowFixture.h"

namespace {

using naming::SequenceKind;

constexpr SequenceKind kKinds[] = {SequenceKind::Number, SequenceKind::Date, SequenceKind::Letters,
                                   SequenceKind::None};

SYSTEMTIME Today() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return now;
}

// Only the chosen row's parameters and inner label are enabled, and only its caption is coloured.
void ExpectOnlyRowEnabled(const TTierPanel& panel, SequenceKind chosen, TColor chosenCaption) {
  for (SequenceKind kind : kKinds) {
    const TKindRow& row = panel.Row(kind);
    const bool on = kind == chosen;
    EXPECT_EQ(row.Radio.Checked(), on);
    for (const TWinControl* control : row.Parameters) EXPECT_EQ(control->Enabled(), on);
    if (row.InnerLabel != nullptr) {
      EXPECT_EQ(row.InnerLabel->Enabled(), on);
    }
    EXPECT_EQ(row.Caption.FontColor(), on ? chosenCaption : TColor(192, 192, 192));
  }
  const std::vector<const TWinControl*> alwaysEnabled = {&panel.FrontText, &panel.BackText,
                                                         &panel.FreeLines, &panel.Pattern};
  for (const TWinControl* always : alwaysEnabled) {
    EXPECT_TRUE(always->Enabled());
  }
}

TEST_F(MainWindowTest, BothTiersStartFromTheSameDefaults) {
  const SYSTEMTIME today = Today();
  const naming::DateFormatTable formats =
      naming::DateTypeInit(std::make_unique<app::Win32AlternativeCalendar>());

  for (const TTierPanel* panel : {&form->ParentTier, &form->ChildTier()}) {
    SCOPED_TRACE(panel == &form->ParentTier ? "parent" : "child");
    ExpectOnlyRowEnabled(*panel, SequenceKind::Number, panel->Colours.ChosenCaption);
    EXPECT_EQ(panel->StartNumber.Text(), "0");
    EXPECT_EQ(panel->EndNumber.Text(), "0");
    EXPECT_EQ(panel->DigitCount.Text(), "1");
    EXPECT_EQ(panel->FolderCount.Text(), "1");
    EXPECT_EQ(panel->LettersPerName.Text(), "1");
    EXPECT_EQ(panel->LetterCase.ItemIndex(), 0);
    EXPECT_EQ(panel->LetterCase.Item(0), "大文字");
    EXPECT_EQ(panel->LetterCase.Item(1), "小文字");
    EXPECT_EQ(panel->Pattern.ItemIndex(), 0);
    ASSERT_EQ(panel->Pattern.Count(), 5);
    EXPECT_EQ(panel->Pattern.Item(0), "つけない");
    EXPECT_EQ(panel->Pattern.Item(4), "* + A + 01 + B");
    EXPECT_EQ(panel->FrontText.Text(), "");
    EXPECT_EQ(panel->BackText.Text(), "");
    EXPECT_EQ(panel->FreeLines.Text(), "");
    EXPECT_EQ(panel->LineCounter.Caption(), "   0");
    EXPECT_EQ(panel->SampleLine.Caption(), "sample");
    EXPECT_EQ(panel->RunCount.Caption(), panel == &form->ParentTier ? "  1 個" : "  × 1");

    // Today to tomorrow, and one entry per date format showing the start-up date in it.
    EXPECT_EQ(CalendarDateOf(panel->StartDate.Date()), CalendarDateOf(today));
    EXPECT_EQ(naming::DayNumber(CalendarDateOf(panel->EndDate.Date())),
              naming::DayNumber(CalendarDateOf(today)) + 1);
    ASSERT_EQ(panel->DateFormat.Count(), naming::DateFormatTable::kCount);
    EXPECT_EQ(panel->DateFormat.ItemIndex(), 0);
    for (int i = 0; i < naming::DateFormatTable::kCount; ++i) {
      EXPECT_EQ(panel->DateFormat.Item(i), formats.Format(i, CalendarDateOf(today)));
    }
  }
  EXPECT_EQ(form->ParentTier.Colours.ChosenCaption, TColor(0, 102, 221));
  EXPECT_EQ(form->ChildTier().Colours.ChosenCaption, TColor(0, 221, 102));
  EXPECT_FALSE(form->CheckBox1.Checked());
}

TEST_F(MainWindowTest, IsAFixedWindowOfTheLaidOutWidthAtCompactHeight) {
  EXPECT_EQ(form->Text(), "Tessarin");
  EXPECT_EQ(form->ClientWidth(), 792);
  EXPECT_EQ(OuterHeight(), TForm1::kCompactHeight);
  const LONG style = GetWindowLongA(form->Handle(), GWL_STYLE);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_EQ(form->ParentTier.FrontText.Bounds().Left, 314);
  EXPECT_EQ(form->ChildTier().FrontText.Bounds().Left, 314 + 17);
  EXPECT_EQ(form->ChildTier().FrontText.Bounds().Top, 42 + 276);
}

TEST_F(MainWindowTest, TheChildFoldersBoxSetsTheHeightAndTheBottomControlsFollow) {
  Type(form->ChildTier().FrontText, "kept");
  Click(form->ChildTier().Row(SequenceKind::Letters).Radio);

  Click(form->CheckBox1);
  EXPECT_EQ(OuterHeight(), TForm1::kFullHeight);
  EXPECT_GE(form->ClientHeight(), form->ChildTier().Frame.Top() + form->ChildTier().Frame.Height());
  const int fullBottom = form->ClientHeight();
  EXPECT_EQ(form->Button1.Top() + form->Button1.Height(), fullBottom - 5);
  EXPECT_EQ(form->CheckBox1.Top() + form->CheckBox1.Height(), fullBottom - 7);
  EXPECT_EQ(form->ShellTreeView1.Top() + form->ShellTreeView1.Height(), fullBottom - 35);

  Click(form->CheckBox1);
  EXPECT_EQ(OuterHeight(), TForm1::kCompactHeight);
  const int compactBottom = form->ClientHeight();
  EXPECT_EQ(form->Button1.Top() + form->Button1.Height(), compactBottom - 5);
  EXPECT_EQ(form->ShellTreeView1.Top() + form->ShellTreeView1.Height(), compactBottom - 35);
  EXPECT_EQ(form->ClientWidth(), 792);

  // The child tier keeps its settings while it is hidden.
  Click(form->CheckBox1);
  EXPECT_EQ(form->ChildTier().FrontText.Text(), "kept");
  EXPECT_TRUE(form->ChildTier().Row(SequenceKind::Letters).Radio.Checked());
}

TEST_F(MainWindowTest, TabOrderRunsThroughTheButtonTheTextsAndThenTheGroups) {
  const TTierView& parent = form->ParentTier;
  const TTierView& child = form->ChildTier();
  const std::vector<HWND> expected = {form->Button1.Handle(),   parent.FrontText.Handle(),
                                      parent.BackText.Handle(), parent.FreeLines.Handle(),
                                      parent.Pattern.Handle(),  child.FrontText.Handle(),
                                      child.BackText.Handle(),  child.FreeLines.Handle(),
                                      child.Pattern.Handle(),   form->CheckBox1.Handle()};
  for (std::size_t i = 0; i + 1 < expected.size(); ++i) {
    EXPECT_EQ(GetNextDlgTabItem(form->Handle(), expected[i], FALSE), expected[i + 1])
        << "after " << i;
  }
  // Inside a group the dates come first; the number fields are the first enabled stop at start-up.
  EXPECT_EQ(GetNextDlgTabItem(form->Handle(), form->CheckBox1.Handle(), FALSE),
            parent.StartNumber.Handle());
}

TEST_F(MainWindowTest, TabAndShiftTabRunThroughTheWholeOrderAndOutOfTheFreeLines) {
  TTierView& parent = form->ParentTier;
  TTierView& child = form->ChildTier();
  // The stops at start-up: inside each group the enabled number fields, then its checked button.
  const std::vector<TWinControl*> stops = {
      &form->ShellTreeView1, &form->Button1,     &parent.FrontText,     &parent.BackText,
      &parent.FreeLines,     &parent.Pattern,    &child.FrontText,      &child.BackText,
      &child.FreeLines,      &child.Pattern,     &form->CheckBox1,      &parent.StartNumber,
      &parent.EndNumber,     &parent.DigitCount, &parent.Rows[0].Radio, &child.StartNumber,
      &child.EndNumber,      &child.DigitCount,  &child.Rows[0].Radio};
  form->ShellTreeView1.SetFocus();
  for (std::size_t i = 1; i <= stops.size(); ++i) {
    PressKey(VK_TAB);
    EXPECT_TRUE(stops[i % stops.size()]->Focused()) << "Tab to stop " << i;
  }
  SetShiftKey(true);
  for (std::size_t i = stops.size(); i-- > 0;) {
    PressKey(VK_TAB);
    EXPECT_TRUE(stops[i]->Focused()) << "Shift+Tab to stop " << i;
  }
  SetShiftKey(false);
  // A folder name cannot hold a tab character.
  EXPECT_EQ(form->ParentTier.FreeLines.Text(), "");
  EXPECT_EQ(form->ChildTier().FreeLines.Text(), "");
}

TEST(ProgramResources, IconVersionAndCommonControlsSix) {
  EXPECT_NE(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TESSARIN), IMAGE_ICON, 32, 32, 0),
      nullptr);

  // The fixed part of the version information starts with its signature.
  HRSRC version = FindResourceA(nullptr, MAKEINTRESOURCEA(VS_VERSION_INFO), MAKEINTRESOURCEA(16));
  ASSERT_NE(version, nullptr);
  const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, version)));
  const DWORD size = SizeofResource(nullptr, version);
  const VS_FIXEDFILEINFO* fixed = nullptr;
  for (DWORD offset = 0; offset + sizeof(VS_FIXEDFILEINFO) <= size && fixed == nullptr;
       offset += 4) {
    const auto* candidate = reinterpret_cast<const VS_FIXEDFILEINFO*>(bytes + offset);
    if (candidate->dwSignature == VS_FFI_SIGNATURE) fixed = candidate;
  }
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(0, 3)));
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);

  // The manifest asks for the version 6 common controls: the loader takes them from the
  // side-by-side assembly rather than the system folder.
  HMODULE comctl = GetModuleHandleA("comctl32.dll");
  ASSERT_NE(comctl, nullptr);
  char path[MAX_PATH] = {};
  GetModuleFileNameA(comctl, path, MAX_PATH);
  EXPECT_NE(StrStrIA(path, "microsoft.windows.common-controls"), nullptr) << path;
}

}  // namespace
