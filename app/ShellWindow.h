#pragma once
// The window of TessarinShell, the shell controls' own program: a path combo box above a folder
// tree and a file list, the three linked, with the shell's context menu in the tree and the list.

#include "framework/Form.h"
#include "shell/ShellComboBox.h"
#include "shell/ShellListView.h"
#include "shell/ShellPopupMenu.h"
#include "shell/ShellTreeView.h"

class TShellForm : public TForm {
 public:
  TShellForm();

  TShellPopupMenu PopupMenu1;  // first: it outlives the controls that show it
  TShellComboBox ShellComboBox1;
  TShellTreeView ShellTreeView1;
  TShellListView ShellListView1;
};
