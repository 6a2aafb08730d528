// Change watchers against real change notifications. Delays are checked with generous margins for
// a loaded machine, and a burst whose own pacing was disturbed too much to judge is made again.
//
// Wine quirk: a subtree watch misses sub-folders that existed before it started, so every folder
// changed below a watched folder is made after the watch has opened.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "shell/ShellNotify.h"
#include "tests/support/MessageBoxCloser.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScratchFolder.h"

namespace {

constexpr double kEarlyMarginMs = 100;  // waits may end a little before their time-out
constexpr double kLateMarginMs = 4000;  // a loaded machine may deliver late
constexpr DWORD kEventWaitMs = 15000;   // for anything that should happen within seconds
constexpr double kChangeGapMs = 300;    // pause between the changes of one burst

// A running watcher: forgets it when it ends; stops it and waits for its end when destroyed.
template <typename Watcher>
class TRunningWatcher {
 public:
  explicit TRunningWatcher(Watcher* watcher) : watcher_(watcher) {
    watcher_->OnTerminate = [this](TThread&) { watcher_ = nullptr; };
  }
  ~TRunningWatcher() { StopAndWaitForEnd(); }
  TRunningWatcher(const TRunningWatcher&) = delete;
  TRunningWatcher& operator=(const TRunningWatcher&) = delete;

  Watcher* operator->() const { return watcher_; }
  bool Ended() const { return watcher_ == nullptr; }

  bool WaitForEnd() {
    return PumpMessagesUntil([this] { return watcher_ == nullptr; }, kEventWaitMs);
  }
  bool StopAndWaitForEnd() {
    if (watcher_) watcher_->Stop();
    return WaitForEnd();
  }
  // Waits until the worker has opened its watches `count` times in all.
  bool WaitForOpenings(unsigned count) {
    return PumpMessagesUntil([&] { return watcher_ && watcher_->WatchOpenings() >= count; },
                             kEventWaitMs);
  }

 private:
  Watcher* watcher_;  // not owned: the watcher releases itself
};

// Times of the changes a test makes, to judge the reports by.
class TChangeClock {
 public:
  // Records a change made just now.
  void Mark() { times_.push_back(MillisecondsNow()); }
  double Last() const { return times_.back(); }
  double LongestGap() const {
    double longest = 0;
    for (std::size_t i = 1; i < times_.size(); ++i)
      longest = std::max(longest, times_[i] - times_[i - 1]);
    return longest;
  }
  // True when some pause between changes came so close to `settleMs` that a report in it would
  // be right: the test was starved and cannot judge postponement.
  bool PacingDisturbed(DWORD settleMs) const {
    return LongestGap() >= settleMs - kEarlyMarginMs - 200;
  }

 private:
  std::vector<double> times_;
};

constexpr int kBurstAttempts = 5;

// Makes a burst of changes, `burst(attempt, clock)`, until its pacing stays clear of the quiet
// period `settleMs`. After a disturbed attempt its reports are let through and dropped
// (`dropReports`); after kBurstAttempts disturbed ones the test fails with the pacing measured.
// False when the burst failed or never ran undisturbed.
template <typename Burst, typename Drop>
bool MakeUndisturbedBurst(TChangeClock& clock, DWORD settleMs, Burst burst, Drop dropReports) {
  for (int attempt = 0; attempt < kBurstAttempts; ++attempt) {
    clock = TChangeClock();
    burst(attempt, clock);
    if (testing::Test::HasFatalFailure()) return false;
    if (!clock.PacingDisturbed(settleMs)) return true;
    PumpMessagesFor(settleMs + 1000);
    dropReports();
  }
  ADD_FAILURE() << "test thread starved in " << kBurstAttempts << " bursts: the last had a gap of "
                << clock.LongestGap() << " ms between changes, against a quiet period of "
                << settleMs << " ms";
  return false;
}

void ExpectSettledDelay(const char* what, double delay, DWORD settleMs) {
  std::printf("[ measured ] %s: %.0f ms after the last change (quiet period %lu ms)\n", what, delay,
              static_cast<unsigned long>(settleMs));
  EXPECT_GE(delay, settleMs - kEarlyMarginMs);
  EXPECT_LE(delay, settleMs + kLateMarginMs);
}

// Waits for the report of the burst `clock` timed and checks that it is the only one, about
// `settleMs` after the last change. `reports` holds the times of the reports.
void ExpectOneSettledReport(const char* what, const std::vector<double>& reports,
                            const TChangeClock& clock, DWORD settleMs) {
  ASSERT_TRUE(PumpMessagesUntil([&] { return !reports.empty(); }, kEventWaitMs));
  ExpectSettledDelay(what, reports[0] - clock.Last(), settleMs);
  PumpMessagesFor(settleMs + 1000);
  EXPECT_EQ(reports.size(), 1u);
}

bool MakeDir(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != FALSE; }
bool Rename(const std::string& from, const std::string& to) {
  return MoveFileA(from.c_str(), to.c_str()) != FALSE;
}

std::unique_ptr<TDeviceChangeData> Record(const std::string& text) {
  return std::make_unique<TDeviceChangeData>(text, nullptr, dkNetwork, DBT_DEVICEARRIVAL);
}

struct TDirWatcherRecorder {
  std::vector<double> reports;
  std::vector<std::pair<double, std::string>> handOvers;  // time and display text
  std::function<void(TShDirWatcher&)> onReport;           // an extra action of a test

