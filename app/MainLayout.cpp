// The main window's layout: controls, pictures, menus, tab order and event bindings.

#include "app/About.h"
#include "app/FolderListWindow.h"
#include "app/Main.h"
#include "app/res/Resource.h"
#include "framework/EditCommands.h"

namespace {

// The child tier's panel repeats the parent's this much further right and down.
constexpr int kChildDx = 17;
constexpr int kChildDy = 276;

// Menu pictures, in the image list's order.
enum MenuImage { kCopyImage, kCutImage, kPasteImage, kUndoImage };

constexpr TColor kConnector(128, 128, 128);

// Adds a separator to `menu` and hands it back, so that the items after it can be made in place.
TMenuItem& AfterSeparator(TMenuItem& menu) {
  menu.AddSeparator();
  return menu;
}

}  // namespace

TForm1::TForm1()
    : TForm("Tessarin", TBorderStyle::Single),
      File1(MainMenu1.Add("ファイル(&F)")),
      OpenTemplate1(File1.Add("テンプレートを開く(&O)...", TShortCut::CtrlKey('O'))),
      SaveTemplate1(File1.Add("テンプレートを保存(&S)...", TShortCut::CtrlKey('S'))),
      ListFolders1(File1.Add("作成するフォルダの一覧(&L)...", TShortCut::CtrlKey('L'))),
      RecentTemplate1(File1.Add("&1")),
      RecentTemplate2(File1.Add("&2")),
      RecentTemplate3(File1.Add("&3")),
      RecentTemplate4(File1.Add("&4")),
      Exit1(AfterSeparator(File1).Add("終了(&X)", TShortCut::CtrlKey('Q'))),
      EditMenu(MainMenu1.Add("編集(&E)")),
      Undo1(EditMenu.Add("元に戻す(&U)", TShortCut::CtrlKey('Z'), kUndoImage)),
      Cut1(AfterSeparator(EditMenu).Add("切り取り(&T)", TShortCut::CtrlKey('X'), kCutImage)),
      Copy1(EditMenu.Add("コピー(&C)", TShortCut::CtrlKey('C'), kCopyImage)),
      Paste1(EditMenu.Add("貼り付け(&P)", TShortCut::CtrlKey('V'), kPasteImage)),
      SelectAll1(AfterSeparator(EditMenu).Add("すべてを選択(&A)", TShortCut::CtrlKey('A'))),
      UndoCreation1(AfterSeparator(EditMenu).Add("作成を元に戻す(&R)")),
      Help1(MainMenu1.Add("ヘルプ(&H)")),
      About1(Help1.Add("バージョン情報")),
      ShellPopupMenu1(this),
      ShellTreeView1(*this, {3, 6, 174, 513}, TShellTreeView::TFirstFill::Later),
      Button1(*this, {4, 524, 73, 25}, "作成(&M)"),
      CheckBox1(*this, {95, 530, 82, 17}, "子フォルダ"),
      ParentTier(*this, 0, 0, kParentColours),
      Shape13(*this, {190, 264, 1, 160}),
      Shape14(*this, {191, 423, 16, 1}) {
  SetClientSize(Dpi().Scale(792), Dpi().Scale(554));
  BuildMenu();

  ShellTreeView1.SetIndent(19);
  // Renaming is offered: the tree edits the label. Wine's shell offers it only in the normal menu.
  ShellPopupMenu1.ReadOnly = false;
  ShellPopupMenu1.ContextType = shctNormal;
  ShellTreeView1.SetShellPopupMenu(&ShellPopupMenu1);
  Shape13.SetPen(kConnector, TPenStyle::Dot);
  Shape14.SetPen(kConnector, TPenStyle::Dot);

  // The child tier's fields join after the parent's pattern list when they are made.
  TWinControl::SetTabOrder({&ShellTreeView1, &Button1, &ParentTier.FrontText, &ParentTier.BackText,
                            &ParentTier.FreeLines, &ParentTier.Pattern, &CheckBox1,
                            &ParentTier.Group});
  BindEvents();
  OnCreate = [this] { FormCreate(); };
  // The filled tree is drawn, and the window answers what came meanwhile, before the rest: the
  // tree's drop target and volume events, the menu's pictures and the child tier's windows, none
  // of which is on the screen.
  OnFirstPainted = [this] {
    ShowFilledTree();
    WhenIdle([this] { FinishStartUp(); });
  };
  OnClose = [this](TCloseAction& action) { FormClose(action); };
  OnDpiChanged = [this] { FormDpiChanged(); };
}

TForm1::~TForm1() = default;

TTierView& TForm1::ChildTier() {
  if (!childTier_) MakeChildTier();
  return *childTier_;
}

