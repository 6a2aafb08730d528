#include "app/ShellWindow.h"

namespace {
constexpr int kClientWidth = 800;
constexpr int kClientHeight = 540;
constexpr int kMargin = 6;
constexpr int kTreeWidth = 260;
constexpr int kListTop = 36;
}  // namespace

TShellForm::TShellForm()
    : TForm("TessarinShell", TBorderStyle::Single),
      PopupMenu1(this),
      ShellComboBox1(*this, {kMargin, kMargin, kClientWidth - 2 * kMargin, 0}),
      ShellTreeView1(*this, {kMargin, kListTop, kTreeWidth, kClientHeight - kListTop - kMargin}),
      ShellListView1(*this,
                     {2 * kMargin + kTreeWidth, kListTop, kClientWidth - 3 * kMargin - kTreeWidth,
                      kClientHeight - kListTop - kMargin}) {
  SetClientSize(Dpi().Scale(kClientWidth), Dpi().Scale(kClientHeight));
  SetCenterOnFirstShow(true);
  PopupMenu1.ReadOnly = false;
  ShellTreeView1.SetShellPopupMenu(&PopupMenu1);
  ShellListView1.SetShellPopupMenu(&PopupMenu1);
  ShellListView1.SetViewStyle(TViewStyle::Report);
  ShellTreeView1.SetShellComboBox(&ShellComboBox1);
  ShellTreeView1.SetShellListView(&ShellListView1);
  ShellTreeView1.OnKeyDown = [this](UINT key, bool& handled) {
    handled = ShellTreeView1.FileManagerKey(key);
  };
  SetTabOrder({&ShellComboBox1, &ShellTreeView1, &ShellListView1});
}
