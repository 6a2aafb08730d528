#include "framework/Memo.h"

#include <algorithm>

TMemo::TMemo(TContainer& parent, const TBounds& layout)
    // No horizontal scrolling: the field wraps at its width.
    : TCustomEdit(parent, layout, ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN) {
  // A list of names pasted in may be longer than the edit control's default 30,000 characters;
  // without this the rest would be dropped without a word.
  SendMessageA(Handle(), EM_SETLIMITTEXT, 0, 0);
}

int TMemo::LineCount() const {
  const auto count = static_cast<int>(SendMessageA(Handle(), EM_GETLINECOUNT, 0, 0));
  const auto lastStart = SendMessageA(Handle(), EM_LINEINDEX, count - 1, 0);
  if (SendMessageA(Handle(), EM_LINELENGTH, lastStart, 0) == 0) return count - 1;
  return count;
}

std::string TMemo::Line(int index) const {
  if (index < 0 || index >= SendMessageA(Handle(), EM_GETLINECOUNT, 0, 0)) return {};
  return LineOf(index);
}

std::vector<std::string> TMemo::Lines(int limit) const {
  std::vector<std::string> lines;
  const int count = std::min(limit, LineCount());
  for (int index = 0; index < count; ++index) lines.push_back(LineOf(index));
  return lines;
}

std::string TMemo::LineOf(int index) const {
  const auto start = SendMessageA(Handle(), EM_LINEINDEX, index, 0);
  const auto length = static_cast<size_t>(SendMessageA(Handle(), EM_LINELENGTH, start, 0));
  if (length == 0) return {};
  // The length may come in characters; leave room for two bytes each. The first WORD of the
  // buffer tells EM_GETLINE its size.
  std::string line(length * 2 + sizeof(WORD), '\0');
  *reinterpret_cast<WORD*>(line.data()) = static_cast<WORD>(line.size());
  const auto copied = SendMessageA(Handle(), EM_GETLINE, static_cast<WPARAM>(index),
                                   reinterpret_cast<LPARAM>(line.data()));
  line.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return line;
}
