#pragma once
// The five standard edit commands. They act on the text field that has the keyboard focus (an edit
// box, a memo, a spin edit); lists, date pickers and trees are never their target.

class TCustomEdit;
class TMenuItem;

enum class TEditCommand { Undo, Cut, Copy, Paste, SelectAll };

// The focused text field of this layer, or null.
TCustomEdit* FocusedTextField();

// Undo while the field can undo, cut and copy while it has a selection, paste while the clipboard
// holds text, select all while the field holds any text; never without a focused text field.
bool EditCommandEnabled(TEditCommand command);
// Runs the command on the focused text field when it is enabled.
void ExecuteEditCommand(TEditCommand command);

// Makes the item run the command and follow its enabled state.
void BindEditCommand(TMenuItem& item, TEditCommand command);
