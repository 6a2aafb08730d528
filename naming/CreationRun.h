#pragma once
// One press of the create button: checks the templates, creates the parent tier's folders in
// the selected folder and, when wanted, the child tier's folders in each of them, depth first.
// It ends in exactly one outcome, which the window shows in one message box.

#include <cstdint>
#include <string>

#include "naming/DateFormats.h"
#include "naming/Template.h"

namespace naming {

enum class CreateStatus { Made, AlreadyThere, Failed };

struct CreateResult {
  CreateStatus status = CreateStatus::Made;
  std::string reason;  // Failed only: the system's text for why
};

// Makes one directory whose parent must exist (on Windows CreateDirectoryA).
class DirectoryCreator {
 public:
  virtual ~DirectoryCreator() = default;
  virtual CreateResult Create(const std::string& path) = 0;
};

enum class MessageIcon { None, Warning, Stop };

struct RunOutcome {
  enum class Kind {
    ForbiddenCharacters,  // nothing created
    BrokenDoubleByte,     // a text ends in, or holds, half a double-byte character: nothing created
    NoBasePath,           // nothing selected, or a folder without a file-system path: nothing created
    ConversionError,      // a number field is not an integer: nothing created
    Created,              // the run went through; some creations may have failed
  };

  Kind kind = Kind::Created;
  std::string conversionMessage;  // ConversionError: "'%s' は整数ではありません"
  // Created: creations that failed for another reason than "already there", and the first.
  std::uint64_t failures = 0;
  std::string firstFailedPath;
  std::string firstFailureReason;

  // The text and icon of the run's closing box.
  std::string BoxText() const;
  MessageIcon Icon() const;
};

struct RunInputs {
  const TierTemplate& parent;
  const TierTemplate& child;
  const RunSettings& settings;
  const DateFormatTable& dateFormats;
};

// Every field the run will read is converted before the first creation, so a run either creates
// nothing or goes through. Names are made one at a time as the folders are created: a run keeps
// nothing that grows with its folder count.
RunOutcome RunCreation(const RunInputs& inputs, DirectoryCreator& creator);

}  // namespace naming
