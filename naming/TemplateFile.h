#pragma once
// Template files: both tiers, the child-folders box and the target folder in a readable INI-style
// text (code page 932 on Windows) that a user can keep beside their work and edit by hand. A file
// an editor saved in UTF-8 or UTF-16 reaches the reader in the code page (naming/TextEncoding.h).
//
//   [Tessarin]
//   Version=1
//   Target=C:\work
//   ChildFolders=1
//   [Parent]
//   Front=Photo_
//   Kind=number             number, date, letters or none
//   StartDate=2026-12-08    dates as yyyy-mm-dd
//   Case=upper              upper or lower
//   Line=first free line    one Line key per line of the free-lines box, in order
//   ...
//   [Child]
//   ...
//
// Sections and keys are matched without regard to case; a value is everything after the first
// "=", untouched (texts may begin or end with spaces). Lines end in CRLF, LF or CR and may be of
// any length. Unknown sections and keys are ignored; of a key given twice, the last counts.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "naming/Template.h"

namespace naming {

// One tier as the file keeps it. The spin fields keep their texts, as the window holds them.
struct TierValues {
  std::string front;
  std::string back;
  SequenceKind kind = SequenceKind::Number;
  std::string startNumber = "0";
  std::string endNumber = "0";
  std::string digitCount = "1";
  CalendarDate startDate;
  CalendarDate endDate;
  int dateFormat = 0;
  std::string folderCount = "1";
  int letterCase = 0;
  std::string lettersPerName = "1";
  int position = 0;
  // The lines of the free-lines box as typed (not as wrapped); see FreeLinesOf.
  std::vector<std::string> freeLines;
  friend bool operator==(const TierValues&, const TierValues&) = default;
};

struct TemplateValues {
  TierValues parent;
  TierValues child;
  bool childFolders = false;
  std::string target;  // empty: no folder with a path was selected
  friend bool operator==(const TemplateValues&, const TemplateValues&) = default;
};

// The lines of a box's text, broken at CRLF, CR or LF; an empty text has none, and a text ending
// in a line break ends with an empty line.
std::vector<std::string> FreeLinesOf(std::string_view text);
// The box's text: the lines joined with CRLF.
std::string FreeLinesText(const std::vector<std::string>& lines);

// The file's text. A line break in a one-line text (which its box cannot show) is left out: it
// would end the value.
std::string WriteTemplate(const TemplateValues& values);

// A value the file held that could not be used, and the default used instead.
struct ReplacedValue {
  int line = 0;     // counted from 1
  std::string key;  // "[Parent] EndNumber"
  std::string found;
  std::string used;
};

struct TemplateReading {
  // Unless Read, nothing is taken from the file.
  enum class Status {
    Read,          // values hold the file's values, with `replaced` in place of bad ones
    NoHeader,      // no [Tessarin] section
    NoVersion,     // a [Tessarin] section without a readable Version
    NewerVersion,  // written by a later version of the program
  };
  Status status = Status::NoHeader;
  TemplateValues values;
  std::vector<ReplacedValue> replaced;
  // The line each text value stands on, by key: "[Tessarin] Target", "[Parent] Front", "[Parent]
  // Back", and "[Parent] Line 2" for the second free line (the same for [Child]).
  std::map<std::string, int> lines;
};

// Reads a file's text. A key that is missing takes its value from `defaults`, as does a value
// out of range or unreadable, which is listed in `replaced`. `inexactLines` (counted from 1) are
// lines that lost characters the code page lacks on their way from a Unicode file, each standing
// in the text as its code, "(U+00E9)": a text value on such a line is replaced too.
TemplateReading ReadTemplate(std::string_view text, const TemplateValues& defaults,
                             const std::vector<int>& inexactLines = {});

// Why a file that was read is not taken (any status but Read), as the box and TessarinCmd say it.
std::string NotTakenMessage(const std::string& path, TemplateReading::Status status);

// The first text of the file, as "[Parent] Front" with its line (0 for a default), that the run's
// check searches and `holds` finds, in the check's order: a tier's front and back texts and, where
// its position pattern joins them, its free lines; the parent first, the child with child folders.
std::optional<std::pair<std::string, int>> FirstTextHolding(const TemplateReading& reading,
                                                            bool (*holds)(std::string_view));

// The one box that lists the replaced values: key, the value found, the value used. Long values
// are cut (never inside a double-byte character), a byte that is half a double-byte character is
// shown as its code ("(0x83)"), and a long list ends with how many more.
std::string ReplacedValuesText(const std::vector<ReplacedValue>& replaced);

// A tier's template over the values of a file, for a run without a window. Each line of the
// free lines is one free line: nothing wraps them.
class TierValuesTemplate final : public TierTemplate {
 public:
  explicit TierValuesTemplate(const TierValues& tier) : tier_(tier) {}

  SequenceKind Kind() const override { return tier_.kind; }
  std::string FrontText() const override { return tier_.front; }
  std::string BackText() const override { return tier_.back; }
  int PositionPattern() const override { return tier_.position; }
  std::string StartNumberText() const override { return tier_.startNumber; }
  std::string EndNumberText() const override { return tier_.endNumber; }
  std::string DigitCountText() const override { return tier_.digitCount; }
  CalendarDate StartDate() const override { return tier_.startDate; }
  CalendarDate EndDate() const override { return tier_.endDate; }
  int DateFormatIndex() const override { return tier_.dateFormat; }
  std::string FolderCountText() const override { return tier_.folderCount; }
  std::string LettersPerNameText() const override { return tier_.lettersPerName; }
  int LetterCase() const override { return tier_.letterCase; }
  int FreeLineCount() const override;
  std::string FreeLine(int k) const override;
  std::string FreeLinesText() const override { return naming::FreeLinesText(tier_.freeLines); }

 private:
  const TierValues& tier_;  // not owned
};

// The dates a date picker holds: 1753-01-01 to 9999-12-31.
bool IsPickerDate(const CalendarDate& date);

}  // namespace naming
