#include "shell/ShellNotify.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "shell/ShellUtils.h"

namespace {

// Slots of the directory watcher's wait array.
constexpr DWORD kStopSlot = 0;
constexpr DWORD kDeviceSlot = 1;
constexpr DWORD kDirectorySetSlot = 2;
constexpr DWORD kFirstChangeSlot = 3;

// Slots of the files watcher's wait array.
constexpr DWORD kPathSlot = 1;
constexpr DWORD kChangeSlot = 2;

constexpr BOOL kWatchSubtree = TRUE;

// A failing Windows call of a watcher's own run. It ends the watcher quietly; any other error,
// one a handler raises included, goes on to the application's error box.
class TWatchFailure : public std::system_error {
 public:
  using std::system_error::system_error;
};

[[noreturn]] void ThrowLastError(const char* call) {
  throw TWatchFailure(static_cast<int>(GetLastError()), std::system_category(), call);
}

// Case-insensitive order of folder texts, double-byte aware in the user's code page.
int CompareIgnoringCase(const std::string& first, const std::string& second) {
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, first.c_str(),
                        static_cast<int>(first.size()), second.c_str(),
                        static_cast<int>(second.size()));
}

// The existing folders of `directories`, each ending in a backslash, sorted case-insensitively;
// of folders that differ only in case the first stays.
std::vector<std::string> DirectorySet(const std::vector<std::string>& directories) {
  std::vector<std::string> set;
  for (const std::string& directory : directories) {
    if (!FolderExists(directory)) continue;
    std::string folder = WithTrailingBackslash(directory);
    auto position = std::lower_bound(set.begin(), set.end(), folder,
                                     [](const std::string& a, const std::string& b) {
                                       return CompareIgnoringCase(a, b) == CSTR_LESS_THAN;
                                     });
    if (position != set.end() && CompareIgnoringCase(*position, folder) == CSTR_EQUAL) continue;
    set.insert(position, std::move(folder));
  }
  return set;
}

// Closes a watch; a failure ends the watcher (the handle is given up either way).
void CloseWatch(TChangeHandle& change) {
  if (!change.Close()) ThrowLastError("FindCloseChangeNotification");
}

// Waits for the watch's next change; false when it cannot.
bool RearmWatch(const TChangeHandle& change) noexcept {
  return FindNextChangeNotification(change.Get()) != FALSE;
}

// Runs `handler` with `arguments` when it is set. A copy runs: a handler may clear the original
// (Stop) while it runs.
template <typename Handler, typename... Arguments>
void CallIfSet(const Handler& handler, Arguments&&... arguments) {
  if (Handler copy = handler) copy(std::forward<Arguments>(arguments)...);
}

}  // namespace

// --- TShDirWatcher ----------------------------------------------------------------------------

// The worker's wait array: the stop, device and directory-set events in slots 0 to 2, then one
// open change handle per watched folder. Worker thread only.
class TShDirWatcher::TWaitArray {
 public:
  TWaitArray(HANDLE stopEvent, HANDLE deviceEvent, HANDLE directorySetEvent)
      : handles_{stopEvent, deviceEvent, directorySetEvent} {}

  void Add(TChangeHandle change) {
    changes_.reserve(changes_.size() + 1);
    handles_.push_back(change.Get());
    changes_.push_back(std::move(change));
  }

  // Closes every change handle; throws at the first that fails (the rest close on destruction).
  void CloseChanges() {
    while (!changes_.empty()) {
      TChangeHandle change = std::move(changes_.back());
      changes_.pop_back();
      handles_.pop_back();
      CloseWatch(change);
    }
  }

  void Rearm(DWORD slot) {
    if (!RearmWatch(changes_[slot - kFirstChangeSlot]))
      ThrowLastError("FindNextChangeNotification");
  }

  DWORD Count() const noexcept { return static_cast<DWORD>(handles_.size()); }
  const HANDLE* Handles() const noexcept { return handles_.data(); }

 private:
  std::vector<HANDLE> handles_;  // not owned: the events' and changes_' handles
  std::vector<TChangeHandle> changes_;
};

TShDirWatcher* TShDirWatcher::Create(const std::vector<std::string>& directories,
                                     DWORD notifyFilter, TDeviceEvent onDeviceChange,
                                     TChangeEvent onChange) {
  // The watcher owns itself: it is released when its run ends.
  return new TShDirWatcher(directories, notifyFilter, std::move(onDeviceChange),
                           std::move(onChange));
}

