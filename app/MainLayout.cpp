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

  // The child tier's fields join after ComboBox3 when they are made.
  TWinControl::SetTabOrder(
      {&ShellTreeView1, &Button1, &Edit1, &Edit2, &Memo1, &ComboBox3, &CheckBox1, &GroupBox1});
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

TTierPanel& TForm1::ChildTier() {
  if (!childTier_) MakeChildTier();
  return *childTier_;
}

// The child tier lies below the compact window's edge: start-up shows the window first and makes
// these 25 windows once it has painted (MakeChildTier from FinishStartUp), or whenever something
// asks for the tier before then.
void TForm1::MakeChildTier() {
  childTier_.emplace(*this, kChildDx, kChildDy, kChildColours);
  TWinControl::SetTabOrder({&ComboBox3, &Edit4(), &Edit5(), &Memo2(), &ComboBox6(), &CheckBox1,
                            &GroupBox1, &GroupBox2()});
  // The connectors are drawn over the child tier's frame, as when both were made together.
  Shape13.BringToFront();
  Shape14.BringToFront();
  // Made before FormCreate, it is started there. Its events are bound after its start values:
  // through the shared radio handlers those would also refresh the parent's sample line, which
  // start-up leaves at its placeholder.
  if (dateFormats_) StartChildTier();
  BindChildTierEvents();
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

  BindSharedTierEvents(ParentTier);
  Edit1.OnChange = [this] { Edit1Change(); };
  Edit2.OnChange = [this] { Edit2Change(); };
  Memo1.OnChange = [this] { Memo1Change(); };
  DateTimePicker1.OnChange = [this] { DateTimePicker1Change(); };
  DateTimePicker2.OnChange = [this] { DateTimePicker2Change(); };
  ComboBox1.OnChange = [this] { ComboBox1Change(); };
  ComboBox2.OnChange = [this] { ComboBox2Change(); };
  SpinEdit1.OnChange = [this] { SpinEdit1Change(); };
  SpinEdit2.OnChange = [this] { SpinEdit2Change(); };
  SpinEdit3.OnChange = [this] { SpinEdit3Change(); };
  SpinEdit4.OnChange = [this] { SpinEdit4Change(); };
  SpinEdit5.OnChange = [this] { SpinEdit5Change(); };
}

// The child tier's radio buttons and position pattern list share the parent's handlers.
void TForm1::BindSharedTierEvents(TTierPanel& panel) {
  panel.Rows[0].Radio.OnClick = [this] { RadioButton1Click(); };
  panel.Rows[1].Radio.OnClick = [this] { RadioButton2Click(); };
  panel.Rows[2].Radio.OnClick = [this] { RadioButton3Click(); };
  panel.Rows[3].Radio.OnClick = [this] { RadioButton4Click(); };
  panel.Pattern.OnChange = [this] { ComboBox3Change(); };
}

void TForm1::BindChildTierEvents() {
  BindSharedTierEvents(*childTier_);
  Edit4().OnChange = [this] { Edit4Change(); };
  Edit5().OnChange = [this] { Edit5Change(); };
  Memo2().OnChange = [this] { Memo2Change(); };
  DateTimePicker3().OnChange = [this] { DateTimePicker3Change(); };
  DateTimePicker4().OnChange = [this] { DateTimePicker4Change(); };
  ComboBox4().OnChange = [this] { ComboBox4Change(); };
  ComboBox5().OnChange = [this] { ComboBox5Change(); };
  SpinEdit6().OnChange = [this] { SpinEdit6Change(); };
  SpinEdit7().OnChange = [this] { SpinEdit7Change(); };
  SpinEdit8().OnChange = [this] { SpinEdit8Change(); };
  SpinEdit9().OnChange = [this] { SpinEdit9Change(); };
  SpinEdit10().OnChange = [this] { SpinEdit10Change(); };
}

void TForm1::ShellTreeView1KeyDown(UINT key, bool& handled) {
  handled = ShellTreeView1.FileManagerKey(key);
}
