#include "framework/TextIntake.h"

#include <algorithm>
#include <utility>

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

TTextIntake::TTextIntake() : TTextIntake(&ToCodePage, &CodePageRefusal) {}

TTextIntake::TTextIntake(TAdmit admit, TRefusalText refusalText)
    : admit_(std::move(admit)), refusalText_(std::move(refusalText)) {}

bool TTextIntake::TakeTypedChar(HWND field, WPARAM& character) {
  const auto unit = static_cast<wchar_t>(character);
  if (IsHighSurrogate(unit)) {
    highSurrogate_ = unit;  // judged with the second half
    return false;
  }
  std::wstring typed;
  if (highSurrogate_) typed += std::exchange(highSurrogate_, 0);
  typed += unit;
  if (typed.size() == 1 && unit < 0x20) {
    balloon_.Hide();
    return true;
  }
  const TCodePageText admitted = admit_(typed);
  if (!admitted.Exact()) {
    Refuse(field, admitted.Refused);
    return false;
  }
  balloon_.Hide();
  const std::wstring form = AnsiToWide(admitted.Text);
  if (form.size() != 1) return false;
  character = form[0];
  return true;
}

void TTextIntake::Paste(HWND field) {
  const LONG style = GetWindowLongA(field, GWL_STYLE);
  if (style & ES_READONLY) return;
  std::wstring text = ClipboardText(field);
  // A one-line field takes the first line, as the edit control itself would.
  if (!(style & ES_MULTILINE)) text = text.substr(0, text.find_first_of(L"\r\n"));
  if (text.empty()) return;
  const TCodePageText admitted = admit_(text);
  if (!admitted.Exact()) {
    Refuse(field, admitted.Refused);
    return;
  }
  balloon_.Hide();
  SendMessageA(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(admitted.Text.c_str()));
}

std::wstring TTextIntake::CodePageRefusal(const std::vector<char32_t>& refused) {
  const std::u16string names = naming::NamesOf(refused);
  return std::wstring(names.begin(), names.end()) +
         L" は Shift-JIS にない文字のため、入力できません。";
}

void TTextIntake::Refuse(HWND field, const std::vector<char32_t>& refused) {
  RECT client{};
  GetClientRect(field, &client);
  POINT caret{};
  if (GetFocus() != field || !GetCaretPos(&caret)) caret.x = client.left;
  POINT point{std::min(std::max(caret.x, client.left), client.right), client.bottom};
  ClientToScreen(field, &point);
  balloon_.Show(field, point, L"入力できない文字", refusalText_(refused));
}
