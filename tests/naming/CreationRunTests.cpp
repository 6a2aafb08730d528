#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "naming/Composition.h"
#include "naming/CreationRun.h"
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
  EXPECT_EQ(Run().BoxText(), "フォルダを作成しました");
  EXPECT_TRUE(creator.paths.empty());
}

TEST_F(CreationRunTest, ChildrenFollowEachParentAndRestartTheirFreeLines) {
  parent.start = "1", parent.end = "2";
  settings.childFolders = true;
  child.kind = SequenceKind::Letters, child.folderCount = "3", child.pattern = 1;
  child.lines = {"x", "y"};
  child.front = "c";
  // Names are made one at a time: each free line is read just before its folder is created.
  struct Interleaving final : DirectoryCreator {
    const TestTier& child;
    Paths paths;
    std::vector<int> readsBefore;
    explicit Interleaving(const TestTier& child) : child(child) {}
    CreateResult Create(const std::string& path) override {
      paths.push_back(path);
      readsBefore.push_back(child.freeLineReads);
      return {};
    }
  } interleaving(child);
  RunCreation({parent, child, settings, table}, interleaving);
  EXPECT_EQ(interleaving.paths,
            (Paths{"C:\\work\\1", "C:\\work\\1\\cAx", "C:\\work\\1\\cBy", "C:\\work\\1\\cC",
                   "C:\\work\\2", "C:\\work\\2\\cAx", "C:\\work\\2\\cBy", "C:\\work\\2\\cC"}));
  EXPECT_EQ(interleaving.readsBefore, (std::vector<int>{0, 1, 2, 2, 2, 3, 4, 4}));
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

// Real directories in a scratch folder, through the standard library.
struct FilesystemCreator final : DirectoryCreator {
  static std::filesystem::path Native(std::string path) {
#ifndef _WIN32
    std::replace(path.begin(), path.end(), '\\', '/');
#endif
    return path;
  }
  CreateResult Create(const std::string& path) override {
    std::error_code error;
    if (std::filesystem::create_directory(Native(path), error)) return {};
    if (std::filesystem::is_directory(Native(path))) return {CreateStatus::AlreadyThere, {}};
    return {CreateStatus::Failed, error ? error.message() : "not made"};
  }
};

// A folder of its own under the temporary directory, removed with everything in it.
struct ScratchDirectory {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() /
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

}  // namespace
}  // namespace naming::test
