#include "shell/ShellCtrlList.h"

#include <algorithm>

#include "framework/UtilityWindow.h"
#include "shell/ShellUtils.h"

namespace {

// A drive ("E:") as the tail of a node text: " (E:)".
std::string DriveSuffix(const std::string& drive) { return " (" + drive + ")"; }

}  // namespace

TDeviceChangeData::TDeviceChangeData(std::string displayText, LPCITEMIDLIST list,
                                     TShDeviceChangeKind changeKind, DWORD eventCode)
    : displayText_(std::move(displayText)),
      eventCode_(eventCode),
      changeKind_(changeKind),
      idList_(TShIDListPtr::CopyOf(list)) {}

TShellCtrlList::TShellCtrlList() = default;

TShellCtrlList::~TShellCtrlList() = default;

void TShellCtrlList::Register(TShellDeviceSink& control) {
  if (controls_.empty()) {
    // Top level, so that the system's volume broadcasts reach it. An error raised by a
    // broadcast leaves the window layer as any handler's error does: in the error box.
    window_ = std::make_unique<TUtilityWindow>(
        [this](TUtilityWindow& window, UINT message, WPARAM wParam, LPARAM lParam) {
          // Taken first: a control that a broadcast unregisters may take this window with it.
          const LRESULT result = window.Default(message, wParam, lParam);
          if (message == WM_DEVICECHANGE && IsVolumeEventCode(wParam))
            DeviceChange(static_cast<DWORD>(wParam),
                         reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam));
          return result;
        });
  }
  controls_.push_back(&control);
}

void TShellCtrlList::Unregister(TShellDeviceSink& control) {
  auto entry = std::find(controls_.begin(), controls_.end(), &control);
  if (entry == controls_.end()) return;
  controls_.erase(entry);
  if (controls_.empty()) window_.reset();
}

HWND TShellCtrlList::Handle() const noexcept { return window_ ? window_->Handle() : nullptr; }

void TShellCtrlList::Broadcast(const std::string& displayText, DWORD eventCode, LPCITEMIDLIST list,
                               TShDeviceChangeKind changeKind) {
  // The controls of this moment; one that a call unregisters (and may destroy) is skipped.
  const std::vector<TShellDeviceSink*> controls = controls_;
  for (TShellDeviceSink* control : controls) {
    if (std::find(controls_.begin(), controls_.end(), control) == controls_.end()) continue;
    control->ShellDeviceChange(displayText, eventCode, list, changeKind);
  }
}

void TShellCtrlList::DeviceChange(DWORD eventCode, const DEV_BROADCAST_HDR* record) {
  const std::optional<TShVolumeEvent> volume = DecodeVolumeBroadcast(record);
  if (!volume) return;
  if (volume->Kind == dkNetwork) {
    Broadcast(std::string(), eventCode, nullptr, dkNetwork);
    return;
  }
  const std::string drive{volume->Drive, ':'};
  const std::string root = WithTrailingBackslash(drive);
  TShIDListPtr list;
  if (!IDListFromPath(root, list.Out())) return;
  std::string text = DriveSuffix(drive);
  if (eventCode == DBT_DEVICEARRIVAL) text = VolumeDisplayLabel(root) + text;
  Broadcast(text, eventCode, list.Get(), dkMedia);
}

TShellCtrlList& ShellCtrlList() {
  static TShellCtrlList registry;
  return registry;
}
