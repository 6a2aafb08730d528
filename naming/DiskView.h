#pragma once
// The file system as a listing sees it before a run: names compared as the file system compares
// them, and each folder read once, in one listing of its entries.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace naming {

// Turns a name into the key the file system compares names by (on Windows its upper-casing of the
// UTF-16 text). A name's key is its characters' keys in order, each character giving one key of
// its own: two texts whose keys differ differ in a character.
class NameFolding {
 public:
  virtual ~NameFolding() = default;
  virtual std::string Fold(std::string_view name) const = 0;
};

// One folder's entries by key, or why none can be made in it.
class FolderContents {
 public:
  enum class Entry { None, Folder, File };

  // The entries as keys, each with true for a folder.
  static FolderContents Listed(std::vector<std::pair<std::string, bool>> entries);
  // The folder is not there (or is a file); `reason` is what making a folder in it reports.
  static FolderContents Missing(std::string reason);
  // The folder is there, but cannot be read, and making a folder in it fails for `reason`.
  static FolderContents Unreadable(std::string reason);

  bool Exists() const { return !missing_; }
  // Empty when folders can be made in it.
  const std::string& Refusal() const { return reason_; }
  Entry Find(const std::string& key) const;

 private:
  FolderContents() = default;
  std::vector<std::pair<std::string, bool>> entries_;  // sorted by key
  std::string reason_;
  bool missing_ = false;
};

class DiskReader {
 public:
  virtual ~DiskReader() = default;
  // The folding its keys are made with.
  virtual const NameFolding& Folding() const = 0;
  virtual FolderContents Read(const std::string& folder) const = 0;
};

// The folders one reader of a listing has read: the target folder, and the last folder below it.
// A listing read in run order reads each folder once. One per thread.
class DiskCache {
 public:
  // `reader` must outlive the cache.
  explicit DiskCache(const DiskReader& reader) : reader_(reader) {}

  const FolderContents& Target(const std::string& path);
  // A folder directly in the target folder, known by its key.
  const FolderContents& Below(const std::string& key, const std::string& path);

 private:
  const DiskReader& reader_;  // not owned
  std::optional<FolderContents> target_;
  std::string belowKey_;
  std::optional<FolderContents> below_;
};

}  // namespace naming
