#include "framework/EditCommands.h"

#include <windows.h>

#include "framework/Edit.h"
#include "framework/Menu.h"

TCustomEdit* FocusedTextField() {
  TWinControl* focused = TWinControl::FromHandle(GetFocus());
  if (!focused || !focused->IsTextField()) return nullptr;
  return static_cast<TCustomEdit*>(focused);
}

bool EditCommandEnabled(TEditCommand command) {
  const TCustomEdit* field = FocusedTextField();
  if (!field) return false;
  switch (command) {
    case TEditCommand::Undo:
      return field->CanUndo();
    case TEditCommand::Cut:
    case TEditCommand::Copy:
      return field->SelLength() > 0;
    case TEditCommand::Paste:
      return IsClipboardFormatAvailable(CF_TEXT) != FALSE;
    case TEditCommand::SelectAll:
      return GetWindowTextLengthA(field->Handle()) > 0;
  }
  return false;
}

void ExecuteEditCommand(TEditCommand command) {
  if (!EditCommandEnabled(command)) return;
  TCustomEdit* field = FocusedTextField();
  switch (command) {
    case TEditCommand::Undo:
      field->Undo();
      break;
    case TEditCommand::Cut:
      field->CutToClipboard();
      break;
    case TEditCommand::Copy:
      field->CopyToClipboard();
      break;
    case TEditCommand::Paste:
      field->PasteFromClipboard();
      break;
    case TEditCommand::SelectAll:
      field->SelectAll();
      break;
  }
}

void BindEditCommand(TMenuItem& item, TEditCommand command) {
  item.OnClick = [command] { ExecuteEditCommand(command); };
  item.EnabledWhen = [command] { return EditCommandEnabled(command); };
}
