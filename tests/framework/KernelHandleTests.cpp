#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <utility>

#include "framework/KernelHandle.h"
#include "tests/support/ScratchFolder.h"

namespace {

// Each kind takes what its opening call answers on failure for none, and closes what it opened
// with its own call, once.
TEST(KernelHandleTest, EachKindKnowsItsNoneAndItsClose) {
  TScratchFolder scratch("handles");
  const std::string missing = scratch.PathOf("missing");
  WIN32_FIND_DATAA found;
  EXPECT_FALSE(TKernelHandle(OpenEventA(EVENT_ALL_ACCESS, FALSE, "TessarinNoSuchEvent")));
  EXPECT_FALSE(TFileHandle(
      CreateFileA(missing.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
  EXPECT_FALSE(TFindHandle(FindFirstFileA((missing + "\\*").c_str(), &found)));
  EXPECT_FALSE(TChangeHandle(
      FindFirstChangeNotificationA(missing.c_str(), FALSE, FILE_NOTIFY_CHANGE_DIR_NAME)));

  TKernelHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  TFindHandle search(FindFirstFileA((scratch.Path() + "\\*").c_str(), &found));
  TChangeHandle change(
      FindFirstChangeNotificationA(scratch.Path().c_str(), FALSE, FILE_NOTIFY_CHANGE_DIR_NAME));
  const auto closesOnce = [](auto& handle) {
    EXPECT_TRUE(handle);
    EXPECT_TRUE(handle.Close());
    EXPECT_FALSE(handle);
    EXPECT_TRUE(handle.Close());  // nothing left to refuse
  };
  closesOnce(event);
  closesOnce(search);
  closesOnce(change);
}

TEST(KernelHandleTest, AFileStaysOpenThroughAMoveUntilItsLastOwnerLetsGo) {
  TScratchFolder scratch("handles");
  const std::string path = scratch.MakeFile("held.txt", "x");
  // Without sharing: a second opening fails while the first is open.
  const auto open = [&] {
    return TFileHandle(
        CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  };
  TFileHandle first = open();
  ASSERT_TRUE(first);
  TFileHandle second;
  second = std::move(first);
  EXPECT_FALSE(first);
  EXPECT_FALSE(open());
  second = TFileHandle();
  EXPECT_TRUE(open());
}

}  // namespace
