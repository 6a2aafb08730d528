#pragma once
// The template files last opened or saved, newest first, kept in the settings file as "Recent1"
// to "Recent4" of section "Tessarin".

#include <string>
#include <vector>

#include "app/Settings.h"

namespace app {

class TRecentTemplates {
 public:
  static constexpr int kCount = 4;

  // Reads the list; `settings` must outlive it.
  explicit TRecentTemplates(const TSettingsFile& settings);

  const std::vector<std::string>& Files() const { return files_; }
  // The folder of the newest file, where the dialogs start; empty while there is none.
  std::string LastFolder() const;
  // Puts the file first (once: paths are compared without regard to case) and stores the list.
  void Add(std::string path);
  // Takes the file off the list (one that is gone) and stores the list.
  void Remove(std::string path);

 private:
  void Store() const;

  const TSettingsFile& settings_;  // not owned
  std::vector<std::string> files_;
};

}  // namespace app
