#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

#include "app/Win32Naming.h"
#include "naming/JapaneseEra.h"
#include "tests/support/ScratchFolder.h"

namespace {

using naming::CreateStatus;

TEST(Win32DirectoryCreator, TellsMadeFromAlreadyThereFromFailedWithTheSystemsReason) {
  TScratchFolder scratch("creator");
  app::Win32DirectoryCreator creator;

  const std::string folder = scratch.PathOf("new");
  EXPECT_EQ(creator.Create(folder).status, CreateStatus::Made);
  EXPECT_NE(GetFileAttributesA(folder.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(creator.Create(folder).status, CreateStatus::AlreadyThere);
  // An empty name gives base + "\": the base folder itself, which is there.
  EXPECT_EQ(creator.Create(scratch.Path() + "\\").status, CreateStatus::AlreadyThere);

  // A file of that name leaves no folder behind: a real failure, not "already there".
  const auto onFile = creator.Create(scratch.MakeFile("taken"));
  EXPECT_EQ(onFile.status, CreateStatus::Failed);
  EXPECT_EQ(onFile.reason, "同じ名前のファイルがあります");  // the lists' words

  const auto noParent = creator.Create(scratch.PathOf("missing\\child"));
  EXPECT_EQ(noParent.status, CreateStatus::Failed);
  // The system's own words in the user's language (Windows says 「指定されたパスが…」, Wine
  // 「パスが…」), without the line end it gives them; a code it has no words for, by its number.
  EXPECT_TRUE(noParent.reason.ends_with("パスが見つかりません。")) << noParent.reason;
  EXPECT_EQ(app::SystemErrorText(0x2000FFFF), "エラー 536936447");
}

// The lists' one reading of a folder finds a name exactly where making that folder would: in any
// case of its letters, full-width and Greek ones too, and by the short name of an entry.
TEST(Win32DiskReader, FindsANameWhereMakingItsFolderWouldFindIt) {
  TScratchFolder scratch("reader");
  for (const char* folder : {"ａbc", "α", "Longfilename_abcdef"}) scratch.MakeFolder(folder);
  scratch.MakeFile("Data");
  // é, which code page 932 lacks: an ANSI listing would give it as e.
  CreateDirectoryW(
      (std::wstring(scratch.Path().begin(), scratch.Path().end()) + L"\\\u00e9").c_str(), nullptr);
  char shortPath[MAX_PATH] = {};
  GetShortPathNameA(scratch.PathOf("Longfilename_abcdef").c_str(), shortPath, MAX_PATH);
  const std::string shortName = std::strrchr(shortPath, '\\') + 1;
  ASSERT_NE(shortName, "Longfilename_abcdef");
  const app::Win32DiskReader& disk = app::DiskReader();
  const naming::FolderContents contents = disk.Read(scratch.Path());
  using Entry = naming::FolderContents::Entry;
  const std::pair<std::string, Entry> cases[] = {
      {"ＡBC", Entry::Folder},    {"Α", Entry::Folder},   {"data", Entry::File},
      {shortName, Entry::Folder}, {"ａbcd", Entry::None}, {"ソ", Entry::None},
      {"e", Entry::None}};
  app::Win32DirectoryCreator creator;
  for (const auto& [name, entry] : cases) {
    EXPECT_EQ(contents.Find(disk.Fold(name)), entry) << name;
    const CreateStatus made = creator.Create(scratch.PathOf(name)).status;
    EXPECT_EQ(made, entry == Entry::None     ? CreateStatus::Made
                    : entry == Entry::Folder ? CreateStatus::AlreadyThere
                                             : CreateStatus::Failed)
        << name;
  }
  // Nothing can be made in a folder that is not there, nor in a file.
  for (const std::string& missing : {scratch.PathOf("gone"), scratch.PathOf("Data")}) {
    const naming::FolderContents none = disk.Read(missing);
    EXPECT_FALSE(none.Exists()) << missing;
    EXPECT_EQ(none.Refusal(), app::SystemErrorText(ERROR_PATH_NOT_FOUND));
  }
}

// The listing the undo reads its stamps from: the same facts as a folder read on its own, cut
// short where asked, and nothing in a folder that is gone.
TEST(Win32DirectoryRemover, ListsEntriesWithTheirStampsAsManyAsAskedFor) {
  TScratchFolder scratch("lister");
  scratch.MakeFolder("ソ");  // 83 5C: a separator's byte inside the name
  scratch.MakeFolder("b");
  scratch.MakeFile("f.txt");
  app::Win32DirectoryRemover remover;

  const std::optional<naming::Listing> all = remover.List(scratch.Path(), SIZE_MAX);
  ASSERT_TRUE(all);
  EXPECT_TRUE(all->complete);
  ASSERT_EQ(all->entries.size(), 3u);
  for (const naming::ListedEntry& entry : all->entries) {
    const naming::FolderFacts alone = app::InspectFolder(scratch.PathOf(entry.name));
    EXPECT_EQ(entry.facts.kind, alone.kind) << entry.name;
    EXPECT_EQ(entry.facts.created, alone.created) << entry.name;
    EXPECT_EQ(entry.facts.written, alone.written) << entry.name;
    EXPECT_EQ(entry.facts.kind == naming::FolderFacts::Kind::Folder, entry.name != "f.txt");
  }
  const std::optional<naming::Listing> two = remover.List(scratch.Path(), 2);
  ASSERT_TRUE(two);
  EXPECT_FALSE(two->complete);
  EXPECT_EQ(two->entries.size(), 2u);
  EXPECT_FALSE(remover.List(scratch.Path(), 0)->complete);  // holds something
  EXPECT_TRUE(remover.List(scratch.PathOf("b"), 0)->complete);

  const std::optional<naming::Listing> gone = remover.List(scratch.PathOf("gone"), SIZE_MAX);
  ASSERT_TRUE(gone);
  EXPECT_TRUE(gone->entries.empty());

  // The drive the tests run on stamps a folder whose entries change, as the undo then relies on.
  ASSERT_TRUE(remover.WritesFollowEntries(scratch.Path()));
  const naming::FileTime before = app::InspectFolder(scratch.PathOf("b")).written;
  Sleep(20);
  scratch.MakeFolder("b\\new");
  EXPECT_GT(app::InspectFolder(scratch.PathOf("b")).written, before);
}

TEST(Win32AlternativeCalendar, EraNamesComeFromThePlatformOnlyWhenItReallyWritesJapaneseEras) {
  naming::JapaneseEra era(std::make_unique<app::Win32AlternativeCalendar>());
  // Whichever source serves, the boundary days come out right.
  EXPECT_EQ(era.Of({2004, 2, 3}), (naming::EraText{"平成", "16"}));
  EXPECT_EQ(era.Of({1989, 1, 7}), (naming::EraText{"昭和", "64"}));
  EXPECT_EQ(era.Of({2019, 5, 1}), (naming::EraText{"令和", "01"}));
}

}  // namespace
