#pragma once
// The process-wide registry of live shell controls, which tells them of volume arrivals and
// removals, and the device-change record a control keeps of such an event.

#include <windows.h>
#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

#include "shell/ShellDbt.h"
#include "shell/ShellIDFunc.h"

// One volume event as a shell control hands it on: display text for the drive's node (empty for
// network volumes), the device-change code as received, the kind, and an own copy of the item list
// of the drive's root folder (none for network volumes).
class TUtilityWindow;

class TDeviceChangeData {
 public:
  TDeviceChangeData(std::string displayText, LPCITEMIDLIST list, TShDeviceChangeKind changeKind,
                    DWORD eventCode);

  const std::string& DisplayText() const noexcept { return displayText_; }
  DWORD EventCode() const noexcept { return eventCode_; }
  TShDeviceChangeKind ChangeKind() const noexcept { return changeKind_; }
  LPCITEMIDLIST IDList() const noexcept { return idList_.Get(); }

 private:
  std::string displayText_;
  DWORD eventCode_;
  TShDeviceChangeKind changeKind_;
  TShIDListPtr idList_;
};

// What a shell control implements to be registered: the registry calls it for every volume event
// while it is registered. `list` is the drive's root (null for network volumes), valid only
// during the call.
class TShellDeviceSink {
 public:
  virtual void ShellDeviceChange(const std::string& displayText, DWORD eventCode,
                                 LPCITEMIDLIST list, TShDeviceChangeKind changeKind) = 0;

 protected:
  ~TShellDeviceSink() = default;
};

// The registered controls, in registration order, and an invisible top-level window that exists
// exactly while at least one is registered: the system sends volume broadcasts to every top-level
// window, so no RegisterDeviceNotification is needed. An error while a broadcast is handled goes
// to the application's error box; the window keeps working. User-interface thread only.
class TShellCtrlList {
 public:
  TShellCtrlList();
  TShellCtrlList(const TShellCtrlList&) = delete;
  TShellCtrlList& operator=(const TShellCtrlList&) = delete;
  ~TShellCtrlList();

  // Appends a control (not owned); the first one brings the window into being. Throws
  // std::system_error when the window cannot be made, and then registers nothing.
  void Register(TShellDeviceSink& control);
  // Removes the control's first entry; the window goes with the last one.
  void Unregister(TShellDeviceSink& control);

  int Count() const noexcept { return static_cast<int>(controls_.size()); }
  // The invisible window; null while no control is registered.
  HWND Handle() const noexcept;

  // Tells every control registered now, first to last, of a volume event. A control that a
  // call unregisters is not called afterwards.
  void Broadcast(const std::string& displayText, DWORD eventCode, LPCITEMIDLIST list,
                 TShDeviceChangeKind changeKind);

 private:
  void DeviceChange(DWORD eventCode, const DEV_BROADCAST_HDR* record);

  std::vector<TShellDeviceSink*> controls_;  // not owned: the controls unregister themselves
  std::unique_ptr<TUtilityWindow> window_;
};

// The registry of this process.
TShellCtrlList& ShellCtrlList();
