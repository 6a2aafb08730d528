// The control registry: its invisible window, and volume broadcasts crafted as the system sends
// them (Wine never broadcasts volume events itself).

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "shell/ShellCtrlList.h"
#include "shell/ShellIDFunc.h"
#include "shell/ShellNotify.h"
#include "shell/ShellUtils.h"
#include "tests/support/MessageBoxCloser.h"
#include "tests/support/MessagePump.h"

namespace {

struct TDeviceEvent {
  std::string text;
  DWORD code;
  bool hasList;
  std::string path;  // of the list, when there is one
  TShDeviceChangeKind kind;
};

std::string PathOf(LPCITEMIDLIST list) {
  std::string path;
  PathFromIDList(list, path);
  return path;
}

// A registered control that records what it is told.
class TRecordingControl : public TShellDeviceSink {
 public:
  std::vector<TDeviceEvent> events;
  std::function<void()> onEvent;  // an extra action of a test

  void ShellDeviceChange(const std::string& displayText, DWORD eventCode, LPCITEMIDLIST list,
                         TShDeviceChangeKind changeKind) override {
    events.push_back(
        {displayText, eventCode, list != nullptr, list ? PathOf(list) : "", changeKind});
    if (onEvent) onEvent();
  }
};

DEV_BROADCAST_VOLUME Volume(DWORD unitMask, WORD flags) {
  DEV_BROADCAST_VOLUME record = {};
  record.dbcv_size = sizeof record;
  record.dbcv_devicetype = DBT_DEVTYP_VOLUME;
  record.dbcv_unitmask = unitMask;
  record.dbcv_flags = flags;
  return record;
}

DWORD Drive(char letter) { return 1u << (letter - 'A'); }

// A registry with one recording control, and the means to send its window device broadcasts.
class ShellCtrlListDevices : public testing::Test {
 protected:
  void SetUp() override { registry_.Register(control_); }
  void TearDown() override { registry_.Unregister(control_); }

