#include "naming/DiskView.h"

#include <algorithm>

namespace naming {

FolderContents FolderContents::Listed(std::vector<std::pair<std::string, bool>> entries) {
  FolderContents contents;
  std::sort(entries.begin(), entries.end());
  contents.entries_ = std::move(entries);
  return contents;
}

FolderContents FolderContents::Missing(std::string reason) {
  FolderContents contents;
  contents.missing_ = true;
  contents.reason_ = std::move(reason);
  return contents;
}

FolderContents FolderContents::Unreadable(std::string reason) {
  FolderContents contents;
  contents.reason_ = std::move(reason);
  return contents;
}

FolderContents::Entry FolderContents::Find(const std::string& key) const {
  const auto found = std::lower_bound(entries_.begin(), entries_.end(), key,
                                      [](const std::pair<std::string, bool>& entry,
                                         const std::string& k) { return entry.first < k; });
  if (found == entries_.end() || found->first != key) return Entry::None;
  return found->second ? Entry::Folder : Entry::File;
}

const FolderContents& DiskCache::Target(const std::string& path) {
  if (!target_) target_ = reader_.Read(path);
  return *target_;
}

const FolderContents& DiskCache::Below(const std::string& key, const std::string& path) {
  if (!below_ || belowKey_ != key) {
    below_ = reader_.Read(path);
    belowKey_ = key;
  }
  return *below_;
}

}  // namespace naming
