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
      ShellComboBox1(*this, TBounds{kMargin, kMargin, kClientWidth - 2 * kMargin, 0}),
      ShellTreeView1(*this,
                     TBounds{kMargin, kListTop, kTreeWidth, kClientHeight - kListTop - kMargin}),
      ShellListView1(*this, TBounds{2 * kMargin + kTreeWidth, kListTop,
                                    kClientWidth - 3 * kMargin - kTreeWidth,
                                    kClientHeight - kListTop - kMargin}) {
  SetClientSize(kClientWidth, kClientHeight);
  SetCenterOnFirstShow(true);
  PopupMenu1.ReadOnly = false;
  ShellTreeView1.SetShellPopupMenu(&PopupMenu1);
  ShellListView1.SetShellPopupMenu(&PopupMenu1);
  ShellListView1.SetViewStyle(TViewStyle::Report);
  ShellTreeView1.SetShellComboBox(&ShellComboBox1);
  ShellTreeView1.SetShellListView(&ShellListView1);
  SetTabOrder({&ShellComboBox1, &ShellTreeView1, &ShellListView1});
}