TShDirWatcher::TShDirWatcher(const std::vector<std::string>& directories, DWORD notifyFilter,
                             TDeviceEvent onDeviceChange, TChangeEvent onChange)
    : notifyFilter_(notifyFilter),
      onDeviceChange_(std::move(onDeviceChange)),
      onChange_(std::move(onChange)),
      stopEvent_(CreateEventHandle(TEventReset::erManual)),
      deviceEvent_(CreateEventHandle(TEventReset::erAuto)),
      directorySetEvent_(CreateEventHandle(TEventReset::erAuto)),
      directories_(DirectorySet(directories)) {
  SetFreeOnTerminate(true);
  Start();
}

// The events close here rather than when the run ends, so that a Stop or SetDirectories reaching
// a watcher whose run has just ended never signals a closed (and perhaps reused) handle.
TShDirWatcher::~TShDirWatcher() = default;

void TShDirWatcher::SetDirectories(const std::vector<std::string>& directories) {
  // Existence checks can be slow (network folders): made before the lock is taken.
  std::vector<std::string> set = DirectorySet(directories);
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (set == directories_) return;
    directories_ = std::move(set);
  }
  SetEvent(directorySetEvent_.Get());
}

void TShDirWatcher::SetDirectories(std::nullopt_t) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    directories_.clear();
  }
  SetEvent(directorySetEvent_.Get());
}

void TShDirWatcher::PostDeviceChange(std::unique_ptr<TDeviceChangeData> record) {
  if (!onDeviceChange_ || !record) return;
  pendingDevice_ = std::move(record);
  SetEvent(deviceEvent_.Get());
}

void TShDirWatcher::Stop() {
  onDeviceChange_ = nullptr;
  onChange_ = nullptr;
  SetEvent(stopEvent_.Get());
}

std::vector<std::string> TShDirWatcher::Directories() const {
  std::lock_guard<std::mutex> guard(lock_);
  return directories_;
}

std::size_t TShDirWatcher::DirectoryCount() const {
  std::lock_guard<std::mutex> guard(lock_);
  return directories_.size();
}

void TShDirWatcher::Execute() {
  try {
    Run();
  } catch (const TWatchFailure&) {
    // The owner hears of the end only through its termination handler.
  }
}

void TShDirWatcher::Run() {
  TWaitArray waits(stopEvent_.Get(), deviceEvent_.Get(), directorySetEvent_.Get());
  OpenWatches(waits);
  while (!Terminated()) {
    // Without folders only the events count; stale change slots wait for their reopening.
    const DWORD count = DirectoryCount() > 0 ? waits.Count() : kFirstChangeSlot;
    // More than MAXIMUM_WAIT_OBJECTS handles make this fail, which ends the watcher.
    const DWORD answer = WaitForMultipleObjects(count, waits.Handles(), FALSE, INFINITE);
    if (answer == WAIT_FAILED) ThrowLastError("WaitForMultipleObjects");
    const DWORD slot = answer - WAIT_OBJECT_0;
    if (slot == kStopSlot) return;
    if (slot == kDeviceSlot) {
      SettleDeviceRecord();
    } else if (slot == kDirectorySetSlot) {
      ReopenWatches(waits);
    } else if (slot < count) {
      if (!CollectBurst(waits, slot)) return;
    }
  }
}

// Waits until the changes have been quiet for kDirBurstSettleMs, then reports them. False when the
// watcher is to end.
bool TShDirWatcher::CollectBurst(TWaitArray& waits, DWORD slot) {
  waits.Rearm(slot);
  for (;;) {
    const DWORD answer =
        WaitForMultipleObjects(waits.Count(), waits.Handles(), FALSE, kDirBurstSettleMs);
    if (answer == WAIT_TIMEOUT) {
      Synchronize([this] { CallIfSet(onChange_, *this); });
      return true;
    }
    if (answer == WAIT_FAILED) ThrowLastError("WaitForMultipleObjects");
    const DWORD next = answer - WAIT_OBJECT_0;
    if (next >= kFirstChangeSlot && next < waits.Count()) {
      waits.Rearm(next);
    } else if (next == kDeviceSlot) {
      // The changes collected so far are still reported once the record has been handed on.
      SettleDeviceRecord();
    } else if (next == kStopSlot) {
      return false;
    } else {
      // A new folder set (or an answer without meaning): the burst belonged to the old set.
      if (next == kDirectorySetSlot) ReopenWatches(waits);
      return true;
    }
  }
}

// Hands the pending record on once no further record has been posted for kDeviceSettleMs.
void TShDirWatcher::SettleDeviceRecord() {
  for (;;) {
    const DWORD answer = WaitForSingleObject(deviceEvent_.Get(), kDeviceSettleMs);
    if (answer == WAIT_TIMEOUT) break;
    if (answer == WAIT_FAILED) ThrowLastError("WaitForSingleObject");
    // Another record replaced the pending one: the settling starts again from it.
  }
  Synchronize([this] {
    std::unique_ptr<TDeviceChangeData> record = std::move(pendingDevice_);
    if (record) CallIfSet(onDeviceChange_, *this, std::move(record));
  });
}

