#pragma once
// Change watchers: worker threads that follow changes other programs make in the file system and
// tell their owner on the user-interface thread once a burst of changes has died down.
//
// A watcher releases itself when it ends (free-on-terminate): its owner never frees it but asks it
// to Stop. The owner sets OnTerminate right after creation to forget its reference, and clears it
// again before calling Stop when the owner itself goes away. Every call below is made on the
// user-interface thread (the creating thread); handlers run there while the worker waits, and may
// call back into the watcher.

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "framework/KernelHandle.h"
#include "framework/Thread.h"
#include "shell/ShellCtrlList.h"

// Quiet periods after which a watcher reports.
constexpr DWORD kDirBurstSettleMs = 1500;
constexpr DWORD kFilesBurstSettleMs = 2000;
constexpr DWORD kDeviceSettleMs = 1000;

// Watches a set of folders, each with its whole subtree, and carries device-change records from
// the user-interface thread back to it after they have settled.
class TShDirWatcher final : public TThread {
 public:
  using TDeviceEvent =
      std::function<void(TShDirWatcher& sender, std::unique_ptr<TDeviceChangeData> record)>;
  using TChangeEvent = std::function<void(TShDirWatcher& sender)>;

  // Starts watching those of `directories` that exist. The answer is a reference (the watcher
  // owns itself), valid until its termination handler has run. Throws std::system_error when the
  // events or the thread cannot be made.
  static TShDirWatcher* Create(const std::vector<std::string>& directories, DWORD notifyFilter,
                               TDeviceEvent onDeviceChange, TChangeEvent onChange);

  // Watches those of `directories` that exist instead, unless that is the set already watched
  // (same folders, compared exactly once each has a trailing backslash): then the open watches
  // stay undisturbed.
  void SetDirectories(const std::vector<std::string>& directories);
  // Watches nothing; every call makes the worker close its watches.
  void SetDirectories(std::nullopt_t);

  // Hands `record` to the device handler once no further record has been posted for
  // kDeviceSettleMs; a record posted meanwhile replaces it. Dropped when no device handler is set.
  void PostDeviceChange(std::unique_ptr<TDeviceChangeData> record);

  // Clears both handlers and ends the thread, which then releases itself.
  void Stop();

  // The folders being watched, sorted, each ending in a backslash.
  std::vector<std::string> Directories() const;
  // How often the worker has opened its watches: once at the start and once for every change of
  // the set it acted on.
  unsigned WatchOpenings() const noexcept { return watchOpenings_; }

 protected:
  void Execute() override;

 private:
  class TWaitArray;

  TShDirWatcher(const std::vector<std::string>& directories, DWORD notifyFilter,
                TDeviceEvent onDeviceChange, TChangeEvent onChange);
  ~TShDirWatcher() override;

  void Run();
  bool CollectBurst(TWaitArray& waits, DWORD slot);
  void SettleDeviceRecord();
  void OpenWatches(TWaitArray& waits);
  void ReopenWatches(TWaitArray& waits);
  std::size_t DirectoryCount() const;

  const DWORD notifyFilter_;
  TDeviceEvent onDeviceChange_;  // handlers and the pending record: user-interface thread only
  TChangeEvent onChange_;
  std::unique_ptr<TDeviceChangeData> pendingDevice_;
  TKernelHandle stopEvent_;
  TKernelHandle deviceEvent_;
  TKernelHandle directorySetEvent_;
  mutable std::mutex lock_;  // guards directories_ only; never held while waiting
  std::vector<std::string> directories_;
  std::atomic<unsigned> watchOpenings_{0};
};

// Watches one folder without its subtree and tells its owner, with the folder's path, once changes
// there have died down.
class TShFilesWatcher final : public TThread {
 public:
  using TChangeEvent = std::function<void(TShFilesWatcher& sender, const std::string& path)>;

  // Starts watching `path` (taken as given: a folder that does not exist is simply not watched).
  // The answer is a reference as for TShDirWatcher::Create.
  static TShFilesWatcher* Create(const std::string& path, DWORD notifyFilter,
                                 TChangeEvent onChange);

  // Watches `path` instead, or nothing when it is no existing folder (the current path then
  // becomes empty). The path already watched, compared exactly, changes nothing.
  void SetPath(const std::string& path);
  std::string CurrentPath() const;

  // Clears the change handler and ends the thread, which then releases itself.
  void Stop();

  // How often the worker has opened a change handle, successfully or not.
  unsigned WatchOpenings() const noexcept { return watchOpenings_; }

 protected:
  void Execute() override;

 private:
  TShFilesWatcher(const std::string& path, DWORD notifyFilter, TChangeEvent onChange);
  ~TShFilesWatcher() override;

  void Run();
  void Open(TChangeHandle& change);
  bool CollectBurst(TChangeHandle& change);

  const DWORD notifyFilter_;
  TChangeEvent onChange_;  // user-interface thread only
  TKernelHandle stopEvent_;
  TKernelHandle pathEvent_;
  mutable std::mutex lock_;  // guards path_ only; never held while waiting
  std::string path_;
  std::atomic<unsigned> watchOpenings_{0};
};
