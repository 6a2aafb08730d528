#include "naming/Composition.h"

#include <algorithm>
#include <string>

namespace naming {

namespace {

// In the order the message lists them.
constexpr std::string_view kForbidden = "\\?/\";:,<>!*|";
// What the file system refuses in the name of a file or folder.
constexpr std::string_view kNotInNames = "\\/:*?\"<>|";
// The longest path the system's ANSI calls take, without its closing zero, and the longest name
// one folder holds, in characters.
constexpr int kLongestPath = 259;
constexpr int kLongestNameInFolder = 255;

bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsTrailByte(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// Whether `text`, read as code page 932, holds a single-byte character of `characters`.
bool HoldsOneOf(std::string_view text, std::string_view characters) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(text[i]))) {
      ++i;  // skip the second byte: it is part of the character, whatever its value
      continue;
    }
    if (characters.find(text[i]) != std::string_view::npos) return true;
  }
  return false;
}

using TextTest = bool (*)(std::string_view);

bool TierHolds(const TierTemplate& tier, TextTest found) {
  return found(tier.FrontText()) || found(tier.BackText()) ||
         (UsesFreeLines(tier.PositionPattern()) && found(tier.FreeLinesText()));
}

// Stopping at the first find gives the same answer as searching every text: reading the controls
// has no effects.
bool SearchedTextsHold(const TierTemplate& parent, const TierTemplate& child, bool childFolders,
                       TextTest found) {
  return TierHolds(parent, found) || (childFolders && TierHolds(child, found));
}

}  // namespace

bool UsesFreeLines(int positionPattern) {
  return positionPattern >= static_cast<int>(Position::AfterBack) &&
         positionPattern <= static_cast<int>(Position::First);
}

std::string ComposeName(int positionPattern, std::string_view front, std::string_view sequence,
                        std::string_view back, std::string_view freeLine) {
  std::string name;
  name.reserve(front.size() + sequence.size() + back.size() + freeLine.size());
  auto join = [&name](std::string_view a, std::string_view b, std::string_view c,
                      std::string_view d) { name.append(a).append(b).append(c).append(d); };
  switch (static_cast<Position>(positionPattern)) {
    case Position::AfterBack: join(front, sequence, back, freeLine); break;
    case Position::BeforeBack: join(front, sequence, freeLine, back); break;
    case Position::AfterFront: join(front, freeLine, sequence, back); break;
    case Position::First: join(freeLine, front, sequence, back); break;
    default: join(front, sequence, back, {}); break;
  }
  return name;
}

std::string FolderPath(std::string_view base, std::string_view name) {
  std::string path;
  path.reserve(base.size() + 1 + name.size());
  path.append(base).append(1, '\\').append(name);
  return path;
}

bool HasForbiddenCharacter(std::string_view text) { return HoldsOneOf(text, kForbidden); }

std::size_t CharacterLength(std::string_view text, std::size_t at) {
  return at + 1 < text.size() && IsLeadByte(static_cast<unsigned char>(text[at])) &&
                 IsTrailByte(static_cast<unsigned char>(text[at + 1]))
             ? 2
             : 1;
}

bool HasBrokenDoubleByteCharacter(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!IsLeadByte(static_cast<unsigned char>(text[i]))) continue;
    if (++i == text.size() || !IsTrailByte(static_cast<unsigned char>(text[i]))) return true;
  }
  return false;
}

bool CharErrCheck(const TierTemplate& parent, const TierTemplate& child, bool childFolders) {
  return !SearchedTextsHold(parent, child, childFolders, HasForbiddenCharacter);
}

bool DoubleByteCheck(const TierTemplate& parent, const TierTemplate& child, bool childFolders) {
  return !SearchedTextsHold(parent, child, childFolders, HasBrokenDoubleByteCharacter);
}

std::string ForbiddenCharacterMessage() {
  std::string message = "ファイル名に使用できない文字[ ";
  message += kForbidden;
  message += " ]があるため\r\nフォルダを作成できませんでした";
  return message;
}

int CharacterCount(std::string_view text) {
  int count = 0;
  for (std::size_t i = 0; i < text.size(); ++i, ++count)
    if (IsLeadByte(static_cast<unsigned char>(text[i]))) ++i;
  return count;
}

bool EndsWithSeparator(std::string_view path) {
  return !path.empty() && path.back() == '\\' &&
         !HasBrokenDoubleByteCharacter(path.substr(0, path.size() - 1));
}

int LongestName(std::string_view parentPath) {
  if (parentPath.empty()) return kLongestNameInFolder;
  // A drive's root ends in its separator.
  const int room =
      kLongestPath - CharacterCount(parentPath) - (EndsWithSeparator(parentPath) ? 0 : 1);
  return std::clamp(room, 0, kLongestNameInFolder);
}

NameRefusal CheckNewName(std::string_view name, std::string_view parentPath) {
  if (name.empty()) return NameRefusal::Empty;
  if (HoldsOneOf(name, kNotInNames)) return NameRefusal::ForbiddenCharacter;
  if (CharacterCount(name) > LongestName(parentPath)) return NameRefusal::TooLong;
  return NameRefusal::None;
}

std::string NameRefusalMessage(NameRefusal refusal, std::string_view name, int longest) {
  switch (refusal) {
    case NameRefusal::Empty: return "名前を入力してください。";
    case NameRefusal::ForbiddenCharacter:
      return "名前に次の文字は使えません。\r\n\\ / : * ? \" < > |";
    case NameRefusal::TooLong:
      return "名前が長すぎます。この場所では " + std::to_string(longest) + " 文字までです。";
    case NameRefusal::Taken:
      return "「" + std::string(name) +
             "」という名前は既にあります。\r\n別の名前を入力してください。";
    default: return {};
  }
}

std::string BrokenDoubleByteMessage() {
  return "不完全な2バイト文字があるため\r\nフォルダを作成できませんでした。";
}

}  // namespace naming
