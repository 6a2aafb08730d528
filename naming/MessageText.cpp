#include "naming/MessageText.h"

#include <vector>

#include "naming/Composition.h"

namespace naming {

namespace {

constexpr std::string_view kLeftOut = "…";

std::string FittedLine(std::string_view line) {
  // Where each character starts, and the columns up to it.
  std::vector<std::size_t> starts;
  std::vector<std::size_t> columns;
  std::size_t width = 0;
  for (std::size_t at = 0; at < line.size();) {
    const std::size_t length = CharacterLength(line, at);
    starts.push_back(at);
    columns.push_back(width);
    width += length;
    at += length;
  }
  if (width <= kWidestMessageLine) return std::string(line);
  const std::size_t half = (kWidestMessageLine - 2) / 2;  // 「…」 takes two columns
  std::size_t head = 0;
  while (head < starts.size() && columns[head] + CharacterLength(line, starts[head]) <= half)
    ++head;
  std::size_t tail = starts.size();
  while (tail > head && width - columns[tail - 1] <= half) --tail;
  const std::size_t headEnd = head < starts.size() ? starts[head] : line.size();
  const std::size_t tailStart = tail < starts.size() ? starts[tail] : line.size();
  return std::string(line.substr(0, headEnd)).append(kLeftOut).append(line.substr(tailStart));
}

}  // namespace

std::string FittedForBox(std::string_view text) {
  std::string fitted;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find('\n', start);
    fitted += FittedLine(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return fitted;
    fitted += '\n';
    start = end + 1;
  }
}

}  // namespace naming
