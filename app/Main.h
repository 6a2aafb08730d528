#pragma once
// The main window: the folder tree, the create button, the child-folders box and the two tier
// panels, with the menus. Its work is split by concern: layout (MainLayout.cpp), start-up, settings
// and closing (MainStartup.cpp), the preview and control states (MainPreview.cpp), the creation
// run (MainRun.cpp) and template files (MainTemplate.cpp). What a tier's controls do is its view's
// (TierView.h); the handlers here hand on to it.

#include <memory>
#include <optional>

#include "app/PanelTemplate.h"
#include "app/RecentTemplates.h"
#include "app/Settings.h"
#include "app/TierView.h"
#include "app/UndoFile.h"
#include "framework/Button.h"
#include "framework/CheckBox.h"
#include "framework/Form.h"
#include "framework/Graphics.h"
#include "framework/MainMenu.h"
#include "framework/Shape.h"
#include "naming/DateFormats.h"
#include "naming/RunRecord.h"
#include "naming/TemplateFile.h"
#include "shell/ShellPopupMenu.h"
#include "shell/ShellTreeView.h"

class TAboutBox;
class TFolderListForm;

class TForm1 : public TForm {
 public:
  static constexpr int kCompactHeight = 320;
  static constexpr int kFullHeight = 600;

  TForm1();
  ~TForm1() override;

  // The box "バージョン情報" shows, when one is made already; otherwise the menu makes it through
  // the application. Not owned (the application owns both forms).
  void SetAboutBox(TAboutBox& aboutBox) { aboutBox_ = &aboutBox; }

  // Start-up, settings and closing.
  void FormCreate();
  // What start-up leaves until the window has painted: the folder tree's first fill, the menu's
  // pictures and the child tier. Once; the tests call it instead of waiting for the painting.
  void FinishStartUp();
  // The first step of it: the folder tree's nodes shown and drawn.
  void ShowFilledTree();
  void FormPosInit(int mode);
  void FormClose(TCloseAction& action);
  // The window moved to a monitor of another DPI: what stands by measure is placed again, the
  // pictures drawn for it.
  void FormDpiChanged();
  void Exit1Click();
  void About1Click();

  // Template files: the values of both tiers, the child-folders box and the target folder.
  void OpenTemplate1Click();
  void SaveTemplate1Click();
  // Opens the file as the menu does once it is chosen; says in a box what went wrong.
  void OpenTemplateFile(const std::string& path);
  void SaveTemplateFile(const std::string& path);
  naming::TemplateValues TemplateFromWindow();
  // Every value set, then the window refreshed once.
  void ApplyTemplate(const naming::TemplateValues& values);
  void CheckBox1Click();

  // "作成するフォルダの一覧": every path the run would make, in a window above this one, which
  // takes no input meanwhile; its "作成(&M)" closes it and runs as "作成(&M)" here does.
  void ListFolders1Click();
  // The list's window while one was opened, or null.
  TFolderListForm* FolderList() const { return folderList_.get(); }

  // The creation run of one press of "作成(&M)", and taking the last one back.
  void Button1Click();
  void UndoCreation1Click();
  // "作成を元に戻す" applies: a record to take back, or a note on its file to give.
  bool CanUndoCreation() const;

  // Preview and control states.
  void SampleFileName();
  // Renzoku (連続, "in a row") is the sequence part: Init turns every kind's row off, Check turns
  // the chosen kind's row on again.
  void RenzokuInit();
  void RenzokuCheck();
  void RadioButton1Click();
  void RadioButton2Click();
  void RadioButton3Click();
  void RadioButton4Click();
  void ComboBox3Change();
  void Edit1Change();
  void Edit2Change();
  void Edit4Change();
  void Edit5Change();
  void Memo1Change();
  void Memo2Change();
  void DateTimePicker1Change();
  void DateTimePicker2Change();
  void DateTimePicker3Change();
  void DateTimePicker4Change();
  void ComboBox1Change();
  void ComboBox2Change();
  void ComboBox4Change();
  void ComboBox5Change();
  void SpinEdit1Change();
  void SpinEdit2Change();
  void SpinEdit3Change();
  void SpinEdit4Change();
  void SpinEdit5Change();
  void SpinEdit6Change();
  void SpinEdit7Change();
  void SpinEdit8Change();
  void SpinEdit9Change();
  void SpinEdit10Change();