// The child tier lies below the compact window's edge: start-up shows the window first and makes
// these 25 windows once it has painted (MakeChildTier from FinishStartUp), or whenever something
// asks for the tier before then.
void TForm1::MakeChildTier() {
  TTierView& child = childTier_.emplace(*this, kChildDx, kChildDy, kChildColours);
  child.Bind(TierHandlers(true));
  TWinControl::SetTabOrder({&ParentTier.Pattern, &child.FrontText, &child.BackText,
                            &child.FreeLines, &child.Pattern, &CheckBox1, &ParentTier.Group,
                            &child.Group});
  // The connectors are drawn over the child tier's frame, as when both were made together.
  Shape13.BringToFront();
  Shape14.BringToFront();
  // Made before FormCreate, it is started there.
  if (!dateFormats_) return;
  child.Start(startedAt_, *dateFormats_);
  child.EnableCheckedKind();
  RefreshRunCounts();
}

void TForm1::BuildMenu() {
  // The pictures themselves come after the first painting (LoadMenuPictures).
  MainMenu1.SetImages(menuImages_);

  OpenTemplate1.OnClick = [this] { OpenTemplate1Click(); };
  SaveTemplate1.OnClick = [this] { SaveTemplate1Click(); };
  ListFolders1.OnClick = [this] { ListFolders1Click(); };
  ShowRecentTemplates();
  Exit1.OnClick = [this] { Exit1Click(); };
  BindEditCommand(Undo1, TEditCommand::Undo);
  Undo1.AddSecondaryShortCut(TShortCut::AltKey(VK_BACK));
  BindEditCommand(Cut1, TEditCommand::Cut);
  BindEditCommand(Copy1, TEditCommand::Copy);
  BindEditCommand(Paste1, TEditCommand::Paste);
  BindEditCommand(SelectAll1, TEditCommand::SelectAll);
  UndoCreation1.EnabledWhen = [this] { return CanUndoCreation(); };
  UndoCreation1.OnClick = [this] { UndoCreation1Click(); };
  About1.OnClick = [this] { About1Click(); };
  SetMainMenu(MainMenu1);
}

void TForm1::LoadMenuPictures() {
  const int size = Dpi().Scale(kMenuPictureSize);
  if (menuImages_.Count() > 0 && menuImages_.Width() == size) return;
  menuImages_.SetSize(size, size);
  // The image list's order is the MenuImage order.
  for (int id : {IDI_COPY, IDI_CUT, IDI_PASTE, IDI_UNDO})
    menuImages_.AddIcon(TIcon::FromResource(id, size));
}

void TForm1::BindEvents() {
  ShellTreeView1.OnKeyDown = [this](UINT key, bool& handled) {
    ShellTreeView1KeyDown(key, handled);
  };
  Button1.OnClick = [this] { Button1Click(); };
  CheckBox1.OnClick = [this] { CheckBox1Click(); };
  ParentTier.Bind(TierHandlers(false));
}

// Parent / child, as the window names them; the child's radio buttons and position pattern list
// share the parent's handlers.
TTierView::TWindowSide TForm1::TierHandlers(bool child) {
  using THandler = void (TForm1::*)();
  const auto on = [this, child](THandler ofParent, THandler ofChild) {
    return [this, handler = child ? ofChild : ofParent] { (this->*handler)(); };
  };
  return {
      .FrontTextChange = on(&TForm1::Edit1Change, &TForm1::Edit4Change),
      .BackTextChange = on(&TForm1::Edit2Change, &TForm1::Edit5Change),
      .FreeLinesChange = on(&TForm1::Memo1Change, &TForm1::Memo2Change),
      .PatternChange = on(&TForm1::ComboBox3Change, &TForm1::ComboBox3Change),
      .KindClick = {on(&TForm1::RadioButton1Click, &TForm1::RadioButton1Click),
                    on(&TForm1::RadioButton2Click, &TForm1::RadioButton2Click),
                    on(&TForm1::RadioButton3Click, &TForm1::RadioButton3Click),
                    on(&TForm1::RadioButton4Click, &TForm1::RadioButton4Click)},
      .StartNumberChange = on(&TForm1::SpinEdit1Change, &TForm1::SpinEdit6Change),
      .EndNumberChange = on(&TForm1::SpinEdit2Change, &TForm1::SpinEdit7Change),
      .DigitCountChange = on(&TForm1::SpinEdit3Change, &TForm1::SpinEdit8Change),
      .StartDateChange = on(&TForm1::DateTimePicker1Change, &TForm1::DateTimePicker3Change),
      .EndDateChange = on(&TForm1::DateTimePicker2Change, &TForm1::DateTimePicker4Change),
      .DateFormatChange = on(&TForm1::ComboBox1Change, &TForm1::ComboBox4Change),
      .FolderCountChange = on(&TForm1::SpinEdit4Change, &TForm1::SpinEdit9Change),
      .LetterCaseChange = on(&TForm1::ComboBox2Change, &TForm1::ComboBox5Change),
      .LettersPerNameChange = on(&TForm1::SpinEdit5Change, &TForm1::SpinEdit10Change),
      .Preview = [this] { SampleFileName(); },
      .RunCounts = [this] { RefreshRunCounts(); },
  };
}

void TForm1::ShellTreeView1KeyDown(UINT key, bool& handled) {
  handled = ShellTreeView1.FileManagerKey(key);
}
