#pragma once
// The link from a path combo box or a file list to the folder tree that follows it. The control
// raises the events and knows nothing of the tree; the tree fills them when it links and empties
// them when it unlinks. The link ends by Unlink from either side, or as the control goes.

#include <windows.h>
#include <shlobj.h>

#include <functional>
#include <utility>

class TWinControl;

class TShellLink {
 public:
  TShellLink() = default;
  TShellLink(const TShellLink&) = delete;
  TShellLink& operator=(const TShellLink&) = delete;
  ~TShellLink() { Unlink(); }

  // The control that follows the events, null for none.
  const TWinControl* Follower() const noexcept { return follower_; }
  // Starts a link; `onUnlinked` runs once, when it ends.
  void Link(const TWinControl& follower, std::function<void()> onUnlinked) {
    Unlink();
    follower_ = &follower;
    onUnlinked_ = std::move(onUnlinked);
  }
  // Ends the link, if any: every event is emptied and the follower hears of it.
  void Unlink() noexcept {
    const std::function<void()> unlinked = std::move(onUnlinked_);
    onUnlinked_ = nullptr;
    follower_ = nullptr;
    OnFolderChosen = nullptr;
    OnSettingsChanged = nullptr;
    OnFolderGone = nullptr;
    OnItemsDeleted = nullptr;
    if (unlinked) unlinked();
  }

  // The user chose a folder in the control.
  std::function<void(LPCITEMIDLIST folder)> OnFolderChosen;
  // The control's IncludeHidden or ShVirtuaItems changed.
  std::function<void()> OnSettingsChanged;
  // The folder the control showed has vanished.
  std::function<void()> OnFolderGone;
  // The user deleted items shown in the control.
  std::function<void()> OnItemsDeleted;

 private:
  const TWinControl* follower_ = nullptr;
  std::function<void()> onUnlinked_;
};