void TShDirWatcher::OpenWatches(TWaitArray& waits) {
  std::lock_guard<std::mutex> guard(lock_);
  for (auto folder = directories_.end(); folder != directories_.begin();) {
    --folder;
    TChangeHandle change(
        FindFirstChangeNotificationA(folder->c_str(), kWatchSubtree, notifyFilter_));
    if (change) {
      waits.Add(std::move(change));
    } else {
      // Removed meanwhile or not accessible: no longer part of the set.
      folder = directories_.erase(folder);
    }
  }
  ++watchOpenings_;
}

void TShDirWatcher::ReopenWatches(TWaitArray& waits) {
  waits.CloseChanges();
  OpenWatches(waits);
}

// --- TShFilesWatcher --------------------------------------------------------------------------

TShFilesWatcher* TShFilesWatcher::Create(const std::string& path, DWORD notifyFilter,
                                         TChangeEvent onChange) {
  // The watcher owns itself: it is released when its run ends.
  return new TShFilesWatcher(path, notifyFilter, std::move(onChange));
}

TShFilesWatcher::TShFilesWatcher(const std::string& path, DWORD notifyFilter, TChangeEvent onChange)
    : notifyFilter_(notifyFilter),
      onChange_(std::move(onChange)),
      stopEvent_(CreateEventHandle(TEventReset::erManual)),
      pathEvent_(CreateEventHandle(TEventReset::erAuto)),
      path_(path) {
  SetFreeOnTerminate(true);
  Start();
}

// As for TShDirWatcher, the events live as long as the object.
TShFilesWatcher::~TShFilesWatcher() = default;

void TShFilesWatcher::SetPath(const std::string& path) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (path == path_) return;
  }
  const bool exists = FolderExists(path);
  {
    std::lock_guard<std::mutex> guard(lock_);
    path_ = exists ? path : std::string();
  }
  SetEvent(pathEvent_.Get());
}

std::string TShFilesWatcher::CurrentPath() const {
  std::lock_guard<std::mutex> guard(lock_);
  return path_;
}

void TShFilesWatcher::Stop() {
  onChange_ = nullptr;
  SetEvent(stopEvent_.Get());
}

void TShFilesWatcher::Execute() {
  try {
    Run();
  } catch (const TWatchFailure&) {
    // Ends quietly, as TShDirWatcher does.
  }
}

void TShFilesWatcher::Run() {
  TChangeHandle change;
  Open(change);
  while (!Terminated()) {
    const HANDLE waits[] = {stopEvent_.Get(), pathEvent_.Get(), change.Get()};
    const DWORD count = change ? 3 : 2;
    const DWORD answer = WaitForMultipleObjects(count, waits, FALSE, INFINITE);
    if (answer == WAIT_FAILED) ThrowLastError("WaitForMultipleObjects");
    const DWORD slot = answer - WAIT_OBJECT_0;
    if (slot == kStopSlot) {
      CloseWatch(change);
      return;
    }
    if (slot == kPathSlot) {
      CloseWatch(change);
      Open(change);
    } else if (slot == kChangeSlot && count == 3) {
      if (!CollectBurst(change)) return;
    }
  }
}

// Waits until the changes have been quiet for kFilesBurstSettleMs, reports them and opens a fresh
// handle. False when the watcher is to end.
bool TShFilesWatcher::CollectBurst(TChangeHandle& change) {
  const HANDLE waits[] = {stopEvent_.Get(), pathEvent_.Get(), change.Get()};
  DWORD answer;
  do {
    if (!RearmWatch(change)) {
      // A handle that cannot wait again is opened afresh, as for a new path.
      answer = WAIT_OBJECT_0 + kPathSlot;
      break;
    }
    answer = WaitForMultipleObjects(3, waits, FALSE, kFilesBurstSettleMs);
  } while (answer == WAIT_OBJECT_0 + kChangeSlot);

  if (answer == WAIT_FAILED) ThrowLastError("WaitForMultipleObjects");
  if (answer == WAIT_OBJECT_0 + kStopSlot) {
    CloseWatch(change);
    return false;
  }
  if (answer == WAIT_TIMEOUT) Synchronize([this] { CallIfSet(onChange_, *this, CurrentPath()); });
  CloseWatch(change);
  Open(change);
  return true;
}

void TShFilesWatcher::Open(TChangeHandle& change) {
  const std::string path = CurrentPath();
  change = FolderExists(path)
               ? TChangeHandle(FindFirstChangeNotificationA(path.c_str(), FALSE, notifyFilter_))
               : TChangeHandle();
  ++watchOpenings_;
}
