#pragma once
// Text fields: the one-line edit box, and the base of the memo and the spin edit. The edit
// commands (undo, cut, copy, paste, select all) act on these.

#include <functional>
#include <string>

#include "framework/Window.h"

class TCustomEdit : public TWinControl {
 public:
  // Runs OnChange once when the text differs (setting the same text changes nothing).
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

  // The text changed, by the user or by the program.
  std::function<void()> OnChange;

 protected:
  TCustomEdit(TContainer& parent, const TBounds& layout, DWORD style);

  void Command(WORD code) override;

 private:
  void Change();

  bool changeSeen_ = false;
};

class TEdit : public TCustomEdit {
 public:
  TEdit(TContainer& parent, const TBounds& layout);
};
