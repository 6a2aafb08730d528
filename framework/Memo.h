#pragma once
// A multi-line text field that wraps long lines at its width, without scroll bars. Lines are read
// as the field shows them: a long entry that wraps is two or more lines.

#include <string>
#include <vector>

#include "framework/Edit.h"

class TMemo : public TCustomEdit {
 public:
  TMemo(TContainer& parent, const TBounds& layout);

  // Displayed lines; an empty last line (text ending in a line break) does not count, so an
  // empty field has none.
  int LineCount() const;
  // Displayed line `index`, without its line break; empty outside 0 .. LineCount() - 1.
  std::string Line(int index) const;
  // Displayed lines 0 to limit - 1, or all of them when there are fewer, counted once.
  std::vector<std::string> Lines(int limit) const;

 private:
  std::string LineOf(int index) const;
};
