#pragma once
// The Windows side of the naming core: the locale's alternative calendar and directory creation.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "naming/CreationRun.h"
#include "naming/DiskView.h"
#include "naming/JapaneseEra.h"
#include "naming/Undo.h"

namespace app {

// GetDateFormatA with the thread locale and the alternative-calendar flag, pictures "gg" and
// "yy". Whether its answers are Japanese eras is the core's probe to decide.
class Win32AlternativeCalendar final : public naming::AlternativeCalendar {
 public:
  std::optional<naming::EraText> EraOf(const naming::CalendarDate& date) const override;
};

// CreateDirectoryA with no security attributes. A failure that leaves a directory at the path
// (it existed, or the path names the base folder itself) is "already there", one that finds a file
// there says so in the lists' words; any other failure carries the system's text for its error
// code.
class Win32DirectoryCreator final : public naming::DirectoryCreator {
 public:
  naming::CreateResult Create(const std::string& path) override;
  naming::FolderFacts Inspect(const std::string& path) override;
};

// RemoveDirectoryA, which removes only an empty directory. A path that no longer exists is gone,
// one that holds anything is not empty; any other failure carries the system's text. A listing
// asks only for what the stamps need, in large batches (FindFirstFileExA).
class Win32DirectoryRemover final : public naming::DirectoryRemover {
 public:
  naming::RemoveResult Remove(const std::string& path) override;
  naming::FolderFacts Inspect(const std::string& path) override;
  std::optional<naming::Listing> List(const std::string& directory, std::size_t most) override;
  // By the volume's file system: NTFS and ReFS stamp a folder whose entries change.
  bool WritesFollowEntries(const std::string& directory) override;
};

// The file system as the lists read it before a run: names compared as Windows compares them
// (converted from the ANSI code page and upper-cased as the system upper-cases them), and each
// folder in one listing (FindFirstFileExW, large batches), its short names too, which name the
// same entries. It keeps nothing: one serves every thread.
class Win32DiskReader final : public naming::DiskReader, public naming::NameFolding {
 public:
  std::string Fold(std::string_view name) const override;
  const naming::NameFolding& Folding() const override { return *this; }
  naming::FolderContents Read(const std::string& folder) const override;
};

// The one the lists use; it lasts as long as the program.
const Win32DiskReader& DiskReader();

// GetFileAttributesExA: missing, a folder with its creation time, or something else.
naming::FolderFacts InspectFolder(const std::string& path);

// The system's text for an error code, without its closing line break.
std::string SystemErrorText(unsigned long error);

}  // namespace app
