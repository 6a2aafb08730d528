#include "shell/ShellCtrlList.h"

#include <algorithm>

#include "framework/Window.h"
#include "shell/ShellUtils.h"

namespace {

constexpr char kWindowClass[] = "TessarinShellCtrlList";

// A drive ("E:") as the tail of a node text: " (E:)".
std::string DriveSuffix(const std::string& drive) {
    return " (" + drive + ")";
}

}  // namespace

// The registry's invisible window: top level, so that the system's volume broadcasts reach it,
// and never shown. An error raised by a broadcast leaves the window layer as any handler's error
// does: in the application's error box.
class TShellCtrlList::TDeviceWindow final : public TWinControl {
public:
    explicit TDeviceWindow(TShellCtrlList& registry) : TWinControl(nullptr), registry_(registry) {
        RegisterOwnClass(kWindowClass, 0, nullptr);
        TCreateParams params;
        params.ClassName = kWindowClass;
        params.Style = WS_POPUP;
        params.ExStyle = WS_EX_TOOLWINDOW;
        CreateHandle(params);
    }

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        // Taken first: a control that a broadcast unregisters may take this window with it.
        const LRESULT result = DefaultProc(message, wParam, lParam);
        if (message == WM_DEVICECHANGE && IsVolumeEventCode(wParam))
            registry_.DeviceChange(static_cast<DWORD>(wParam), reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam));
        return result;
    }

private:
    TShellCtrlList& registry_;
};

TDeviceChangeData::TDeviceChangeData(std::string displayText, LPCITEMIDLIST list,
                                     TShDeviceChangeKind changeKind, DWORD eventCode)
    : displayText_(std::move(displayText)),
      eventCode_(eventCode),
      changeKind_(changeKind),
      idList_(TShIDListPtr::CopyOf(list)) {}

TShellCtrlList::TShellCtrlList() = default;

TShellCtrlList::~TShellCtrlList() = default;

void TShellCtrlList::Register(TShellDeviceSink& control) {
    if (controls_.empty()) window_ = std::make_unique<TDeviceWindow>(*this);
    controls_.push_back(&control);
}

void TShellCtrlList::Unregister(TShellDeviceSink& control) {
    auto entry = std::find(controls_.begin(), controls_.end(), &control);
    if (entry == controls_.end()) return;
    controls_.erase(entry);
    if (controls_.empty()) window_.reset();
}

HWND TShellCtrlList::Handle() const noexcept {
    return window_ ? window_->Handle() : nullptr;
}

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
