#include "framework/EditCommands.h"

#include <windows.h>

#include "framework/Edit.h"
#include "framework/MenuItem.h"

TCustomEdit* FocusedTextField() {
  TWinControl* focused = TWinControl::FromHandle(GetFocus());
  if (!focused || !focused->IsTextField()) return nullptr;
  return static_cast<TCustomEdit*>(focused);
}

namespace {

// When a command applies to a field, and what it does there; in the order of TEditCommand.
struct TCommandRule {
  bool (*applies)(const TCustomEdit& field);
  void (*run)(TCustomEdit& field);
};

const TCommandRule& RuleOf(TEditCommand command) {
  static const TCommandRule rules[] = {
      {[](const TCustomEdit& f) { return f.CanUndo(); }, [](TCustomEdit& f) { f.Undo(); }},
      {[](const TCustomEdit& f) { return f.SelLength() > 0; },
       [](TCustomEdit& f) { f.CutToClipboard(); }},
      {[](const TCustomEdit& f) { return f.SelLength() > 0; },
       [](TCustomEdit& f) { f.CopyToClipboard(); }},
      {[](const TCustomEdit&) { return IsClipboardFormatAvailable(CF_TEXT) != FALSE; },
       [](TCustomEdit& f) { f.PasteFromClipboard(); }},
      {[](const TCustomEdit& f) { return GetWindowTextLengthA(f.Handle()) > 0; },
       [](TCustomEdit& f) { f.SelectAll(); }},
  };
  return rules[static_cast<int>(command)];
}

}  // namespace

bool EditCommandEnabled(TEditCommand command) {
  const TCustomEdit* field = FocusedTextField();
  return field && RuleOf(command).applies(*field);
}

void ExecuteEditCommand(TEditCommand command) {
  TCustomEdit* field = FocusedTextField();
  if (field && RuleOf(command).applies(*field)) RuleOf(command).run(*field);
}

void BindEditCommand(TMenuItem& item, TEditCommand command) {
  item.OnClick = [command] { ExecuteEditCommand(command); };
  item.EnabledWhen = [command] { return EditCommandEnabled(command); };
}
