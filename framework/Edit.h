#pragma once
// Text fields: the one-line edit box, and the base of the memo and the spin edit. The edit
// commands (undo, cut, copy, paste, select all) act on these.

#include <functional>
#include <string>

#include "framework/Window.h"

class TCustomEdit : public TWinControl {
 public:
  // Runs no OnChange (Window.h).
  void SetText(const std::string& text) override;
  bool IsTextField() const override { return true; }

  bool CanUndo() const;
  void Undo();
  // The selection, in characters of the ANSI text.
  int SelStart() const;
  int SelLength() const;
  void SetSelection(int start, int length);
  void SelectAll();
  void CutToClipboard();
  void CopyToClipboard();
  void PasteFromClipboard();

  // The user changed the text.
  std::function<void()> OnChange;

 protected:
  TCustomEdit(TContainer& parent, const TBounds& layout, DWORD style);

  // The text replaced in answer to the user (a spin edit's arrows): OnChange runs once when it
  // differs.
  void ReplaceText(const std::string& text);

  void Command(WORD code) override;

 private:
  void Change();

  bool settingText_ = false;  // the control's own report of a text the program set is ignored
};

class TEdit : public TCustomEdit {
 public:
  TEdit(TContainer& parent, const TBounds& layout);
};