 private:
  void BuildMenu();
  void LoadMenuPictures();
  void BindEvents();
  // The last run's record from its file, at start-up; written again whenever it changes. The
  // menu item shows how many folders it holds.
  void LoadUndoRecord();
  // Empty, or the one line that says, once, that the file could not be written.
  std::string SaveUndoRecord();
  void ShowUndoCount();
  // The folder tree's keys of a file manager: F2 renames the selected folder; Shift+F10 and the
  // Apps key show the shell's menu for it.
  void ShellTreeView1KeyDown(UINT key, bool& handled);
  void PlaceBottomControls();
  // The height the child-folders box asks for, the child tier made when it is to be seen.
  void FitHeightToChildFolders();
  void RefreshRunCounts();
  // The child tier's window and its share of start-up, as FormCreate gives the parent's.
  void MakeChildTier();
  // The handlers of a tier's controls, as the window names them, and the refreshes it asks for.
  TTierView::TWindowSide TierHandlers(bool child);
  // What a new window holds, in the file's terms.
  naming::TemplateValues TemplateDefaults() const;
  // A message for the box when the target folder is not there; empty when it was selected.
  std::string SelectTarget(const std::string& path);
  void ShowRecentTemplates();

  app::TSettingsFile settings_{"Tessarin.ini"};
  app::TRecentTemplates recentTemplates_{settings_};
  std::optional<naming::DateFormatTable> dateFormats_;  // built by FormCreate
  TAboutBox* aboutBox_ = nullptr;                       // not owned
  naming::RunRecord lastRun_;
  app::TUndoFile undoFile_ = app::TUndoFile::InWindowsDirectory("Tessarin.undo");
  std::string undoNote_;  // on a file that could not be used, for the next undo box
  bool undoWriteFailureSaid_ = false;
  static constexpr int kMenuPictureSize = 16;  // in the layout (96 DPI)
  TImageList menuImages_{Dpi().Scale(kMenuPictureSize), Dpi().Scale(kMenuPictureSize)};
  SYSTEMTIME startedAt_{};              // the start-up date, also the child tier's
  std::optional<TTierView> childTier_;  // see ChildTier
  std::unique_ptr<TFolderListForm> folderList_;

 public:
  TMainMenu MainMenu1;
  TMenuItem& File1;
  TMenuItem& OpenTemplate1;
  TMenuItem& SaveTemplate1;
  TMenuItem& ListFolders1;
  // The files last opened or saved, newest first; hidden while there are fewer.
  TMenuItem& RecentTemplate1;
  TMenuItem& RecentTemplate2;
  TMenuItem& RecentTemplate3;
  TMenuItem& RecentTemplate4;
  TMenuItem& Exit1;
  TMenuItem& EditMenu;
  TMenuItem& Undo1;
  TMenuItem& Cut1;
  TMenuItem& Copy1;
  TMenuItem& Paste1;
  TMenuItem& SelectAll1;
  TMenuItem& UndoCreation1;
  TMenuItem& Help1;
  TMenuItem& About1;

  // The shell's menu for a folder of the tree; made first, so it outlives the tree's link to it.
  TShellPopupMenu ShellPopupMenu1;
  TShellTreeView ShellTreeView1;
  TButton Button1;
  TCheckBox CheckBox1;

  TTierView ParentTier;
  // The child tier's panel, below the compact window's edge: made on first use.
  TTierView& ChildTier();
  TShape Shape13;
  TShape Shape14;

