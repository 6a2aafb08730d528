#pragma once
// Folder names and paths, and the check for characters no folder name may hold.

#include <string>
#include <string_view>

#include "naming/Template.h"

namespace naming {

// True when the position pattern joins free lines into the names (any entry but 0).
bool UsesFreeLines(int positionPattern);

// Joins front text A, sequence text S, back text B and free line F in the order the position
// pattern gives; nothing is trimmed, inserted or validated. A pattern outside 0 to 4 counts
// as entry 0.
std::string ComposeName(int positionPattern, std::string_view front, std::string_view sequence,
                        std::string_view back, std::string_view freeLine);

// base + "\" + name, even when the base already ends with a backslash (the platform reads the
// doubled separator of C:\\name as one).
std::string FolderPath(std::string_view base, std::string_view name);

// True when `text`, read as code page 932, holds one of the twelve forbidden characters. A byte
// that is the second half of a double-byte character is never a match: ソ is 83 5C, ポ 83 7C.
bool HasForbiddenCharacter(std::string_view text);

// The bytes of the code page 932 character at text[at]: 2 for a whole double-byte character, else
// 1 (half a double-byte character counts as one of its own).
std::size_t CharacterLength(std::string_view text, std::size_t at);

// True when `text`, read as code page 932, holds a double-byte character cut short: a lead byte
// at the end, or one followed by a byte that cannot be a second byte. Joined to the next piece of
// a name, such a lead byte would swallow that piece's first byte, a path separator included.
bool HasBrokenDoubleByteCharacter(std::string_view text);

// Passes (true) when no searched text holds a forbidden character: the parent tier's front and
// back text, its whole free-lines text when its pattern uses free lines, and the same of the
// child tier when child folders are wanted.
bool CharErrCheck(const TierTemplate& parent, const TierTemplate& child, bool childFolders);

// Passes (true) when no text that CharErrCheck searches holds a broken double-byte character.
bool DoubleByteCheck(const TierTemplate& parent, const TierTemplate& child, bool childFolders);

// Why a file or folder cannot take a new name; None when it can.
enum class NameRefusal { None, Empty, ForbiddenCharacter, TooLong, Taken };

// The number of characters of code page 932 text: a double-byte character counts once.
int CharacterCount(std::string_view text);
// True when the path ends in a separator of its own, as a drive's root does; a 5C that is the
// second byte of a character (ソ) is none.
bool EndsWithSeparator(std::string_view path);
// The most characters a name may have in the folder `parentPath` (empty for a folder outside the
// file system): the whole path stays within the system's 259 characters and the name within 255.
int LongestName(std::string_view parentPath);
// The rules a new name meets by itself in the folder `parentPath`: not empty, none of
// \ / : * ? " < > | (trail bytes never count), not too long. Whether the name is taken is the
// file system's to say.
NameRefusal CheckNewName(std::string_view name, std::string_view parentPath);
// The message that tells the user why `name` was refused; `longest` is LongestName's answer.
std::string NameRefusalMessage(NameRefusal refusal, std::string_view name, int longest);

// The two-line messages a run shows when CharErrCheck or DoubleByteCheck fails.
std::string ForbiddenCharacterMessage();
std::string BrokenDoubleByteMessage();

}  // namespace naming
