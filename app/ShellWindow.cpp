#include "app/ShellWindow.h"

#include "framework/Dpi.h"

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
      ShellComboBox1(*this, Laid(kMargin, kMargin, kClientWidth - 2 * kMargin, 0)),
      ShellTreeView1(*this,
                     Laid(kMargin, kListTop, kTreeWidth, kClientHeight - kListTop - kMargin)),
      ShellListView1(
          *this, Laid(2 * kMargin + kTreeWidth, kListTop, kClientWidth - 3 * kMargin - kTreeWidth,
                      kClientHeight - kListTop - kMargin)) {
  SetClientSize(Laid(kClientWidth), Laid(kClientHeight));
  SetCenterOnFirstShow(true);
  PopupMenu1.ReadOnly = false;
  ShellTreeView1.SetShellPopupMenu(&PopupMenu1);
  ShellListView1.SetShellPopupMenu(&PopupMenu1);
  ShellListView1.SetViewStyle(TViewStyle::Report);
  ShellTreeView1.SetShellComboBox(&ShellComboBox1);
  ShellTreeView1.SetShellListView(&ShellListView1);
  SetTabOrder({&ShellComboBox1, &ShellTreeView1, &ShellListView1});
}
