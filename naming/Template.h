#pragma once
// The name template of one tier, as the window's controls hold it at this moment.
//
// The creation run and the sample line read a tier through this interface every time they need
// it: nothing is copied out of the controls and nothing is kept between runs. The main window
// implements it over its controls; tests implement it over plain values.
//
// Texts are the controls' own bytes (code page 932 on Windows), never trimmed or converted.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace naming {

// Which of the four kind radio buttons of the tier is on.
enum class SequenceKind { Number, Date, Letters, None };

// Entries of the position pattern list, in list order.
enum class Position {
  Off = 0,         // "つけない": the free lines take no part in the names
  AfterBack = 1,   // "A + 01 + B + *"
  BeforeBack = 2,  // "A + 01 + * + B"
  AfterFront = 3,  // "A + * + 01 + B"
  First = 4,       // "* + A + 01 + B"
};

// A Gregorian calendar date; the time of day takes no part in naming.
struct CalendarDate {
  int year = 1;
  int month = 1;  // 1 to 12
  int day = 1;    // 1 to 31
  friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};

class TierTemplate {
 public:
  virtual ~TierTemplate() = default;

  virtual SequenceKind Kind() const = 0;

  virtual std::string FrontText() const = 0;  // element A
  virtual std::string BackText() const = 0;   // element B
  // Index of the selected position pattern entry, 0 to 4 (see Position). Any other value is
  // read as entry 0.
  virtual int PositionPattern() const = 0;

  // Number kind: the spin fields' texts exactly as they stand; the run converts them.
  virtual std::string StartNumberText() const = 0;
  virtual std::string EndNumberText() const = 0;
  virtual std::string DigitCountText() const = 0;

  // Date kind: the pickers' dates and the selected entry of the date display format chooser,
  // -1 when the chooser holds typed text that matches no entry (read as entry 0).
  virtual CalendarDate StartDate() const = 0;
  virtual CalendarDate EndDate() const = 0;
  virtual int DateFormatIndex() const = 0;

  // Letters kind: the spin fields' texts and the selected letter case entry (1 "小文字" gives
  // lower case, anything else upper case).
  virtual std::string FolderCountText() const = 0;
  virtual std::string LettersPerNameText() const = 0;
  virtual int LetterCase() const = 0;

  // Free lines, as the word-wrapping box shows them: every displayed line is one free line.
  // The count is the box's line count, less one when the last line is empty (an empty box has 0).
  virtual int FreeLineCount() const = 0;
  // Free line k, counted from 0; an index at or past the count gives an empty text.
  virtual std::string FreeLine(int k) const = 0;
  // The box's whole text, every line, used or not: the forbidden-character check reads it.
  virtual std::string FreeLinesText() const = 0;
  // Free lines 0 to limit - 1 (fewer when the box has fewer), in one reading: a run takes them
  // once. A box that can hand them over faster than line by line does so.
  virtual std::vector<std::string> FreeLines(std::int64_t limit) const {
    std::vector<std::string> lines;
    const int count =
        static_cast<int>(std::min<std::int64_t>(FreeLineCount(), std::max<std::int64_t>(limit, 0)));
    for (int k = 0; k < count; ++k) lines.push_back(FreeLine(k));
    return lines;
  }
};

// The parts of a run that belong to neither template.
class RunSettings {
 public:
  virtual ~RunSettings() = default;
  // The child-folders box "子フォルダ" is ticked.
  virtual bool ChildFolders() const = 0;
  // File-system path of the folder selected in the tree (a drive root keeps its backslash);
  // empty when nothing is selected or the selection has no file-system path.
  virtual std::string BasePath() const = 0;
};

}  // namespace naming