  // Two names for every tier control. The code and the tests use the descriptive ones
  // (ParentTier.FrontText, ChildTier().FreeLines); the window layout's names below are the ones
  // the event handlers' names follow (Edit1Change), for what is about those handlers. The window
  // layout's names for the parent tier's controls ...
  TShape& Shape1 = ParentTier.Frame;
  TShape& Shape2 = ParentTier.SampleStrip;
  TImage& Image5 = ParentTier.SampleIcon;
  TLabel& Label24 = ParentTier.SampleLine;
  TEdit& Edit1 = ParentTier.FrontText;
  TEdit& Edit2 = ParentTier.BackText;
  TMemo& Memo1 = ParentTier.FreeLines;
  TComboBox& ComboBox3 = ParentTier.Pattern;
  TLabel& Label25 = ParentTier.PatternLabel;
  TLabel& Label26 = ParentTier.LinesLabel;
  TLabel& Label27 = ParentTier.LineCounter;
  TGroupBox& GroupBox1 = ParentTier.Group;
  TRadioButton& RadioButton1 = ParentTier.Rows[0].Radio;
  TRadioButton& RadioButton2 = ParentTier.Rows[1].Radio;
  TRadioButton& RadioButton3 = ParentTier.Rows[2].Radio;
  TRadioButton& RadioButton4 = ParentTier.Rows[3].Radio;
  TLabel& Label5 = ParentTier.Rows[0].Caption;
  TLabel& Label6 = ParentTier.Rows[1].Caption;
  TLabel& Label7 = ParentTier.Rows[2].Caption;
  TLabel& Label11 = ParentTier.Rows[3].Caption;
  TSpinEdit& SpinEdit1 = ParentTier.StartNumber;
  TSpinEdit& SpinEdit2 = ParentTier.EndNumber;
  TSpinEdit& SpinEdit3 = ParentTier.DigitCount;
  TLabel& Label8 = ParentTier.DigitLabel;
  TDateTimePicker& DateTimePicker1 = ParentTier.StartDate;
  TDateTimePicker& DateTimePicker2 = ParentTier.EndDate;
  TComboBox& ComboBox1 = ParentTier.DateFormat;
  TLabel& Label9 = ParentTier.FormatLabel;
  TSpinEdit& SpinEdit4 = ParentTier.FolderCount;
  TComboBox& ComboBox2 = ParentTier.LetterCase;
  TSpinEdit& SpinEdit5 = ParentTier.LettersPerName;
  TLabel& Label10 = ParentTier.LettersLabel;

  // ... and for the child tier's, which is made once the window has painted, or when first asked
  // for.
  TShape& Shape3() { return ChildTier().Frame; }
  TShape& Shape12() { return ChildTier().SampleStrip; }
  TImage& Image10() { return ChildTier().SampleIcon; }
  TLabel& Label51() { return ChildTier().SampleLine; }
  TEdit& Edit4() { return ChildTier().FrontText; }
  TEdit& Edit5() { return ChildTier().BackText; }
  TMemo& Memo2() { return ChildTier().FreeLines; }
  TComboBox& ComboBox6() { return ChildTier().Pattern; }
  TLabel& Label52() { return ChildTier().PatternLabel; }
  TLabel& Label53() { return ChildTier().LinesLabel; }
  TLabel& Label54() { return ChildTier().LineCounter; }
  TGroupBox& GroupBox2() { return ChildTier().Group; }
  TRadioButton& RadioButton5() { return ChildTier().Rows[0].Radio; }
  TRadioButton& RadioButton6() { return ChildTier().Rows[1].Radio; }
  TRadioButton& RadioButton7() { return ChildTier().Rows[2].Radio; }
  TRadioButton& RadioButton8() { return ChildTier().Rows[3].Radio; }
  TLabel& Label29() { return ChildTier().Rows[0].Caption; }
  TLabel& Label30() { return ChildTier().Rows[1].Caption; }
  TLabel& Label31() { return ChildTier().Rows[2].Caption; }
  TLabel& Label35() { return ChildTier().Rows[3].Caption; }
  TSpinEdit& SpinEdit6() { return ChildTier().StartNumber; }
  TSpinEdit& SpinEdit7() { return ChildTier().EndNumber; }
  TSpinEdit& SpinEdit8() { return ChildTier().DigitCount; }
  TLabel& Label32() { return ChildTier().DigitLabel; }
  TDateTimePicker& DateTimePicker3() { return ChildTier().StartDate; }
  TDateTimePicker& DateTimePicker4() { return ChildTier().EndDate; }
  TComboBox& ComboBox4() { return ChildTier().DateFormat; }
  TLabel& Label33() { return ChildTier().FormatLabel; }
  TSpinEdit& SpinEdit9() { return ChildTier().FolderCount; }
  TComboBox& ComboBox5() { return ChildTier().LetterCase; }
  TSpinEdit& SpinEdit10() { return ChildTier().LettersPerName; }
  TLabel& Label34() { return ChildTier().LettersLabel; }
};
