#pragma once
// Messages as a box shows them: however long a path or a name inside them, the box stays within
// the screen, with its counts and reasons in view.

#include <string>
#include <string_view>

namespace naming {

// The widest line a box is given, in columns of code page 932 text: a single-byte character one,
// a double-byte character two. About three rows of a box on a screen 1024 pixels wide.
inline constexpr std::size_t kWidestMessageLine = 240;

// `text` with every line wider than kWidestMessageLine cut in its middle, where a long path stands
// between the count at a line's start and the reason at its end, and joined with 「…」.
std::string FittedForBox(std::string_view text);

}  // namespace naming
