#include "app/RecentTemplates.h"

#include <windows.h>

#include <algorithm>

#include "app/TemplateDisk.h"

namespace app {

namespace {

constexpr const char* kSection = "Tessarin";

std::string KeyOf(int index) { return "Recent" + std::to_string(index + 1); }

}  // namespace

TRecentTemplates::TRecentTemplates(const TSettingsFile& settings) : settings_(settings) {
  for (int i = 0; i < kCount; ++i) {
    const auto path = settings_.ReadString(kSection, KeyOf(i).c_str());
    if (path && !path->empty()) files_.push_back(*path);
  }
}

std::string TRecentTemplates::LastFolder() const {
  return files_.empty() ? std::string() : FolderOf(files_.front());
}

void TRecentTemplates::Add(std::string path) {
  std::erase_if(
      files_, [&](const std::string& file) { return lstrcmpiA(file.c_str(), path.c_str()) == 0; });
  files_.insert(files_.begin(), std::move(path));
  if (files_.size() > kCount) files_.resize(kCount);
  Store();
}

void TRecentTemplates::Remove(std::string path) {
  std::erase_if(files_, [&](const std::string& file) { return file == path; });
  Store();
}

// Written as it changes: a second window, or a crash, finds the list as the user left it.
void TRecentTemplates::Store() const {
  for (int i = 0; i < kCount; ++i) {
    const auto index = static_cast<std::size_t>(i);
    settings_.WriteString(kSection, KeyOf(i).c_str(),
                          index < files_.size() ? files_[index] : std::string());
  }
}

}  // namespace app
