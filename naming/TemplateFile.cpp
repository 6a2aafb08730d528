#include "naming/TemplateFile.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

#include "naming/Calendar.h"
#include "naming/Composition.h"
#include "naming/DateFormats.h"
#include "naming/Integer.h"

namespace naming {

namespace {

constexpr int kVersion = 1;
constexpr std::string_view kHeader = "Tessarin";

constexpr std::array<std::string_view, 4> kKindNames = {"number", "date", "letters", "none"};
constexpr std::array<std::string_view, 2> kCaseNames = {"upper", "lower"};

// The ranges of the window's fields.
struct Range {
  int low;
  int high;
};
constexpr Range kNumberRange{0, 999999};
constexpr Range kDigitRange{1, 10};
constexpr Range kCountRange{1, 999999};
constexpr Range kPositionRange{0, 4};
constexpr Range kFormatRange{0, DateFormatTable::kCount - 1};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

std::string WithoutLineBreaks(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != '\r' && c != '\n') out += c;
  return out;
}

std::string DateText(const CalendarDate& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

// 1 to `digits` decimal digits, nothing else.
std::optional<int> Digits(std::string_view text, std::size_t digits) {
  if (text.empty() || text.size() > digits) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::optional<CalendarDate> ParseDate(std::string_view text) {
  const std::size_t first = text.find('-');
  if (first == std::string_view::npos) return std::nullopt;
  const std::size_t second = text.find('-', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  const auto year = Digits(text.substr(0, first), 4);
  const auto month = Digits(text.substr(first + 1, second - first - 1), 2);
  const auto day = Digits(text.substr(second + 1), 2);
  if (!year || !month || !day) return std::nullopt;
  const CalendarDate date{*year, *month, *day};
  if (!IsPickerDate(date)) return std::nullopt;
  return date;
}

template <std::size_t N>
std::optional<int> ParseName(std::string_view text, const std::array<std::string_view, N>& names) {
  for (std::size_t i = 0; i < N; ++i)
    if (SameWord(text, names[i])) return static_cast<int>(i);
  return std::nullopt;
}

void WriteKey(std::string& out, std::string_view key, std::string_view value) {
  out += key;
  out += '=';
  out += value;
  out += "\r\n";
}

void WriteTier(std::string& out, std::string_view section, const TierValues& tier) {
  out += "\r\n[";
  out += section;
  out += "]\r\n";
  WriteKey(out, "Front", WithoutLineBreaks(tier.front));
  WriteKey(out, "Back", WithoutLineBreaks(tier.back));
  WriteKey(out, "Kind", kKindNames[static_cast<std::size_t>(tier.kind)]);
  WriteKey(out, "StartNumber", WithoutLineBreaks(tier.startNumber));
  WriteKey(out, "EndNumber", WithoutLineBreaks(tier.endNumber));
  WriteKey(out, "Digits", WithoutLineBreaks(tier.digitCount));
  WriteKey(out, "StartDate", DateText(tier.startDate));
  WriteKey(out, "EndDate", DateText(tier.endDate));
  WriteKey(out, "DateFormat", std::to_string(tier.dateFormat));
  WriteKey(out, "FolderCount", WithoutLineBreaks(tier.folderCount));
  WriteKey(out, "Case", kCaseNames[tier.letterCase == 1 ? 1 : 0]);
  WriteKey(out, "Letters", WithoutLineBreaks(tier.lettersPerName));
  WriteKey(out, "Position", std::to_string(tier.position));
  for (const std::string& line : tier.freeLines) WriteKey(out, "Line", WithoutLineBreaks(line));
}

// Reads the values of one section into its target, replacing what cannot be used by the default.
// The line being read, the caller's: its number and whether it lost characters on its way into
// the code page.
struct LineState {
  int number = 0;
  bool inexact = false;
};

class SectionReader {
 public:
  SectionReader(std::string section, TemplateReading& reading, const LineState& line)
      : section_(std::move(section)), reading_(reading), line_(line) {}

 protected:
  // Notes the line a text value stands on, for a message about it.
  void Mark(const std::string& name) {
    reading_.lines["[" + section_ + "] " + name] = line_.number;
  }

  void Replace(std::string_view key, std::string_view found, std::string used) {
    reading_.replaced.push_back({line_.number, "[" + section_ + "] " + std::string(key),
                                 std::string(found), std::move(used)});
  }

  // An integer in range; none, after listing the value with `used`, otherwise.
  std::optional<int> Number(std::string_view key, std::string_view value, Range range,
                            const std::string& used) {
    const int number = ToIntegerOr(Trimmed(value), range.low - 1);
    if (number >= range.low && number <= range.high) return number;
    Replace(key, value, used);
    return std::nullopt;
  }

  // A spin field's integer, kept as its decimal text.
  void ReadNumberText(std::string_view key, std::string_view value, Range range,
                      std::string& target, const std::string& fallback) {
    const auto number = Number(key, value, range, fallback);
    target = number ? std::to_string(*number) : fallback;
  }

  void ReadNumber(std::string_view key, std::string_view value, Range range, int& target,
                  int fallback) {
    target = Number(key, value, range, std::to_string(fallback)).value_or(fallback);
  }

  // A text a box can hold: no NUL byte, which would end it there, and every character as the file
  // has it.
  void ReadText(std::string_view key, std::string_view value, std::string& target,
                const std::string& fallback) {
    const std::size_t nul = value.find('\0');
    if (nul == std::string_view::npos && !line_.inexact) {
      target = value;
      return;
    }
    target = fallback;
    Replace(key, value.substr(0, nul), fallback);
  }

 private:
  std::string section_;
  TemplateReading& reading_;
  const LineState& line_;
};

class HeaderReader : public SectionReader {
 public:
  HeaderReader(TemplateReading& reading, const TemplateValues& defaults, const LineState& line)
      : SectionReader(std::string(kHeader), reading, line),
        values_(reading.values),
        defaults_(defaults) {}

  void Read(std::string_view key, std::string_view value) {
    if (SameWord(key, "Version")) {
      version = ToIntegerOr(Trimmed(value), 0);
    } else if (SameWord(key, "Target")) {
      ReadText(key, value, values_.target, defaults_.target);
      Mark("Target");
    } else if (SameWord(key, "ChildFolders")) {
      int ticked = 0;
      ReadNumber(key, value, {0, 1}, ticked, defaults_.childFolders ? 1 : 0);
      values_.childFolders = ticked == 1;
    }
  }

  int version = 0;  // 0 until a readable Version key

 private:
  TemplateValues& values_;
  const TemplateValues& defaults_;
};

class TierReader : public SectionReader {
 public:
  TierReader(std::string section, TierValues& tier, const TierValues& defaults,
             TemplateReading& reading, const LineState& line)
      : SectionReader(std::move(section), reading, line), tier_(tier), defaults_(defaults) {}

  void Read(std::string_view key, std::string_view value) {
    TierValues& t = tier_;
    const TierValues& d = defaults_;
    if (SameWord(key, "Line")) {
      if (!linesSeen_) t.freeLines.clear();  // the file's lines replace the default ones
      linesSeen_ = true;
      std::string line;
      ReadText(key, value, line, {});
      t.freeLines.push_back(std::move(line));
      Mark("Line " + std::to_string(t.freeLines.size()));
    } else if (SameWord(key, "Front")) {
      ReadText(key, value, t.front, d.front);
      Mark("Front");
    } else if (SameWord(key, "Back")) {
      ReadText(key, value, t.back, d.back);
      Mark("Back");
    } else if (SameWord(key, "Kind")) {
      ReadChoice(key, value, kKindNames, t.kind, d.kind);
    } else if (SameWord(key, "StartNumber")) {
      ReadNumberText(key, value, kNumberRange, t.startNumber, d.startNumber);
    } else if (SameWord(key, "EndNumber")) {
      ReadNumberText(key, value, kNumberRange, t.endNumber, d.endNumber);
    } else if (SameWord(key, "Digits")) {
      ReadNumberText(key, value, kDigitRange, t.digitCount, d.digitCount);
    } else if (SameWord(key, "StartDate")) {
      ReadDate(key, value, t.startDate, d.startDate);
    } else if (SameWord(key, "EndDate")) {
      ReadDate(key, value, t.endDate, d.endDate);
    } else if (SameWord(key, "DateFormat")) {
      ReadNumber(key, value, kFormatRange, t.dateFormat, d.dateFormat);
    } else if (SameWord(key, "FolderCount")) {
      ReadNumberText(key, value, kCountRange, t.folderCount, d.folderCount);
    } else if (SameWord(key, "Case")) {
      ReadChoice(key, value, kCaseNames, t.letterCase, d.letterCase);
    } else if (SameWord(key, "Letters")) {
      ReadNumberText(key, value, kDigitRange, t.lettersPerName, d.lettersPerName);
    } else if (SameWord(key, "Position")) {
      ReadNumber(key, value, kPositionRange, t.position, d.position);
    }
  }

 private:
  template <typename T, std::size_t N>
  void ReadChoice(std::string_view key, std::string_view value,
                  const std::array<std::string_view, N>& names, T& target, T fallback) {
    if (const auto index = ParseName(Trimmed(value), names)) {
      target = static_cast<T>(*index);
      return;
    }
    target = fallback;
    Replace(key, value, std::string(names[static_cast<std::size_t>(fallback)]));
  }

  void ReadDate(std::string_view key, std::string_view value, CalendarDate& target,
                const CalendarDate& fallback) {
    if (const auto date = ParseDate(Trimmed(value))) {
      target = *date;
      return;
    }
    target = fallback;
    Replace(key, value, DateText(fallback));
  }

  TierValues& tier_;
  const TierValues& defaults_;
  bool linesSeen_ = false;
};

// Cuts a long value for the box, at a character boundary of code page 932. Half a double-byte
// character is shown as its code: next to the closing quote it would take the quote for its
// second byte.
std::string Shortened(std::string_view text) {
  constexpr std::size_t kLongest = 40;
  std::string shown;
  std::size_t end = 0;
  while (end < text.size() && end < kLongest) {
    const std::size_t length = CharacterLength(text, end);
    if (length == 1 && HasBrokenDoubleByteCharacter(text.substr(end, 1))) {
      char code[8];
      std::snprintf(code, sizeof code, "(0x%02X)", static_cast<unsigned char>(text[end]));
      shown += code;
    } else if (end + length > kLongest) {
      break;
    } else {
      shown.append(text.substr(end, length));
    }
    end += length;
  }
  if (end < text.size()) shown += "...";
  return shown;
}

}  // namespace

int TierValuesTemplate::FreeLineCount() const {
  // As the window counts: an empty last line is not a free line.
  const auto count = static_cast<int>(tier_.freeLines.size());
  return count > 0 && tier_.freeLines.back().empty() ? count - 1 : count;
}

std::string TierValuesTemplate::FreeLine(int k) const {
  return k >= 0 && k < FreeLineCount() ? tier_.freeLines[static_cast<std::size_t>(k)]
                                       : std::string();
}

bool IsPickerDate(const CalendarDate& date) {
  if (date.year < 1753 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1 ||
      date.day > 31)
    return false;
  return DateOfDayNumber(DayNumber(date)) == date;
}

std::vector<std::string> FreeLinesOf(std::string_view text) {
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  return lines;
}

std::string FreeLinesText(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += lines[i];
  }
  return text;
}

std::string WriteTemplate(const TemplateValues& values) {
  std::string out = "; Tessarin template\r\n[";
  out += kHeader;
  out += "]\r\n";
  WriteKey(out, "Version", std::to_string(kVersion));
  WriteKey(out, "Target", WithoutLineBreaks(values.target));
  WriteKey(out, "ChildFolders", values.childFolders ? "1" : "0");
  WriteTier(out, "Parent", values.parent);
  WriteTier(out, "Child", values.child);
  return out;
}

TemplateReading ReadTemplate(std::string_view text, const TemplateValues& defaults,
                             const std::vector<int>& inexactLines) {
  TemplateReading reading;
  reading.values = defaults;
  LineState line;
  bool afterCr = false;
  bool headerSeen = false;
  HeaderReader header(reading, defaults, line);
  TierReader parent("Parent", reading.values.parent, defaults.parent, reading, line);
  TierReader child("Child", reading.values.child, defaults.child, reading, line);
  enum class Section { Other, Header, Parent, Child } section = Section::Other;

  while (!text.empty()) {
    // A lone CR ends a line too (the blank line between CR and LF is skipped), so no value
    // holds a line break.
    // The LF of a CRLF ends no line of its own.
    if (afterCr && text.front() == '\n') {
      text.remove_prefix(1);
      afterCr = false;
      continue;
    }
    const std::size_t end = text.find_first_of("\r\n");
    const std::string_view content = text.substr(0, end);
    afterCr = end != std::string_view::npos && text[end] == '\r';
    ++line.number;
    line.inexact =
        std::find(inexactLines.begin(), inexactLines.end(), line.number) != inexactLines.end();
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);

    const std::string_view bare = Trimmed(content);
    if (bare.empty() || bare.front() == ';' || bare.front() == '#') continue;
    if (bare.front() == '[' && bare.back() == ']') {
      const std::string_view name = Trimmed(bare.substr(1, bare.size() - 2));
      section = SameWord(name, kHeader)    ? Section::Header
                : SameWord(name, "Parent") ? Section::Parent
                : SameWord(name, "Child")  ? Section::Child
                                           : Section::Other;
      headerSeen = headerSeen || section == Section::Header;
      continue;
    }
    const std::size_t equals = content.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = Trimmed(content.substr(0, equals));
    const std::string_view value = content.substr(equals + 1);
    switch (section) {
      case Section::Header: header.Read(key, value); break;
      case Section::Parent: parent.Read(key, value); break;
      case Section::Child: child.Read(key, value); break;
      case Section::Other: break;
    }
  }

  using Status = TemplateReading::Status;
  reading.status = !headerSeen                 ? Status::NoHeader
                   : header.version < 1        ? Status::NoVersion
                   : header.version > kVersion ? Status::NewerVersion
                                               : Status::Read;
  if (reading.status != Status::Read) {
    reading.values = defaults;
    reading.replaced.clear();
    reading.lines.clear();
  }
  return reading;
}

std::string NotTakenMessage(const std::string& path, TemplateReading::Status status) {
  switch (status) {
    case TemplateReading::Status::NoHeader:
      return path + " は Tessarin のテンプレートではありません。[Tessarin] の節がありません。";
    case TemplateReading::Status::NoVersion:
      return path +
             " は Tessarin のテンプレートではありません。[Tessarin] の節に Version がありません。";
    case TemplateReading::Status::NewerVersion:
      return path + " は新しい版の Tessarin のテンプレートです。";
    case TemplateReading::Status::Read: break;
  }
  return {};
}

std::optional<std::pair<std::string, int>> FirstTextHolding(const TemplateReading& reading,
                                                            bool (*holds)(std::string_view)) {
  const std::pair<std::string, const TierValues*> tiers[] = {{"Parent", &reading.values.parent},
                                                             {"Child", &reading.values.child}};
  for (const auto& [section, tier] : tiers) {
    if (tier == &reading.values.child && !reading.values.childFolders) break;
    std::vector<std::pair<std::string, const std::string*>> texts = {{"Front", &tier->front},
                                                                     {"Back", &tier->back}};
    if (UsesFreeLines(tier->position)) {
      for (std::size_t k = 0; k < tier->freeLines.size(); ++k)
        texts.emplace_back("Line " + std::to_string(k + 1), &tier->freeLines[k]);
    }
    for (const auto& [name, text] : texts) {
      if (!holds(*text)) continue;
      std::string key = section;
      key.insert(0, 1, '[').append("] ").append(name);
      const auto line = reading.lines.find(key);
      return std::make_pair(key, line == reading.lines.end() ? 0 : line->second);
    }
  }
  return std::nullopt;
}

std::string ReplacedValuesText(const std::vector<ReplacedValue>& replaced) {
  constexpr std::size_t kListed = 20;
  std::string text = "テンプレートの次の値は使えないため、既定値に替えました。\n";
  for (std::size_t i = 0; i < replaced.size() && i < kListed; ++i) {
    const ReplacedValue& value = replaced[i];
    text += "\n" + value.key + ": \"" + Shortened(value.found) + "\" → \"" + Shortened(value.used) +
            "\"";
  }
  if (replaced.size() > kListed)
    text += "\nほか " + std::to_string(replaced.size() - kListed) + " 件";
  return text;
}

}  // namespace naming
