#include "framework/Edit.h"

#include <algorithm>
#include <utility>

#include "framework/Container.h"
#include "naming/Characters.h"

namespace {

bool IsHighSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

class TOpenClipboard {
 public:
  explicit TOpenClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ~TOpenClipboard() {
    if (open_) CloseClipboard();
  }
  TOpenClipboard(const TOpenClipboard&) = delete;
  TOpenClipboard& operator=(const TOpenClipboard&) = delete;
  bool IsOpen() const { return open_; }

 private:
  bool open_;
};

// In UTF-16, as the system keeps it (it makes this form of text put there in the code page).
std::wstring ClipboardText(HWND owner) {
  const TOpenClipboard clipboard(owner);
  if (!clipboard.IsOpen()) return {};
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const auto* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
  if (!text) return {};
  std::wstring copy(text, wcsnlen(text, GlobalSize(data) / sizeof(wchar_t)));
  GlobalUnlock(data);
  return copy;
}

}  // namespace

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
  const auto unit = static_cast<wchar_t>(character);
  if (IsHighSurrogate(unit)) {
    highSurrogate_ = unit;  // judged with the second half
    return false;
  }
  std::wstring typed;
  if (highSurrogate_) typed += std::exchange(highSurrogate_, 0);
  typed += unit;
  // Editing keys (Backspace, Ctrl+V) are the control's.
  if (typed.size() == 1 && unit < 0x20) {
    balloon_.Hide();
    return true;
  }
  const TCodePageText admitted = Admit(typed);
  if (!admitted.Exact()) {
    Refuse(admitted.Refused);
    return false;
  }
  balloon_.Hide();
  const std::wstring form = AnsiToWide(admitted.Text);
  if (form.size() != 1) return false;
  character = form[0];
  return true;
}

LRESULT TCustomEdit::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PASTE: Paste(); return 0;
    case WM_KILLFOCUS: balloon_.Hide(); break;
    default: break;
  }
  return TWinControl::WndProc(message, wParam, lParam);
}

void TCustomEdit::Paste() {
  if (GetWindowLongA(Handle(), GWL_STYLE) & ES_READONLY) return;
  std::wstring text = ClipboardText(Handle());
  // A one-line field takes the first line, as the edit control itself would.
  if (!(GetWindowLongA(Handle(), GWL_STYLE) & ES_MULTILINE))
    text = text.substr(0, text.find_first_of(L"\r\n"));
  if (text.empty()) return;
  const TCodePageText admitted = Admit(text);
  if (!admitted.Exact()) {
    Refuse(admitted.Refused);
    return;
  }
  balloon_.Hide();
  SendMessageA(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(admitted.Text.c_str()));
}

std::wstring TCustomEdit::RefusalText(const std::vector<char32_t>& refused) const {
  const std::u16string names = naming::NamesOf(refused);
  return std::wstring(names.begin(), names.end()) +
         L" は Shift-JIS にない文字のため、入力できません。";
}

void TCustomEdit::Refuse(const std::vector<char32_t>& refused) {
  RECT client{};
  GetClientRect(Handle(), &client);
  POINT caret{};
  if (!Focused() || !GetCaretPos(&caret)) caret.x = client.left;
  POINT point{std::min(std::max(caret.x, client.left), client.right), client.bottom};
  ClientToScreen(Handle(), &point);
  balloon_.Show(Handle(), point, L"入力できない文字", RefusalText(refused));
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
