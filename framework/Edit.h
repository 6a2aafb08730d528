#pragma once
// Text fields: the one-line edit box, and the base of the memo and the spin edit. The edit
// commands (undo, cut, copy, paste, select all) act on these.
//
// What comes in, typed or pasted, goes in exactly as it came or not at all (TextIntake.h): a field
// refuses a character it cannot hold, one the code page lacks or a letter in a number field.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/CodePage.h"
#include "framework/TextIntake.h"
#include "framework/Window.h"

class TCustomEdit : public TWinControl {
 public:
  // Runs no OnChange (Window.h).
  void SetText(const std::string& text) override;
  bool IsTextField() const override { return true; }
  bool TakeTypedChar(WPARAM& character) override;

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

  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Command(WORD code) override;

  // What the field makes of text coming in, typed or pasted: the code page's bytes in the field's
  // own forms, or the characters it refuses. An edit box takes every character of the code page.
  virtual TCodePageText Admit(std::wstring_view text) const { return ToCodePage(text); }
  // The balloon's words for characters the field refused.
  virtual std::wstring RefusalText(const std::vector<char32_t>& refused) const;
  // Says in the balloon, below the caret, that `refused` did not go in.
  void Refuse(const std::vector<char32_t>& refused);

 private:
  void Change();

  bool settingText_ = false;  // the control's own report of a text the program set is ignored
  TTextIntake intake_{
      [this](std::wstring_view text) { return Admit(text); },
      [this](const std::vector<char32_t>& refused) { return RefusalText(refused); }};
};

class TEdit : public TCustomEdit {
 public:
  TEdit(TContainer& parent, const TBounds& layout);
};
