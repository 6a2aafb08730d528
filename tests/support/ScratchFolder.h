#pragma once
// A folder of a test's own under the temporary directory, removed with everything in it when the
// test is done. Paths are ANSI (code page 932) texts.

#include <string>
#include <vector>

class TScratchFolder {
 public:
  // Creates <temp>\TessarinTests\<name>-<process>-<n>.
  explicit TScratchFolder(const std::string& name);
  ~TScratchFolder();
  TScratchFolder(const TScratchFolder&) = delete;
  TScratchFolder& operator=(const TScratchFolder&) = delete;

  // The folder's path, without a trailing backslash.
  const std::string& Path() const { return path_; }
  // Path() + "\" + relative.
  std::string PathOf(const std::string& relative) const;
  // Creates the folder `relative` and any missing folders above it; returns its path.
  std::string MakeFolder(const std::string& relative) const;
  // Creates (or replaces) the file `relative` with `content`; returns its path.
  std::string MakeFile(const std::string& relative, const std::string& content = {}) const;

 private:
  std::string path_;
};

// Deletes a folder with all its files and sub-folders; true when it is gone.
bool RemoveFolderTree(const std::string& path);

// The names of the folders directly inside `path`, sorted.
std::vector<std::string> FolderNames(const std::string& path);

// The folders below `path`, depth first and sorted, as paths relative to it.
std::vector<std::string> FolderTree(const std::string& path);
