#pragma once
// One press of the create button: checks the templates, creates the parent tier's folders in
// the selected folder and, when wanted, the child tier's folders in each of them, depth first.
// It ends in exactly one outcome, which the window shows in one message box.

#include <cstdint>
#include <string>

#include "naming/DateFormats.h"
#include "naming/RunRecord.h"
#include "naming/Template.h"

namespace naming {

enum class CreateStatus { Made, AlreadyThere, Failed };

struct CreateResult {
  CreateStatus status = CreateStatus::Made;
  std::string reason;  // Failed only: the system's text for why
};

// Makes one directory whose parent must exist (on Windows CreateDirectoryA). The run inspects its
// first and last folder, to learn the span of time its folders were stamped in.
class DirectoryCreator : public FolderInspector {
 public:
  virtual CreateResult Create(const std::string& path) = 0;
};

enum class MessageIcon { None, Warning, Stop };

struct RunOutcome {
  enum class Kind {
    ForbiddenCharacters,  // nothing created
    BrokenDoubleByte,     // a text ends in, or holds, half a double-byte character: nothing created
    NoBasePath,       // nothing selected, or a folder without a file-system path: nothing created
    ConversionError,  // a number field is not an integer: nothing created
    Cancelled,        // the user said no to a large run: nothing created, no box
    Created,          // the run went through or was stopped; some creations may have failed
  };

  Kind kind = Kind::Created;
  std::string conversionMessage;  // ConversionError: "'%s' は整数ではありません"
  // Created: the user stopped the run part-way, and the folders it made until then.
  bool stopped = false;
  std::uint64_t made = 0;
  // Created: what the run made, for taking it back.
  RunRecord record;
  // Created: creations that found their folder there already.
  std::uint64_t existing = 0;
  // Created: creations that failed for another reason than "already there", and the first.
  std::uint64_t failures = 0;
  std::string firstFailedPath;
  std::string firstFailureReason;

  // The text and icon of the run's closing box; no text for a cancelled run. A run that made
  // nothing says why: nothing to make, everything there already, or every creation failed.
  std::string BoxText() const;
  MessageIcon Icon() const;
};

struct RunInputs {
  const TierTemplate& parent;
  const TierTemplate& child;
  const RunSettings& settings;
  const DateFormatTable& dateFormats;
};

// What a large run looks like before it starts.
struct RunPlan {
  static constexpr std::uint64_t kConfirmAbove = 1000;

  std::uint64_t total = 0;  // creation calls: N, or N x (1 + M)
  std::string firstPath;
  std::string lastPath;

  bool NeedsConfirmation() const { return total > kConfirmAbove; }
};

// The user's say in a long task (a run, an undo), between its steps, on the task's own thread.
class ProgressControl {
 public:
  virtual ~ProgressControl() = default;
  // Asked before each step: `done` of `total` steps so far, `path` the next one's folder. False
  // stops the task there.
  virtual bool Continue(std::uint64_t done, std::uint64_t total, const std::string& path) = 0;
};

// The user's say in a run: the steps are its creation calls.
class RunControl : public ProgressControl {
 public:
  // Asked once, before anything is made, when the plan needs confirmation; false makes nothing.
  virtual bool Confirm(const RunPlan& plan) = 0;
};

// Every field the run will read is converted before the first creation, so a run either creates
// nothing or goes through (unless `control` stops it). Names are made one at a time as the folders
// are created; what the run keeps for its record is the names of the folders it made, and the span
// of time the file system stamped them in. Without a control the run neither asks nor stops.
RunOutcome RunCreation(const RunInputs& inputs, DirectoryCreator& creator,
                       RunControl* control = nullptr);

}  // namespace naming