  LRESULT Send(WPARAM code, const void* record) {
    return SendMessageA(registry_.Handle(), WM_DEVICECHANGE, code,
                        reinterpret_cast<LPARAM>(record));
  }
  TShellCtrlList registry_;
  TRecordingControl control_;
};

// --- The window -------------------------------------------------------------------------------

TEST(ShellCtrlList, HasItsInvisibleTopLevelWindowExactlyWhileControlsAreRegistered) {
  TShellCtrlList registry;
  TRecordingControl first;
  TRecordingControl second;
  EXPECT_EQ(registry.Handle(), nullptr);

  registry.Register(first);
  const HWND window = registry.Handle();
  ASSERT_TRUE(IsWindow(window));
  EXPECT_EQ(GetAncestor(window, GA_PARENT), GetDesktopWindow());
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_EQ(GetWindowThreadProcessId(window, nullptr), GetCurrentThreadId());

  registry.Register(second);
  EXPECT_EQ(registry.Handle(), window);
  registry.Unregister(first);
  registry.Unregister(first);  // no longer registered: nothing happens
  EXPECT_EQ(registry.Count(), 1);
  EXPECT_EQ(registry.Handle(), window);

  registry.Unregister(second);
  EXPECT_EQ(registry.Handle(), nullptr);
  EXPECT_FALSE(IsWindow(window));

  registry.Register(first);
  EXPECT_TRUE(IsWindow(registry.Handle()));
  registry.Unregister(first);
  EXPECT_EQ(registry.Handle(), nullptr);
}

TEST(ShellCtrlList, BroadcastReachesTheControlsInOrderButNotOnesUnregisteredMeanwhile) {
  TShellCtrlList registry;
  std::vector<std::string> calls;
  TRecordingControl first;
  TRecordingControl second;
  TRecordingControl third;
  first.onEvent = [&] {
    calls.push_back("first");
    registry.Unregister(second);
  };
  second.onEvent = [&] { calls.push_back("second"); };
  third.onEvent = [&] { calls.push_back("third"); };
  registry.Register(first);
  registry.Register(second);
  registry.Register(third);

  registry.Broadcast("text", DBT_DEVICEARRIVAL, nullptr, dkNetwork);
  EXPECT_EQ(calls, (std::vector<std::string>{"first", "third"}));
  registry.Unregister(first);
  registry.Unregister(third);
  EXPECT_EQ(registry.Handle(), nullptr);
}

// --- Volume broadcasts ------------------------------------------------------------------------

// Wine keeps a drive's label for a while in every process and across them, so a label set here
// would not show: the events are checked against the label this process sees, maybe none.
TEST_F(ShellCtrlListDevices, MediaArrivalGivesTheLabelAndTheDriveOfTheLowestBit) {
  const DEV_BROADCAST_VOLUME record = Volume(Drive('C') | Drive('Z'), DBTF_MEDIA);
  Send(DBT_DEVICEARRIVAL, &record);

  ASSERT_EQ(control_.events.size(), 1u);
  const TDeviceEvent& event = control_.events[0];
  EXPECT_EQ(event.text, VolumeDisplayLabel("C:\\") + " (C:)");
  EXPECT_EQ(event.code, 0x8000u);
  EXPECT_EQ(event.kind, dkMedia);
  EXPECT_EQ(event.path, "C:\\");
}

TEST_F(ShellCtrlListDevices, MediaRemovalGivesTheDriveAlone) {
  const DEV_BROADCAST_VOLUME record = Volume(Drive('Z') | Drive('C'), DBTF_MEDIA);
  Send(DBT_DEVICEREMOVECOMPLETE, &record);

  ASSERT_EQ(control_.events.size(), 1u);
  EXPECT_EQ(control_.events[0].text, " (C:)");
  EXPECT_EQ(control_.events[0].code, 0x8004u);
  EXPECT_EQ(control_.events[0].kind, dkMedia);
  EXPECT_EQ(control_.events[0].path, "C:\\");
}

TEST_F(ShellCtrlListDevices, ANetworkVolumeHasNoTextAndNoList) {
  const DEV_BROADCAST_VOLUME record = Volume(Drive('N'), DBTF_NET);
  Send(DBT_DEVICEARRIVAL, &record);
  Send(DBT_DEVICEREMOVECOMPLETE, &record);

  ASSERT_EQ(control_.events.size(), 2u);
  for (const TDeviceEvent& event : control_.events) {
    EXPECT_EQ(event.text, "");
    EXPECT_FALSE(event.hasList);
    EXPECT_EQ(event.kind, dkNetwork);
  }
  EXPECT_EQ(control_.events[0].code, 0x8000u);
  EXPECT_EQ(control_.events[1].code, 0x8004u);
}

TEST_F(ShellCtrlListDevices, IgnoresWhatIsNoVolumeEventItCanPlace) {
  const DEV_BROADCAST_VOLUME neitherFlag = Volume(Drive('C'), 0);
  const DEV_BROADCAST_VOLUME emptyMask = Volume(0, DBTF_MEDIA);
  DEV_BROADCAST_VOLUME port = Volume(Drive('C'), DBTF_MEDIA);
  port.dbcv_devicetype = DBT_DEVTYP_PORT;
  DEV_BROADCAST_VOLUME shortRecord = Volume(Drive('C'), DBTF_MEDIA);
  shortRecord.dbcv_size = sizeof(DEV_BROADCAST_HDR);
  const DEV_BROADCAST_VOLUME valid = Volume(Drive('C'), DBTF_MEDIA);

  Send(DBT_DEVICEARRIVAL, &neitherFlag);
  Send(DBT_DEVICEARRIVAL, &emptyMask);
  Send(DBT_DEVICEARRIVAL, &port);
  Send(DBT_DEVICEARRIVAL, &shortRecord);
  Send(DBT_DEVICEARRIVAL, nullptr);
  Send(DBT_DEVICEQUERYREMOVE, &valid);
  Send(DBT_DEVICEREMOVEPENDING, &valid);

  for (const TDeviceEvent& event : control_.events)
    ADD_FAILURE() << "broadcast \"" << event.text << "\" for " << event.path;
}

TEST_F(ShellCtrlListDevices, AnErrorReachesTheErrorBoxAndTheWindowKeepsWorking) {
  TMessageBoxCloser boxes;
  control_.onEvent = [this] {
    if (control_.events.size() == 1) throw std::runtime_error("device entry failed");
  };
  const DEV_BROADCAST_VOLUME record = Volume(0, DBTF_NET);
  Send(DBT_DEVICEARRIVAL, &record);
  ASSERT_EQ(boxes.Texts().size(), 1u);
  EXPECT_NE(boxes.Texts()[0].find("device entry failed"), std::string::npos);

  Send(DBT_DEVICEREMOVECOMPLETE, &record);
  EXPECT_EQ(control_.events.size(), 2u);
  EXPECT_EQ(boxes.Texts().size(), 1u);
}

// A control that handles device events as the folder tree does: it keeps a record of each and
// posts it to its directory watcher, which hands it back after the quiet second.
class TWatchingControl : public TShellDeviceSink {
 public:
  TShDirWatcher* watcher = nullptr;  // not owned: it releases itself
  std::vector<std::unique_ptr<TDeviceChangeData>> handedBack;

  void ShellDeviceChange(const std::string& displayText, DWORD eventCode, LPCITEMIDLIST list,
                         TShDeviceChangeKind changeKind) override {
    if (watcher)
      watcher->PostDeviceChange(
          std::make_unique<TDeviceChangeData>(displayText, list, changeKind, eventCode));
  }
};

TEST_F(ShellCtrlListDevices, ARecordComesBackThroughTheWatcherWithItsOwnList) {
  TWatchingControl tree;
  tree.watcher = TShDirWatcher::Create(
      {}, FILE_NOTIFY_CHANGE_DIR_NAME,
      [&](TShDirWatcher&, std::unique_ptr<TDeviceChangeData> record) {
        tree.handedBack.push_back(std::move(record));
      },
      nullptr);
  tree.watcher->OnTerminate = [&](TThread&) { tree.watcher = nullptr; };
  registry_.Register(tree);

  const DEV_BROADCAST_VOLUME record = Volume(Drive('C'), DBTF_MEDIA);
  Send(DBT_DEVICEARRIVAL, &record);
  // The broadcast's own list is freed by now; the record holds a copy.
  EXPECT_TRUE(PumpMessagesUntil([&] { return !tree.handedBack.empty(); }, 15000));

  registry_.Unregister(tree);
  if (tree.watcher) tree.watcher->Stop();
  EXPECT_TRUE(PumpMessagesUntil([&] { return tree.watcher == nullptr; }, 15000));
  ASSERT_EQ(tree.handedBack.size(), 1u);
  const TDeviceChangeData& data = *tree.handedBack[0];
  EXPECT_EQ(data.DisplayText(), VolumeDisplayLabel("C:\\") + " (C:)");
  EXPECT_EQ(data.EventCode(), 0x8000u);
  EXPECT_EQ(data.ChangeKind(), dkMedia);
  EXPECT_EQ(PathOf(data.IDList()), "C:\\");
}

}  // namespace
