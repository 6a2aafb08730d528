#include "framework/Edit.h"

#include "framework/Container.h"

TCustomEdit::TCustomEdit(TContainer& parent, const TBounds& layout, DWORD style)
    : TWinControl(parent, layout) {
  CreateHandle({"EDIT", "", style | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE, LaidBounds()});
}

void TCustomEdit::SetText(const std::string& text) {
  if (Text() == text) return;
  // A one-line field reports the new text with EN_CHANGE, a multi-line one does not.
  settingText_ = true;
  SetWindowTextA(Handle(), text.c_str());
  settingText_ = false;
}

void TCustomEdit::ReplaceText(const std::string& text) {
  if (Text() == text) return;
  SetText(text);
  Change();
}

bool TCustomEdit::TakeTypedChar(WPARAM& character) {
  return intake_.TakeTypedChar(Handle(), character);
}

LRESULT TCustomEdit::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PASTE: intake_.Paste(Handle()); return 0;
    case WM_KILLFOCUS: intake_.HideBalloon(); break;
    default: break;
  }
  return TWinControl::WndProc(message, wParam, lParam);
}

std::wstring TCustomEdit::RefusalText(const std::vector<char32_t>& refused) const {
  return TTextIntake::CodePageRefusal(refused);
}

void TCustomEdit::Refuse(const std::vector<char32_t>& refused) {
  intake_.Refuse(Handle(), refused);
}

void TCustomEdit::Command(WORD code) {
  if (code == EN_CHANGE && !settingText_) Change();
}

void TCustomEdit::Change() {
  if (OnChange) OnChange();
}

bool TCustomEdit::CanUndo() const { return SendMessageA(Handle(), EM_CANUNDO, 0, 0) != 0; }

void TCustomEdit::Undo() { SendMessageA(Handle(), EM_UNDO, 0, 0); }

int TCustomEdit::SelStart() const {
  DWORD start = 0;
  DWORD end = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(start);
}

int TCustomEdit::SelLength() const {
  DWORD start = 0;
  DWORD end = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TCustomEdit::SetSelection(int start, int length) {
  SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(start),
               static_cast<LPARAM>(start + length));
}

void TCustomEdit::SelectAll() { SendMessageA(Handle(), EM_SETSEL, 0, -1); }

void TCustomEdit::CutToClipboard() { SendMessageA(Handle(), WM_CUT, 0, 0); }

void TCustomEdit::CopyToClipboard() { SendMessageA(Handle(), WM_COPY, 0, 0); }

void TCustomEdit::PasteFromClipboard() { SendMessageA(Handle(), WM_PASTE, 0, 0); }

TEdit::TEdit(TContainer& parent, const TBounds& layout)
    : TCustomEdit(parent, layout, ES_AUTOHSCROLL) {}