  TShDirWatcher* Start(const std::vector<std::string>& directories) {
    return TShDirWatcher::Create(
        directories, FILE_NOTIFY_CHANGE_DIR_NAME,
        [this](TShDirWatcher&, std::unique_ptr<TDeviceChangeData> record) {
          handOvers.emplace_back(MillisecondsNow(), record->DisplayText());
        },
        [this](TShDirWatcher& sender) {
          reports.push_back(MillisecondsNow());
          if (onReport) onReport(sender);
        });
  }
};

// A directory watcher on a scratch folder of the test's own; its watch is open once
// StartWatching has returned.
class DirWatcherOnScratch : public testing::Test {
 protected:
  void StartWatching() {
    watcher_.emplace(recorder_.Start({scratch_.Path()}));
    ASSERT_TRUE(watcher_->WaitForOpenings(1));
  }

  TScratchFolder scratch_{"DirWatcher"};
  TDirWatcherRecorder recorder_;
  std::optional<TRunningWatcher<TShDirWatcher>> watcher_;
};

// --- Directory watcher: bursts ----------------------------------------------------------------

TEST_F(DirWatcherOnScratch, ReportsOnceAboutTheQuietPeriodAfterTheLastChange) {
  StartWatching();
  TChangeClock clock;
  const auto burst = [&](int attempt, TChangeClock& marks) {
    const std::string made = "made" + std::to_string(attempt);
    ASSERT_TRUE(MakeDir(scratch_.PathOf(made)));
    marks.Mark();
    PumpMessagesFor(400);
    ASSERT_TRUE(
        Rename(scratch_.PathOf(made), scratch_.PathOf("renamed" + std::to_string(attempt))));
    marks.Mark();
  };
  ASSERT_TRUE(
      MakeUndisturbedBurst(clock, kDirBurstSettleMs, burst, [&] { recorder_.reports.clear(); }));

  ExpectOneSettledReport("directory watcher", recorder_.reports, clock, kDirBurstSettleMs);
}

TEST_F(DirWatcherOnScratch, PostponesTheReportWhileChangesGoOnInTheSubtree) {
  StartWatching();
  // Twice the quiet period of changes, the later ones one level down.
  TChangeClock clock;
  const auto burst = [&](int attempt, TChangeClock& marks) {
    const std::string sub = "sub" + std::to_string(attempt);
    ASSERT_TRUE(MakeDir(scratch_.PathOf(sub)));
    marks.Mark();
    for (int i = 0; i * kChangeGapMs < 2 * kDirBurstSettleMs; ++i) {
      PumpMessagesFor(static_cast<DWORD>(kChangeGapMs));
      ASSERT_TRUE(MakeDir(scratch_.PathOf(sub + "\\n" + std::to_string(i))));
      marks.Mark();
    }
  };
  ASSERT_TRUE(
      MakeUndisturbedBurst(clock, kDirBurstSettleMs, burst, [&] { recorder_.reports.clear(); }));
  EXPECT_TRUE(recorder_.reports.empty()) << "reported while changes went on";

  ExpectOneSettledReport("directory watcher, long burst", recorder_.reports, clock,
                         kDirBurstSettleMs);
}

TEST_F(DirWatcherOnScratch, StopDuringABurstGivesNoReportButRunsTheTerminationHandler) {
  StartWatching();
  ASSERT_TRUE(MakeDir(scratch_.PathOf("made")));
  PumpMessagesFor(300);
  EXPECT_TRUE(watcher_->StopAndWaitForEnd());
  PumpMessagesFor(kDirBurstSettleMs + 500);
  EXPECT_TRUE(recorder_.reports.empty());
}

TEST_F(DirWatcherOnScratch, AHandlerMayStopItsWatcher) {
  recorder_.onReport = [](TShDirWatcher& sender) { sender.Stop(); };
  StartWatching();
  ASSERT_TRUE(MakeDir(scratch_.PathOf("made")));
  EXPECT_TRUE(watcher_->WaitForEnd());
  EXPECT_EQ(recorder_.reports.size(), 1u);
}

TEST_F(DirWatcherOnScratch, AnErrorOfAHandlerReachesTheErrorBoxAndEndsTheWatcher) {
  TMessageBoxCloser boxes;
  // Even a system error: only the watcher's own failing calls end it without a word.
  recorder_.onReport = [](TShDirWatcher&) {
    throw std::system_error(ERROR_ACCESS_DENIED, std::system_category(), "refresh failed");
  };
  StartWatching();
  ASSERT_TRUE(MakeDir(scratch_.PathOf("made")));
  EXPECT_TRUE(watcher_->WaitForEnd());
  ASSERT_EQ(boxes.Texts().size(), 1u);
  EXPECT_NE(boxes.Texts()[0].find("refresh failed"), std::string::npos);
}

TEST_F(DirWatcherOnScratch, ADeviceRecordDuringABurstDoesNotCostTheBurstItsReport) {
  StartWatching();
  ASSERT_TRUE(MakeDir(scratch_.PathOf("made")));
  PumpMessagesFor(300);
  (*watcher_)->PostDeviceChange(Record("inserted"));
  ASSERT_TRUE(PumpMessagesUntil([&] { return !recorder_.reports.empty(); }, kEventWaitMs));
  ASSERT_EQ(recorder_.handOvers.size(), 1u);
  EXPECT_GT(recorder_.reports[0], recorder_.handOvers[0].first);
}

// --- Directory watcher: the folder set --------------------------------------------------------

TEST(DirWatcherFolders, KeepOnlyExistingFoldersSortedWithABackslashEach) {
  TScratchFolder scratch("DirSet");
  const std::string alpha = scratch.MakeFolder("Alpha");
  const std::string beta = scratch.MakeFolder("beta");
  TDirWatcherRecorder recorder;
  // The file system ignores case: ALPHA is Alpha again, and the first spelling stays.
  TRunningWatcher watcher(
      recorder.Start({beta, scratch.PathOf("missing"), alpha + "\\", scratch.PathOf("ALPHA")}));
  EXPECT_EQ(watcher->Directories(), (std::vector<std::string>{alpha + "\\", beta + "\\"}));

  watcher->SetDirectories(std::vector<std::string>{scratch.PathOf("missing"), beta});
  EXPECT_EQ(watcher->Directories(), std::vector<std::string>{beta + "\\"});
}

TEST(DirWatcherFolders, AnEqualSetLeavesTheOpenWatchesAndTheirBurstAlone) {
  TScratchFolder scratch("DirEqualSet");
  const std::string alpha = scratch.MakeFolder("alpha");
  const std::string beta = scratch.MakeFolder("beta");
  TDirWatcherRecorder recorder;
  TRunningWatcher watcher(recorder.Start({alpha}));
  ASSERT_TRUE(watcher.WaitForOpenings(1));

  ASSERT_TRUE(MakeDir(alpha + "\\made"));
  watcher->SetDirectories(std::vector<std::string>{alpha + "\\", scratch.PathOf("missing")});
  ASSERT_TRUE(PumpMessagesUntil([&] { return !recorder.reports.empty(); }, kEventWaitMs))
      << "the burst was dropped: the watches were reopened";
  EXPECT_EQ(watcher->WatchOpenings(), 1u);

  watcher->SetDirectories(std::vector<std::string>{alpha, beta});
  EXPECT_TRUE(watcher.WaitForOpenings(2));
}

TEST(DirWatcherFolders, NoneClosesTheWatchesEveryTime) {
  TScratchFolder scratch("DirNone");
  const std::string alpha = scratch.MakeFolder("alpha");
  TDirWatcherRecorder recorder;
  TRunningWatcher watcher(recorder.Start({alpha}));
  ASSERT_TRUE(watcher.WaitForOpenings(1));

  watcher->SetDirectories(std::nullopt);
  ASSERT_TRUE(watcher.WaitForOpenings(2));
  EXPECT_TRUE(watcher->Directories().empty());
  ASSERT_TRUE(MakeDir(alpha + "\\made"));
  PumpMessagesFor(kDirBurstSettleMs + 1500);
  EXPECT_TRUE(recorder.reports.empty());

  watcher->SetDirectories(std::nullopt);
  EXPECT_TRUE(watcher.WaitForOpenings(3));
  // An empty list, by contrast, equals the empty set.
  watcher->SetDirectories(std::vector<std::string>{});
  PumpMessagesFor(500);
  EXPECT_EQ(watcher->WatchOpenings(), 3u);
}

TEST(DirWatcherFolders, AFolderThatCannotBeWatchedLeavesTheSet) {
  TScratchFolder scratch("DirUnwatchable");
  const std::string alpha = scratch.MakeFolder("alpha");
  const std::string beta = scratch.MakeFolder("beta");
  TDirWatcherRecorder recorder;
  // The worker waits while the handler runs: beta enters the set and is gone before the worker
  // gets to open it. The handler's own SetDirectories must not deadlock either.
  recorder.onReport = [&](TShDirWatcher& sender) {
    if (recorder.reports.size() != 1) return;
    sender.SetDirectories(std::vector<std::string>{alpha, beta});
    RemoveDirectoryA(beta.c_str());
  };
  TRunningWatcher watcher(recorder.Start({alpha}));
  ASSERT_TRUE(watcher.WaitForOpenings(1));

  ASSERT_TRUE(MakeDir(alpha + "\\first"));
  ASSERT_TRUE(watcher.WaitForOpenings(2));
  EXPECT_EQ(watcher->Directories(), std::vector<std::string>{alpha + "\\"});

  ASSERT_TRUE(MakeDir(alpha + "\\second"));
  EXPECT_TRUE(PumpMessagesUntil([&] { return recorder.reports.size() == 2; }, kEventWaitMs));
}

TEST(DirWatcherFolders, SixtyOneFoldersAreWatchedAndMoreEndTheWatcherQuietly) {
  TScratchFolder scratch("DirMany");
  std::vector<std::string> folders;
  for (int i = 0; i < 62; ++i) folders.push_back(scratch.MakeFolder("f" + std::to_string(i)));
  TMessageBoxCloser boxes;

  TDirWatcherRecorder tooMany;
  TRunningWatcher ended(tooMany.Start(folders));
  EXPECT_TRUE(ended.WaitForEnd());

  folders.pop_back();
  TDirWatcherRecorder enough;
  TRunningWatcher watcher(enough.Start(folders));
  ASSERT_TRUE(watcher.WaitForOpenings(1));
  ASSERT_TRUE(MakeDir(folders.back() + "\\made"));
  EXPECT_TRUE(PumpMessagesUntil([&] { return !enough.reports.empty(); }, kEventWaitMs));
  EXPECT_FALSE(watcher.Ended());
  EXPECT_TRUE(boxes.Texts().empty());
}

// --- Directory watcher: device records --------------------------------------------------------

TEST(DirWatcherDevices, HandsOverOnlyTheLastOfCloselyPostedRecordsOnceTheyAreQuiet) {
  TDirWatcherRecorder recorder;
  TRunningWatcher watcher(recorder.Start({}));
  ASSERT_TRUE(watcher.WaitForOpenings(1));

  TChangeClock clock;
  const auto burst = [&](int, TChangeClock& marks) {
    marks.Mark();
    watcher->PostDeviceChange(Record("first"));
    PumpMessagesFor(300);
    marks.Mark();
    watcher->PostDeviceChange(Record("second"));
  };
  ASSERT_TRUE(
      MakeUndisturbedBurst(clock, kDeviceSettleMs, burst, [&] { recorder.handOvers.clear(); }));
  const double second = clock.Last();

  ASSERT_TRUE(PumpMessagesUntil([&] { return !recorder.handOvers.empty(); }, kEventWaitMs));
  EXPECT_EQ(recorder.handOvers[0].second, "second");
  ExpectSettledDelay("device record, replaced once", recorder.handOvers[0].first - second,
                     kDeviceSettleMs);
  PumpMessagesFor(kDeviceSettleMs + 500);
  ASSERT_EQ(recorder.handOvers.size(), 1u);

  const double third = MillisecondsNow();
  watcher->PostDeviceChange(Record("third"));
  ASSERT_TRUE(PumpMessagesUntil([&] { return recorder.handOvers.size() == 2; }, kEventWaitMs));
  EXPECT_EQ(recorder.handOvers[1].second, "third");
  ExpectSettledDelay("device record", recorder.handOvers[1].first - third, kDeviceSettleMs);
}

// --- Files watcher ----------------------------------------------------------------------------

struct TFilesWatcherRecorder {
  std::vector<double> reports;
  std::vector<std::string> paths;  // of the reports

