#pragma once
// The file that keeps the last run's undo record between two starts of the program: beside the
// settings file, in the Windows directory, as the record's own text.

#include <string>

#include "naming/RunRecord.h"

namespace app {

class TUndoFile {
 public:
  explicit TUndoFile(std::string path) : path_(std::move(path)) {}
  // "<Windows directory>\<name>", where the private-profile functions put a bare settings name.
  static TUndoFile InWindowsDirectory(const std::string& name);

  const std::string& Path() const { return path_; }

  struct Loaded {
    naming::RunRecord record;  // empty when there is no file, or one that cannot be used
    std::string note;          // one line on a file that was damaged or of another version
  };
  Loaded Read() const;
  // Replaces the file as a whole, so that it is never left half written; a record that holds
  // nothing removes it. False when it cannot be written; the file then holds no record at all
  // (an older one is removed, or emptied), so that no older run comes back.
  bool Write(const naming::RunRecord& record) const;

 private:
  bool Replace(const std::string& text) const;
  // True when no record is left in the file.
  bool Remove() const;

  std::string path_;
};

}  // namespace app
