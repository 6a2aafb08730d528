#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <random>

#include "naming/Composition.h"
#include "naming/CreationRun.h"
#include "naming/FolderCount.h"
#include "naming/TierRun.h"
#include "naming/Undo.h"
#include "testkit/TestTier.h"

namespace naming::test {
namespace {

using Paths = std::vector<std::string>;

struct CreationRunTest : testing::Test {
  TestTier parent, child;
  TestSettings settings;
  RecordingCreator creator;
  const DateFormatTable table = DateTypeInit(nullptr);

  RunOutcome Run() { return RunCreation({parent, child, settings, table}, creator); }
};

TEST_F(CreationRunTest, TakesFreeLinesByFolderIndex) {
  parent.start = "1", parent.end = "3", parent.digits = "2";
  parent.front = "P", parent.back = "X", parent.pattern = 1, parent.lines = {"a", "b"};
  const RunOutcome outcome = Run();
  EXPECT_EQ(creator.paths, (Paths{"C:\\work\\P01Xa", "C:\\work\\P02Xb", "C:\\work\\P03X"}));
  EXPECT_EQ(outcome.BoxText(), "フォルダを作成しました");
  EXPECT_EQ(outcome.Icon(), MessageIcon::None);
}

TEST_F(CreationRunTest, RepeatedAndEmptyNamesStaySilent) {
  parent.kind = SequenceKind::None, parent.front = "Q", parent.lines = {"1", "2", "3"};
  settings.childFolders = true, child.kind = SequenceKind::None, child.lines = {"c"};
  EXPECT_EQ(Run().failures, 0u);
  EXPECT_EQ(creator.paths, (Paths{"C:\\work\\Q", "C:\\work\\Q\\", "C:\\work\\Q", "C:\\work\\Q\\",
                                  "C:\\work\\Q", "C:\\work\\Q\\"}));
  creator.paths.clear(), parent.front.clear(), settings.base = "C:\\";
  EXPECT_EQ(Run().failures, 0u);
  EXPECT_EQ(creator.paths[0], "C:\\\\");  // an empty name gives the base folder's own path
  parent.lines.clear();
  creator.paths.clear();
  EXPECT_EQ(Run().BoxText(), "作成するフォルダはありません。");
  EXPECT_TRUE(creator.paths.empty());
}

TEST_F(CreationRunTest, ChildrenFollowEachParentAndRestartTheirFreeLines) {
  parent.start = "1", parent.end = "2";
  settings.childFolders = true;
  child.kind = SequenceKind::Letters, child.folderCount = "3", child.pattern = 1;
  child.lines = {"x", "y"};
  child.front = "c";
  Run();
  EXPECT_EQ(creator.paths,
            (Paths{"C:\\work\\1", "C:\\work\\1\\cAx", "C:\\work\\1\\cBy", "C:\\work\\1\\cC",
                   "C:\\work\\2", "C:\\work\\2\\cAx", "C:\\work\\2\\cBy", "C:\\work\\2\\cC"}));
  // The box is read once per run, not once per parent or per folder.
  EXPECT_EQ(child.freeLineReads, 2);
  // An end below the start gives no children, and no box but success.
  child.kind = SequenceKind::Number, child.start = "5", child.end = "4";
  creator.paths.clear();
  EXPECT_EQ(Run().kind, RunOutcome::Kind::Created);
  EXPECT_EQ(creator.paths, (Paths{"C:\\work\\1", "C:\\work\\2"}));
}

TEST_F(CreationRunTest, StopsBeforeCreatingAnythingWithOneBox) {
  child.back = "b?", settings.childFolders = true;
  EXPECT_EQ(Run().BoxText(), ForbiddenCharacterMessage());
  child.back.clear();

  parent.start = "1.5";
  RunOutcome outcome = Run();
  EXPECT_EQ(outcome.BoxText(), "'1.5' は整数ではありません.");
  EXPECT_EQ(outcome.Icon(), MessageIcon::Stop);
  // The parent's digit count is converted before the check, its start and end after it.
  parent.front = "a/b";
  EXPECT_EQ(Run().kind, RunOutcome::Kind::ForbiddenCharacters);
  parent.digits = "x";
  EXPECT_EQ(Run().kind, RunOutcome::Kind::ConversionError);

  // A bad child field stops the run before the first parent folder is made.
  parent = TestTier{}, parent.end = "3";
  child.end = "3-";
  EXPECT_EQ(Run().conversionMessage, "'3-' は整数ではありません");

  // No folder with a file-system path selected: nothing lands at the root of the drive.
  child = TestTier{}, settings.base.clear();
  outcome = Run();
  EXPECT_EQ(outcome.kind, RunOutcome::Kind::NoBasePath);
  EXPECT_EQ(outcome.Icon(), MessageIcon::Warning);
  EXPECT_TRUE(creator.paths.empty());
}

TEST_F(CreationRunTest, HalfADoubleByteCharacterStopsTheRunBeforeAnyFolder) {
  // "a" + 0x81 before the numbers 1 to 9 would give nine names that the file system reads as one.
  parent.front = "a\x81", parent.start = "1", parent.end = "9";
  RunOutcome outcome = Run();
  EXPECT_EQ(outcome.kind, RunOutcome::Kind::BrokenDoubleByte);
  EXPECT_EQ(outcome.BoxText(), "不完全な2バイト文字があるため\r\nフォルダを作成できませんでした。");
  EXPECT_EQ(outcome.Icon(), MessageIcon::None);
  // 0xE4 at the end of the back text would swallow the separator before the child's name.
  parent.front.clear(), parent.back = "\xE4";
  settings.childFolders = true;
  EXPECT_EQ(Run().kind, RunOutcome::Kind::BrokenDoubleByte);
  EXPECT_TRUE(creator.paths.empty());
}

TEST_F(CreationRunTest, CountsFailuresButNotFoldersAlreadyThere) {
  parent.start = "1", parent.end = "3";
  settings.childFolders = true, child.start = "7", child.end = "8";
  creator.existing = {"C:\\work\\1"};
  creator.refused = {"C:\\work\\2", "C:\\work\\2\\7", "C:\\work\\2\\8"};
  const RunOutcome outcome = Run();
  EXPECT_EQ(creator.paths.size(), 9u);  // N x (1 + M), also inside the existing folder
  EXPECT_EQ(outcome.failures, 3u);
  EXPECT_EQ(outcome.BoxText(),
            "フォルダを作成しました\r\n3 個のフォルダを作成できませんでした。最初のフォルダ: "
            "C:\\work\\2 (denied)");
  EXPECT_EQ(outcome.Icon(), MessageIcon::Warning);
}

// Windows would make "a" for "a." and put "a.\c" in it: neither is asked of the disk.
TEST_F(CreationRunTest, RefusesWhatWindowsWouldMakeOtherwiseWithoutAskingTheDisk) {
  parent.kind = SequenceKind::None, parent.pattern = 1;
  parent.lines = {"a.", "b", "NUL", std::string(240, 'x')};
  settings.childFolders = true, child.start = "1", child.end = "1";
  const RunOutcome outcome = Run();
  EXPECT_EQ(creator.paths, (Paths{"C:\\work\\b", "C:\\work\\b\\1"}));
  EXPECT_EQ(outcome.failures, 6u);
  EXPECT_EQ(outcome.BoxText(),
            "フォルダを作成しました\r\n6 個のフォルダを作成できませんでした。最初のフォルダ: "
            "C:\\work\\a. (名前の末尾がピリオドか空白です)");
}

// Real directories in a scratch folder, through the standard library.
struct FilesystemCreator final : DirectoryCreator {
  static std::filesystem::path Native(std::string path) {
#ifndef _WIN32
    std::replace(path.begin(), path.end(), '\\', '/');
#endif
    return path;
  }
  // The stamp the standard library offers, the last change: like Wine's creation time.
  static FolderFacts Facts(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(Native(path), error);
    if (!std::filesystem::exists(status)) return {};
    if (!std::filesystem::is_directory(status)) return {FolderFacts::Kind::Other};
    const auto stamp = std::filesystem::last_write_time(Native(path), error);
    const auto moment = static_cast<FileTime>(stamp.time_since_epoch().count() - INT64_MIN / 2);
    return {FolderFacts::Kind::Folder, moment, moment};
  }
  FolderFacts Inspect(const std::string& path) override { return Facts(path); }
  CreateResult Create(const std::string& path) override {
    std::error_code error;
    if (std::filesystem::create_directory(Native(path), error)) return {};
    if (std::filesystem::is_directory(Native(path))) return {CreateStatus::AlreadyThere, {}};
    return {CreateStatus::Failed, error ? error.message() : "not made"};
  }
};

// A folder of its own under the temporary directory, removed with everything in it.
struct ScratchDirectory {
  const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("tessarin-naming-" + std::to_string(std::random_device{}()));
  ScratchDirectory() { std::filesystem::create_directories(path); }
  ~ScratchDirectory() { std::filesystem::remove_all(path); }
};

TEST_F(CreationRunTest, MakesRealFoldersInAScratchDirectory) {
  const ScratchDirectory scratchDirectory;
  const std::filesystem::path& scratch = scratchDirectory.path;
  settings.base = scratch.string(), settings.childFolders = true;
  parent.start = "1", parent.end = "3", parent.digits = "2", parent.front = "P";
  child.kind = SequenceKind::Letters, child.folderCount = "2";
  std::ofstream(scratch / "P02").put('x');  // a file where a parent folder should go
  std::filesystem::create_directory(scratch / "P03");

  FilesystemCreator real;
  const RunOutcome outcome = RunCreation({parent, child, settings, table}, real);
  EXPECT_TRUE(std::filesystem::is_directory(scratch / "P01" / "B"));
  EXPECT_TRUE(std::filesystem::is_directory(scratch / "P03" / "A"));  // added to the existing one
  EXPECT_EQ(outcome.failures, 3u);  // P02 and both of its children
  EXPECT_EQ(outcome.firstFailedPath, settings.base + "\\P02");
  EXPECT_FALSE(outcome.firstFailureReason.empty());
}

// The strips' count is the run's own: each kind, counted and then run.
TEST_F(CreationRunTest, CountsBeforeTheRunWhatTheRunMakes) {
  auto countThenRun = [this] {
    const auto parents = TierFolderCount(parent, table);
    const auto children = TierFolderCount(child, table);
    creator.paths.clear();
    Run();
    EXPECT_EQ(TotalFolders(parents.value(), children.value_or(0), settings.childFolders),
              creator.paths.size());
    return ChildCountText(parents, children, settings.childFolders);
  };
  parent.start = "98", parent.end = "1102";
  countThenRun();
  EXPECT_EQ(ParentCountText(TierFolderCount(parent, table)), "1,005 個");
  parent.kind = SequenceKind::Date, parent.dateFormat = 8;  // era name and year
  parent.startDate = {2019, 4, 28}, parent.endDate = {2019, 5, 3};
  countThenRun();
  EXPECT_EQ(creator.paths.size(), 6u);
  parent.kind = SequenceKind::Letters, parent.folderCount = "30";
  countThenRun();
  parent.kind = SequenceKind::None, parent.pattern = 1, parent.lines = {"a", "b", "c"};
  countThenRun();
  settings.childFolders = true, child.start = "1", child.end = "12";
  EXPECT_EQ(countThenRun(), "× 12  計 39 個");
  EXPECT_EQ(creator.paths.size(), 39u);

  // A field that is not an integer leaves the count blank, never a box.
  child.end = "1.5";
  EXPECT_EQ(ChildCountText(TierFolderCount(parent, table), TierFolderCount(child, table), true),
            "");
  parent.kind = SequenceKind::Number, parent.start = "-";
  EXPECT_EQ(ParentCountText(TierFolderCount(parent, table)), "");
  child.end = "4";
  EXPECT_EQ(ChildCountText(TierFolderCount(parent, table), TierFolderCount(child, table), true),
            "× 4");
}

// Says yes or no to a large run and stops it before creation `stopAt`.
struct ScriptedControl final : RunControl {
  bool answer = true;
  std::uint64_t stopAt = UINT64_MAX;
  std::vector<RunPlan> asked;
  bool Confirm(const RunPlan& plan) override {
    asked.push_back(plan);
    return answer;
  }
  bool Continue(std::uint64_t done, std::uint64_t, const std::string&) override {
    return done < stopAt;
  }
};

TEST_F(CreationRunTest, AsksBeforeALargeRunAndCanBeStopped) {
  ScriptedControl control;
  parent.start = "1", parent.end = "1000";
  RunCreation({parent, child, settings, table}, creator, &control);
  EXPECT_TRUE(control.asked.empty());  // 1,000 folders go without a question

  parent.end = "11", settings.childFolders = true, child.start = "1", child.end = "100";
  control.answer = false;
  creator.paths.clear();
  const RunOutcome cancelled = RunCreation({parent, child, settings, table}, creator, &control);
  ASSERT_EQ(control.asked.size(), 1u);
  EXPECT_EQ(control.asked[0].total, 1111u);
  EXPECT_EQ(control.asked[0].firstPath, "C:\\work\\1");
  EXPECT_EQ(control.asked[0].lastPath, "C:\\work\\11\\100");
  EXPECT_EQ(cancelled.kind, RunOutcome::Kind::Cancelled);
  EXPECT_EQ(cancelled.BoxText(), "");
  EXPECT_TRUE(creator.paths.empty());

  // Stopped inside the children of the second parent: a depth-first prefix, and its count.
  control.answer = true, control.stopAt = 104;
  creator.existing = {"C:\\work\\1\\7"};
  const RunOutcome stopped = RunCreation({parent, child, settings, table}, creator, &control);
  ASSERT_EQ(creator.paths.size(), 104u);
  EXPECT_EQ(creator.paths[101], "C:\\work\\2");
  EXPECT_EQ(creator.paths[103], "C:\\work\\2\\2");
  EXPECT_TRUE(stopped.stopped);
  EXPECT_EQ(stopped.made, 103u);
  EXPECT_EQ(stopped.BoxText(),
            "作成を中止しました。\r\n中止までに 103 個のフォルダを作成しました。");
}

// Real directories in a scratch folder, through the standard library.
struct FilesystemRemover final : DirectoryRemover {
  FolderFacts Inspect(const std::string& path) override { return FilesystemCreator::Facts(path); }
  std::optional<Listing> List(const std::string& directory, std::size_t most) override {
    std::error_code error;
    Listing listing;
    for (const auto& entry :
         std::filesystem::directory_iterator(FilesystemCreator::Native(directory), error)) {
      if (listing.entries.size() == most) {
        listing.complete = false;
        break;
      }
      const std::string name = entry.path().filename().string();
      listing.entries.push_back({name, Inspect(directory + "\\" + name)});
    }
    if (error) return std::nullopt;
    return listing;
  }
  RemoveResult Remove(const std::string& path) override {
    const std::filesystem::path native = FilesystemCreator::Native(path);
    std::error_code error;
    if (!std::filesystem::is_directory(native, error)) {
      if (std::filesystem::exists(native, error)) return {RemoveStatus::Failed, "not a folder"};
      return {RemoveStatus::Gone, {}};
    }
    if (!std::filesystem::is_empty(native, error)) return {RemoveStatus::NotEmpty, {}};
    if (!std::filesystem::remove(native, error)) return {RemoveStatus::Failed, error.message()};
    return {};
  }
  bool WritesFollowEntries(const std::string&) override { return true; }
};

TEST_F(CreationRunTest, UndoRemovesWhatTheRunMadeAndIsStillEmpty) {
  const ScratchDirectory scratchDirectory;
  const std::filesystem::path& scratch = scratchDirectory.path;
  settings.base = scratch.string(), settings.childFolders = true;
  parent.start = "1", parent.end = "4", parent.front = "P";
  child.kind = SequenceKind::Letters, child.folderCount = "2";
  std::filesystem::create_directories(scratch / "P3" / "A");  // there before the run
  FilesystemCreator real;
  RunOutcome outcome = RunCreation({parent, child, settings, table}, real);
  ASSERT_EQ(outcome.made, 10u);

  std::ofstream(scratch / "P1" / "B" / "note.txt").put('x');  // a file put in after the run
  std::filesystem::rename(scratch / "P2", scratch / "Q2");    // a renamed folder

  FilesystemRemover remover;
  const UndoOutcome undo = UndoRun(outcome.record, remover);
  // Removed P1/A, P3/B, P4/A, P4/B and P4; P2 and its children are gone under their old names;
  // P1/B holds the file and P1 holds P1/B.
  const std::string base = settings.base;
  EXPECT_EQ(undo.BoxText(),
            "作成したフォルダを 5 個削除しました。\r\n"
            "すでになかったフォルダ (名前の変更か削除): 3 個 (最初のフォルダ: " +
                base +
                "\\P2\\B)\r\n2 個は残しました:\r\n"
                "  中にファイルかフォルダがある: 2 個 (最初のフォルダ: " +
                base + "\\P1\\B)");
  EXPECT_EQ(undo.Icon(), MessageIcon::Warning);
  for (const char* kept : {"P1/B/note.txt", "Q2/A", "Q2/B", "P3/A"}) {
    EXPECT_TRUE(std::filesystem::exists(scratch / kept)) << kept;
  }
  EXPECT_FALSE(std::filesystem::exists(scratch / "P4"));
  EXPECT_FALSE(std::filesystem::exists(scratch / "P3" / "B"));

  // Emptied again, the folder goes with the next undo, and its parent with it, while its stamp
  // still falls within the run's span: the Windows build's standard library reads whole seconds.
  // Where the stamp is its last change to the nanosecond (Linux), and its parent's entries changed
  // since the run (the first undo took P1/A), it may be another folder by now, and stays, with its
  // parent. No later undo could take it: it leaves the record.
  std::filesystem::remove(scratch / "P1" / "B" / "note.txt");
  const bool stampInSpan =
      outcome.record.Span().Holds(FilesystemCreator::Facts(base + "\\P1\\B").created);
  const UndoOutcome again = UndoRun(outcome.record, remover);
  EXPECT_EQ(again.BoxText(), stampInSpan
                                 ? "作成したフォルダを 2 個削除しました。"
                                 : "作成したフォルダを 0 個削除しました。\r\n2 個は残しました:\r\n"
                                   "  中にファイルかフォルダがある: 1 個 (最初のフォルダ: " +
                                       base +
                                       "\\P1)\r\n  作成後に中身が変わったか、置き換えられた: 1 個 "
                                       "(最初のフォルダ: " +
                                       base + "\\P1\\B)");
  EXPECT_EQ(again.Icon(), stampInSpan ? MessageIcon::None : MessageIcon::Warning);
  EXPECT_EQ(outcome.record.Made(), stampInSpan ? 0u : 1u);
  EXPECT_EQ(std::filesystem::exists(scratch / "P1" / "B"), !stampInSpan);
  EXPECT_TRUE(std::filesystem::exists(scratch / "P3"));
}

TEST(RunRecordFile, ReadsBackWhatItWroteAndRefusesDamagedOrForeignTexts) {
  RunRecord record("C:\\work");
  record.AddParent("old", false);
  record.AddChild("ソ", true);  // 83 5C: a separator's byte inside a character
  record.AddParent("P1", true);
  record.AddParent("P2", false);  // nothing made in or as it: not kept
  record.Span() = {100, 200};
  record.Touch(1, 300);
  const std::string text = record.Text();
  bool otherVersion = true;
  const std::optional<RunRecord> read = RunRecord::FromText(text, &otherVersion);
  ASSERT_TRUE(read);
  EXPECT_FALSE(otherVersion);
  EXPECT_EQ(read->Text(), text);
  EXPECT_EQ(read->Made(), 2u);
  EXPECT_TRUE(read->IsParentStamp(1, 300));
  EXPECT_FALSE(read->IsParentStamp(0, 300));

  EXPECT_FALSE(RunRecord::FromText("Tessarin undo record 2\r\nC:\\work\r\n1 2\r\n", &otherVersion));
  EXPECT_TRUE(otherVersion);
  const std::string head = "Tessarin undo record 1\r\nC:\\work\r\n1 2\r\n";
  for (const std::string& damaged :
       {head + "-child\r\n", head + "+..\r\n", head + "+a\\b\r\n", head + "+\r\n", head + "+a",
        head + "*a\r\n", text.substr(0, text.size() - 1),
        std::string("Tessarin undo record 1\r\nC:\\work\r\nx 2\r\n")}) {
    EXPECT_FALSE(RunRecord::FromText(damaged, &otherVersion)) << damaged;
    EXPECT_FALSE(otherVersion);
  }
}

// Folders stamped as the test says, removed unless undeletable (the removal then says yes and
// leaves the folder, as Wine may). A folder's last write is its stamp unless `written` says
// otherwise. A listing leaves out the folders `unlisted` names; removing a folder `meanwhile` names
// removes the other folder it names too, as another program might.
struct StampedRemover final : DirectoryRemover {
  std::map<std::string, FileTime> folders, written;
  std::set<std::string> undeletable, unlisted;
  std::map<std::string, std::string> meanwhile;
  std::vector<std::string> inspected, listed;
  bool writesFollowEntries = false;
  FolderFacts Facts(const std::string& path, FileTime stamp) const {
    const auto write = written.find(path);
    return {FolderFacts::Kind::Folder, stamp, write == written.end() ? stamp : write->second};
  }
  FolderFacts Inspect(const std::string& path) override {
    inspected.push_back(path);
    const auto found = folders.find(path);
    if (found == folders.end()) return {};
    return Facts(path, found->second);
  }
  Listing Entries(const std::string& directory, std::size_t most) const {
    Listing listing;
    for (const auto& [path, stamp] : folders) {
      if (path.rfind(directory + "\\", 0) != 0 ||
          path.find('\\', directory.size() + 1) != std::string::npos || unlisted.count(path))
        continue;
      if (listing.entries.size() == most) return listing.complete = false, listing;
      listing.entries.push_back({path.substr(directory.size() + 1), Facts(path, stamp)});
    }
    return listing;
  }
  std::optional<Listing> List(const std::string& directory, std::size_t most) override {
    listed.push_back(directory);
    return Entries(directory, most);
  }
  RemoveResult Remove(const std::string& path) override {
    if (!folders.count(path)) return {RemoveStatus::Gone, {}};
    if (!Entries(path, 0).complete) return {RemoveStatus::NotEmpty, {}};
    if (!undeletable.count(path)) folders.erase(path);
    if (meanwhile.count(path)) folders.erase(meanwhile[path]);
    return {};
  }
  bool WritesFollowEntries(const std::string&) override { return writesFollowEntries; }
};

// Stamps as fine-grained clocks give them: a folder at its creation call, doubled, and its parent a
// moment later whenever a child goes into it.
struct RestampingCreator final : DirectoryCreator {
  std::map<std::string, FileTime> stamps;
  FileTime clock = 0;
  CreateResult Create(const std::string& path) override {
    if (stamps.count(path)) return {CreateStatus::AlreadyThere, {}};
    stamps[path] = clock += 2;
    if (const auto parent = stamps.find(path.substr(0, path.rfind('\\'))); parent != stamps.end())
      parent->second = clock + 1;
    return {};
  }
  FolderFacts Inspect(const std::string& path) override {
    const auto found = stamps.find(path);
    if (found == stamps.end()) return {};
    return {FolderFacts::Kind::Folder, found->second};
  }
};

// The span takes in the last parent's stamp, which its last child moved past that child's own: an
// undo finds every folder of the run within it.
TEST_F(CreationRunTest, TheRecordsSpanHoldsEveryStampTheRunLeft) {
  parent.start = "1", parent.end = "2";
  settings.childFolders = true, child.start = "1", child.end = "2";
  RestampingCreator restamping;
  const RunOutcome outcome = RunCreation({parent, child, settings, table}, restamping);
  ASSERT_EQ(outcome.made, 6u);
  for (const auto& [path, stamp] : restamping.stamps)
    EXPECT_TRUE(outcome.record.Span().Holds(stamp)) << path << " " << stamp;
  EXPECT_FALSE(outcome.record.Span().Holds(1));
  EXPECT_FALSE(outcome.record.Span().Holds(restamping.clock + 2));
}

TEST_F(CreationRunTest, UndoKeepsAStandInAndAFolderTheRemovalLeft) {
  parent.start = "1", parent.end = "3";
  settings.childFolders = true, child.start = "1", child.end = "2";
  RunOutcome outcome = Run();
  // The record creator stamps a folder with the number of its creation call: the span is 1 to 9.
  EXPECT_TRUE(outcome.record.Span().Holds(1) && outcome.record.Span().Holds(9));
  EXPECT_FALSE(outcome.record.Span().Holds(10));

  StampedRemover remover;
  for (std::size_t call = 0; call < creator.paths.size(); ++call)
    remover.folders[creator.paths[call]] = call + 1;
  remover.folders["C:\\work\\2"] = 50;  // renamed away and made again after the run
  remover.undeletable = {"C:\\work\\3\\1"};

  const UndoOutcome undo = UndoRun(outcome.record, remover);
  EXPECT_EQ(undo.removed, 6u);
  EXPECT_EQ(undo.BoxText(),
            "作成したフォルダを 6 個削除しました。\r\n3 個は残しました:\r\n"
            "  中にファイルかフォルダがある: 1 個 (最初のフォルダ: C:\\work\\3)\r\n"
            "  作成したフォルダではない (後から置き換えられた): 1 個 (最初のフォルダ: "
            "C:\\work\\2)\r\n"
            "  削除したと報告されたが残っている: 1 個 (最初のフォルダ: C:\\work\\3\\1)");
  EXPECT_EQ(outcome.record.Made(), 2u);  // 3 and 3\1 stay to be taken later; 2 never can be
  EXPECT_EQ(remover.folders.count("C:\\work\\2"), 1u);
  EXPECT_EQ(remover.folders.count("C:\\work\\1"), 0u);
}

// A folder stamped after the run stays, for a reason the stamps can tell. Where a folder's stamp is
// its last change (Wine: creation and last write alike), it is the run's own, its contents changed
// since, when nothing in its directory changed after the run; otherwise it may also have been
// replaced. Where a stamp is the creation (NTFS, FAT), it is another folder. No later undo could
// take it: it leaves the record.
TEST_F(CreationRunTest, UndoSaysWhyAFolderStampedAfterTheRunStays) {
  parent.start = "1", parent.end = "3";
  const RunOutcome outcome = Run();  // stamps 1 to 3; 2 is stamped 50 since
  // The undo's box, by the base's two stamps and whether writes follow entries.
  const auto undone = [&](FileTime created, FileTime written, bool follows) {
    RunRecord record = outcome.record;
    StampedRemover remover;
    remover.writesFollowEntries = follows;
    remover.folders = {
        {"C:\\work", created}, {"C:\\work\\1", 1}, {"C:\\work\\2", 50}, {"C:\\work\\3", 3}};
    remover.written["C:\\work"] = written;
    const UndoOutcome undo = UndoRun(record, remover);
    EXPECT_EQ(record.Made(), 0u);
    return undo.BoxText();
  };
  const std::string lead = "作成したフォルダを 2 個削除しました。\r\n1 個は残しました:\r\n  ";
  const std::string first = ": 1 個 (最初のフォルダ: C:\\work\\2)";
  const std::string replaced = "作成したフォルダではない (後から置き換えられた)";
  EXPECT_EQ(undone(3, 3, true), lead + "作成後に中身が変わった" + first);
  EXPECT_EQ(undone(60, 60, true), lead + "作成後に中身が変わったか、置き換えられた" + first);
  EXPECT_EQ(undone(0, 3, true), lead + replaced + first);
  EXPECT_EQ(undone(3, 3, false), lead + replaced + first);
}

// Many folders of one parent: their stamps come from one listing of it, taken before the first of
// them goes; a stand-in among them stays, and what the listing misses or what went meanwhile is
// still told right.
TEST_F(CreationRunTest, UndoReadsTheStampsOfManySiblingsFromOneListing) {
  parent.start = "1", parent.end = "1";
  settings.childFolders = true, child.start = "1", child.end = "40";
  RunOutcome outcome = Run();
  StampedRemover remover;
  for (std::size_t call = 0; call < creator.paths.size(); ++call)
    remover.folders[creator.paths[call]] = call + 1;
  remover.folders["C:\\work\\1\\7"] = 50;                    // a stand-in among its siblings
  remover.unlisted = {"C:\\work\\1\\9"};                     // a listing that misses a child
  remover.meanwhile["C:\\work\\1\\30"] = "C:\\work\\1\\20";  // gone before its turn

  const UndoOutcome undo = UndoRun(outcome.record, remover);
  EXPECT_EQ(undo.removed, 38u);
  EXPECT_EQ(undo.gone.count, 1u);
  EXPECT_EQ(undo.standIns.count, 1u);
  EXPECT_EQ(undo.standIns.first, "C:\\work\\1\\7");
  EXPECT_EQ(remover.folders.size(), 2u);  // the stand-in and the parent holding it
  // Read on their own: the missed child, the parent, and the parent again once it stays.
  EXPECT_EQ(remover.inspected, (Paths{"C:\\work\\1", "C:\\work\\1\\9", "C:\\work\\1"}));
}

// Where a folder's last write follows its entries, a parent whose entries last changed within the
// run's span holds only the run's children: they are taken without a look at their stamps. A
// parent written since, or not the run's own, is read child by child, and so is every parent where
// writes do not follow entries (FAT): there a replaced child stays, though its parent says nothing.
TEST_F(CreationRunTest, UndoTakesTheChildrenOfAParentUnchangedSinceTheRunUnread) {
  parent.start = "1", parent.end = "3";
  settings.childFolders = true, child.start = "1", child.end = "20";
  RunOutcome outcome = Run();  // stamps 1 to 63
  RunRecord sameRun = outcome.record;
  auto madeFolders = [&] {
    StampedRemover remover;
    for (std::size_t call = 0; call < creator.paths.size(); ++call)
      remover.folders[creator.paths[call]] = call + 1;
    remover.folders["C:\\work\\2\\5"] = 500;  // renamed away and made again after the run
    return remover;
  };

  StampedRemover follows = madeFolders();
  follows.writesFollowEntries = true;
  follows.written["C:\\work\\2"] = 500;  // restamped by the replacement
  follows.folders["C:\\work\\3"] = 600;  // another folder in the place of a parent...
  follows.written["C:\\work\\3"] = 40;   // ...whose entries changed while the run went on
  const UndoOutcome undo = UndoRun(outcome.record, follows);
  EXPECT_EQ(undo.removed, 60u);  // all but 2\5, 2 holding it, and the stand-in 3
  EXPECT_EQ(undo.standIns.count, 2u);
  EXPECT_EQ(undo.standIns.first, "C:\\work\\3");
  EXPECT_EQ(follows.folders.count("C:\\work\\2\\5"), 1u);
  // Stamps read from a listing of 3 and of 2, never of 1; the stand-ins looked into; the checks.
  EXPECT_EQ(follows.listed, (Paths{"C:\\work\\3", "C:\\work\\3", "C:\\work\\2", "C:\\work\\2\\5",
                                   "C:\\work", "C:\\work\\3", "C:\\work\\2"}));

  StampedRemover fat = madeFolders();
  const UndoOutcome fatUndo = UndoRun(sameRun, fat);
  EXPECT_EQ(fatUndo.removed, 61u);
  EXPECT_EQ(fat.folders.count("C:\\work\\2\\5"), 1u);
  EXPECT_EQ(std::count(fat.listed.begin(), fat.listed.end(), "C:\\work\\1"), 1);
}

TEST(FolderCount, TotalsSaturateAndEveryCountIsGrouped) {
  EXPECT_EQ(TotalFolders(INT64_MAX, INT64_MAX, true), UINT64_MAX);
  EXPECT_EQ(TotalFolders(INT64_MAX, 1, true), 2 * static_cast<std::uint64_t>(INT64_MAX));
  EXPECT_EQ(TotalFolders(INT64_MAX, 2, true), UINT64_MAX);
  EXPECT_EQ(TotalFolders(-3, 5, true), 0u);
  EXPECT_EQ(TotalFolders(4, -5, true), 4u);
  EXPECT_EQ(GroupedNumber(UINT64_MAX), "18,446,744,073,709,551,615");

  RunOutcome outcome;
  outcome.made = 1;
  outcome.failures = 27537;
  outcome.firstFailedPath = "C:\\x", outcome.firstFailureReason = "denied";
  EXPECT_EQ(outcome.BoxText(),
            "フォルダを作成しました\r\n27,537 個のフォルダを作成できませんでした。最初のフォルダ: "
            "C:\\x (denied)");
}

// A run that made no folder never says it made them: it says what happened instead.
TEST_F(CreationRunTest, ARunThatMadeNothingSaysWhy) {
  parent.start = "1", parent.end = "3";
  struct Case {
    std::vector<std::string> existing;
    std::vector<std::string> refused;
    std::string box;
    MessageIcon icon;
  };
  const Case cases[] = {
      {{"C:\\work\\1", "C:\\work\\2", "C:\\work\\3"},
       {},
       "3 個のフォルダがすべて既にあるため、作成したフォルダはありません。",
       MessageIcon::None},
      {{"C:\\work\\1"},
       {"C:\\work\\2", "C:\\work\\3"},
       "フォルダを作成できませんでした。\r\n1 個のフォルダは既にあります。\r\n2 "
       "個のフォルダを作成できませんでした。最初のフォルダ: C:\\work\\2 (denied)",
       MessageIcon::Warning},
      {{},
       {"C:\\work\\1", "C:\\work\\2", "C:\\work\\3"},
       "フォルダを作成できませんでした。\r\n3 個のフォルダを作成できませんでした。最初のフォルダ: "
       "C:\\work\\1 (denied)",
       MessageIcon::Warning},
  };
  for (const Case& c : cases) {
    creator.paths.clear(), creator.existing = c.existing, creator.refused = c.refused;
    const RunOutcome outcome = Run();
    EXPECT_EQ(outcome.BoxText(), c.box);
    EXPECT_EQ(outcome.Icon(), c.icon);
  }
  parent.end = "0";  // below the start: nothing to make
  const RunOutcome nothing = Run();
  EXPECT_EQ(nothing.BoxText(), "作成するフォルダはありません。");
  EXPECT_EQ(nothing.Icon(), MessageIcon::None);
}

}  // namespace
}  // namespace naming::test