  TShFilesWatcher* Start(const std::string& path) {
    return TShFilesWatcher::Create(path, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME,
                                   [this](TShFilesWatcher&, const std::string& current) {
                                     reports.push_back(MillisecondsNow());
                                     paths.push_back(current);
                                   });
  }
};

TEST(FilesWatcher, ReportsOnceWithItsPathAboutTheQuietPeriodAfterABurst) {
  TScratchFolder scratch("FilesBurst");
  scratch.MakeFolder("sub");
  TFilesWatcherRecorder recorder;
  TRunningWatcher watcher(recorder.Start(scratch.Path()));
  ASSERT_TRUE(watcher.WaitForOpenings(1));

  TChangeClock clock;
  const auto burst = [&](int attempt, TChangeClock& marks) {
    const std::string made = "made" + std::to_string(attempt) + ".txt";
    scratch.MakeFile(made);
    marks.Mark();
    PumpMessagesFor(400);
    ASSERT_TRUE(
        Rename(scratch.PathOf(made), scratch.PathOf("renamed" + std::to_string(attempt) + ".txt")));
    marks.Mark();
  };
  const auto dropReports = [&] {
    recorder.reports.clear();
    recorder.paths.clear();
  };
  ASSERT_TRUE(MakeUndisturbedBurst(clock, kFilesBurstSettleMs, burst, dropReports));

  ExpectOneSettledReport("files watcher", recorder.reports, clock, kFilesBurstSettleMs);
  ASSERT_EQ(recorder.paths.size(), 1u);
  EXPECT_EQ(recorder.paths[0], scratch.Path());

  // Its sub-folders are not watched.
  scratch.MakeFile("sub\\inner.txt");
  PumpMessagesFor(kFilesBurstSettleMs + 1500);
  EXPECT_EQ(recorder.reports.size(), 1u);
}

TEST(FilesWatcher, SetPathFollowsOnlyExistingFoldersAndIgnoresTheSamePath) {
  TScratchFolder scratch("FilesSetPath");
  const std::string alpha = scratch.MakeFolder("alpha");
  const std::string beta = scratch.MakeFolder("beta");
  TFilesWatcherRecorder recorder;
  TRunningWatcher watcher(recorder.Start(alpha));
  ASSERT_TRUE(watcher.WaitForOpenings(1));

  watcher->SetPath(alpha);
  PumpMessagesFor(500);
  EXPECT_EQ(watcher->WatchOpenings(), 1u);

  watcher->SetPath(scratch.PathOf("missing"));
  EXPECT_EQ(watcher->CurrentPath(), "");
  ASSERT_TRUE(watcher.WaitForOpenings(2));
  scratch.MakeFile("alpha\\unseen.txt");
  PumpMessagesFor(kFilesBurstSettleMs + 1500);
  EXPECT_TRUE(recorder.reports.empty());

  watcher->SetPath(beta);
  EXPECT_EQ(watcher->CurrentPath(), beta);
  ASSERT_TRUE(watcher.WaitForOpenings(3));
  scratch.MakeFile("beta\\seen.txt");
  ASSERT_TRUE(PumpMessagesUntil([&] { return !recorder.reports.empty(); }, kEventWaitMs));
  EXPECT_EQ(recorder.paths[0], beta);
}

TEST(FilesWatcher, StopDuringABurstGivesNoReportButRunsTheTerminationHandler) {
  TScratchFolder scratch("FilesStop");
  TFilesWatcherRecorder recorder;
  TRunningWatcher watcher(recorder.Start(scratch.Path()));
  ASSERT_TRUE(watcher.WaitForOpenings(1));

  scratch.MakeFile("made.txt");
  PumpMessagesFor(300);
  EXPECT_TRUE(watcher.StopAndWaitForEnd());
  PumpMessagesFor(kFilesBurstSettleMs + 500);
  EXPECT_TRUE(recorder.reports.empty());
}

}  // namespace
