// The search tree of tovFoundedFiles on real directories: masks, levels,
// sizes, callbacks and cancellation, links and loops, and trees that fail
// or change while they are searched.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ScopedEnv.h"
#include "TempDir.h"
#include "Unprivileged.h"
#include "fileio/tovFoundedFiles.h"
#include "platform/FileAttributes.h"
#include "support/ErrorRecord.h"

namespace tovtest {
namespace {

using ferrule::FoundedFile;
using ferrule::tovFoundedFiles;
namespace fs = std::filesystem;

std::vector<std::u16string> namesOf(const tovFoundedFiles& level) {
  std::vector<std::u16string> names;
  for (std::int32_t i = 0; i < level.Count(); ++i) names.push_back(level.Item(i).FileName());
  return names;
}

FoundedFile& named(const tovFoundedFiles& level, std::u16string_view name) {
  for (std::int32_t i = 0; i < level.Count(); ++i) {
    if (level.Item(i).FileName() == name) return level.Item(i);
  }
  throw std::runtime_error("no entry " + std::string(name.begin(), name.end()));
}

using Names = std::vector<std::u16string>;

// A tree with files of known sizes:
//   .hidden.txt(2) a.txt(3) B.TXT(5) notes.log(7)
//   logs.txt/ e.txt(17) f.log(19)
//   sub/ c.txt(11) deeper/ d.txt(13)
class FoundFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    writeBytes(dir / ".hidden.txt", "hh");
    writeBytes(dir / "a.txt", "aaa");
    writeBytes(dir / "B.TXT", "bbbbb");
    writeBytes(dir / "notes.log", "nnnnnnn");
    fs::create_directories(dir / "logs.txt");
    writeBytes(dir / "logs.txt" / "e.txt", std::string(17, 'e'));
    writeBytes(dir / "logs.txt" / "f.log", std::string(19, 'f'));
    fs::create_directories(dir / "sub" / "deeper");
    writeBytes(dir / "sub" / "c.txt", std::string(11, 'c'));
    writeBytes(dir / "sub" / "deeper" / "d.txt", std::string(13, 'd'));
  }
  std::u16string root() const { return u16(dir.path()); }
  std::u16string at(const std::string& relative) const { return root() + u"/" + u16(relative); }

  // A callback that records each completed level and cancels at `stopAt`.
  tovFoundedFiles::Callback recorder(std::vector<std::u16string>& seen, std::u16string stopAt = {}) {
    return [&seen, stopAt](std::u16string_view path) {
      seen.emplace_back(path);
      return path == stopAt;
    };
  }

  TempDir dir{"found"};
};

TEST_F(FoundFiles, ListsTheWholeTreeSortedWithDirectorySizesFromBelow) {
  tovFoundedFiles files;
  EXPECT_EQ(files.Path(), u"");
  EXPECT_FALSE(files.HasSubItems());
  ASSERT_TRUE(files.Refresh(root(), u"*"));
  EXPECT_TRUE(files.HasSubItems());
  EXPECT_EQ(files.Path(), root());
  EXPECT_EQ(namesOf(files), (Names{u".hidden.txt", u"a.txt", u"B.TXT", u"logs.txt", u"notes.log", u"sub"}));
  FoundedFile& sub = named(files, u"sub");
  EXPECT_EQ(sub.Path(), root());
  EXPECT_EQ(namesOf(sub.Childs()), (Names{u"c.txt", u"deeper"}));
  EXPECT_EQ(sub.Childs().Path(), at("sub"));
  EXPECT_EQ(named(sub.Childs(), u"deeper").Path(), at("sub"));
  EXPECT_EQ(sub.FileSize(), 24.0);
  EXPECT_EQ(named(files, u"logs.txt").FileSize(), 36.0);
  EXPECT_EQ(files.Size(), 2 + 3 + 5 + 36 + 7 + 24.0);
  // A directory's compressed size is its size; a small file's is its size.
  EXPECT_EQ(sub.CompressedFileSize(), 24.0);
  EXPECT_EQ(named(files, u"a.txt").CompressedFileSize(), 3.0);
  EXPECT_TRUE(named(files, u".hidden.txt").hasAttribute(tov::platform::kFileAttributeHidden));
  EXPECT_EQ(named(files, u"a.txt").AlternateFileName(), u"");
  // An entry that is no directory has an empty level below it.
  EXPECT_EQ(named(files, u"a.txt").Childs().Count(), 0);
  EXPECT_FALSE(named(files, u"a.txt").Childs().HasSubItems());
}

TEST_F(FoundFiles, DescendsOnlyIntoDirectoriesTheMaskMatches) {
  tovFoundedFiles files;
  std::vector<std::u16string> seen;
  ASSERT_TRUE(files.RefreshEx(root(), u"*.TXT", false, recorder(seen)));
  EXPECT_EQ(namesOf(files), (Names{u".hidden.txt", u"a.txt", u"B.TXT", u"logs.txt"}));
  EXPECT_EQ(namesOf(named(files, u"logs.txt").Childs()), (Names{u"e.txt"}));
  EXPECT_EQ(named(files, u"logs.txt").FileSize(), 17.0);
  EXPECT_EQ(seen, (Names{at("logs.txt"), root()}));

  // A directory without a match is no complete level: False, no callback.
  seen.clear();
  tovFoundedFiles none;
  EXPECT_FALSE(none.RefreshEx(at("sub/deeper"), u"*.log", false, recorder(seen)));
  EXPECT_FALSE(none.HasSubItems());
  EXPECT_TRUE(seen.empty());
  // An empty directory listed with "*" is complete, with nothing in it.
  fs::create_directory(dir / "empty");
  EXPECT_TRUE(none.RefreshEx(at("empty"), u"*", false, recorder(seen)));
  EXPECT_FALSE(none.HasSubItems());
  EXPECT_EQ(seen, (Names{at("empty")}));
}

TEST_F(FoundFiles, TellsEachLevelBottomUpAndStopsWhereTheCallbackCancels) {
  const Names order{at("logs.txt"), at("sub/deeper"), at("sub"), root()};
  {
    tovFoundedFiles files;
    std::vector<std::u16string> seen;
    ASSERT_TRUE(files.RefreshEx(root(), u"*", false, recorder(seen)));
    EXPECT_EQ(seen, order);
  }
  for (std::size_t stop = 0; stop < order.size(); ++stop) {
    SCOPED_TRACE(std::string(order[stop].begin(), order[stop].end()));
    tovFoundedFiles files;
    std::vector<std::u16string> seen;
    const bool result = files.RefreshEx(root(), u"*", false, recorder(seen, order[stop]));
    EXPECT_EQ(seen, Names(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(stop) + 1));
    if (stop + 1 == order.size()) {
      // Cancel for the starting level itself keeps what it found.
      EXPECT_TRUE(result);
      EXPECT_EQ(files.Count(), 6);
      EXPECT_TRUE(files.cancelled());
    } else {
      EXPECT_FALSE(result);
      EXPECT_EQ(files.Count(), 0);
      EXPECT_FALSE(files.HasSubItems());
      EXPECT_TRUE(files.cancelled());
    }
  }
}

TEST_F(FoundFiles, SearchesWithTheParentAsOneEntry) {
  tovFoundedFiles files;
  std::vector<std::u16string> seen;
  ASSERT_TRUE(files.RefreshEx2(at("sub"), u"*", false, recorder(seen), true));
  ASSERT_EQ(namesOf(files), (Names{u"sub"}));
  EXPECT_EQ(files.Item(0).Path(), root());
  EXPECT_EQ(namesOf(files.Item(0).Childs()), (Names{u"c.txt", u"deeper"}));
  EXPECT_EQ(files.Size(), 24.0);
  EXPECT_EQ(seen, (Names{at("sub/deeper"), at("sub"), at("sub")}));

  // Letter case as the listing has it, wherever the caller's differs.
  ASSERT_TRUE(files.RefreshEx2(at("SUB"), u"*", false, {}, true));
  EXPECT_EQ(files.Item(0).FileName(), u"sub");
  EXPECT_EQ(files.Item(0).Childs().Count(), 2);
}

// Where the Path is the whole pattern and holds wildcards, the entries are
// in the pattern's directory: that is their Path, and where the search
// goes down.
TEST_F(FoundFiles, TakesAWildcardPathAsAPatternInItsDirectory) {
  tovFoundedFiles files;
  ASSERT_TRUE(files.RefreshEx2(at("*.txt"), u"*", false, {}, true));
  EXPECT_EQ(namesOf(files), (Names{u".hidden.txt", u"a.txt", u"B.TXT", u"logs.txt"}));
  FoundedFile& logs = named(files, u"logs.txt");
  EXPECT_EQ(logs.Path(), root());
  EXPECT_EQ(logs.Childs().Path(), at("logs.txt"));
  EXPECT_EQ(namesOf(logs.Childs()), (Names{u"e.txt", u"f.log"}));
  EXPECT_EQ(logs.FileSize(), 36.0);

  // A blank mask makes the Path the pattern too; below it nothing repeats.
  ASSERT_TRUE(files.RefreshEx(at("*.log"), u"  "));
  EXPECT_EQ(namesOf(files), (Names{u"notes.log"}));
  EXPECT_EQ(files.Item(0).Path(), root());
  ASSERT_TRUE(files.RefreshEx(at("sub"), u""));
  EXPECT_EQ(namesOf(files), (Names{u"sub"}));
  EXPECT_EQ(files.Item(0).Childs().Count(), 0);
}

TEST_F(FoundFiles, ReportsAMissingStartAsNothingFound) {
  tovFoundedFiles files;
  ASSERT_TRUE(files.Refresh(root(), u"*"));
  std::vector<std::u16string> seen;
  EXPECT_FALSE(files.RefreshEx(at("missing"), u"*", false, recorder(seen)));
  EXPECT_EQ(files.Count(), 0);
  EXPECT_FALSE(files.HasSubItems());
  EXPECT_EQ(files.Path(), at("missing"));
  EXPECT_FALSE(files.RefreshEx2(at("missing"), u"*", false, recorder(seen), true));
  EXPECT_TRUE(seen.empty());
  EXPECT_THROW(files.Item(0), tov::RuntimeError);
}

TEST_F(FoundFiles, ListsTheRootAsOneEntryWithTheParent) {
  tovFoundedFiles files;
  ASSERT_TRUE(files.RefreshEx2(u"/", u"tovapps-no-such-name-*", false, {}, true));
  ASSERT_EQ(files.Count(), 1);
  const FoundedFile& rootEntry = files.Item(0);
  EXPECT_EQ(rootEntry.FileName(), u"/");
  EXPECT_EQ(rootEntry.Path(), u"");
  EXPECT_TRUE(rootEntry.isDirectory());
  EXPECT_EQ(rootEntry.LastWriteTime().value, 0.0);
  EXPECT_EQ(rootEntry.FileSize(), 0.0);
  // The root named as the whole pattern leads to itself only once.
  ASSERT_TRUE(files.RefreshEx(u"/", u""));
  ASSERT_EQ(files.Count(), 1);
  EXPECT_EQ(files.Item(0).Childs().Count(), 0);
}

TEST_F(FoundFiles, ListsLinksAndNeverEntersADirectoryTwiceOnItsWayDown) {
  fs::create_directory_symlink("..", dir / "sub" / "up");
  fs::create_directory_symlink(".", dir / "self");
  fs::create_directories(dir / "x" / "y");
  fs::create_directory_symlink("../../x", dir / "x" / "y" / "back");
  TempDir outside{"outside"};
  writeBytes(outside / "far.txt", "far");
  fs::create_directory_symlink(outside.path(), dir / "elsewhere");

  tovFoundedFiles followed;
  ASSERT_TRUE(followed.Refresh(root(), u"*"));
  FoundedFile& up = named(named(followed, u"sub").Childs(), u"up");
  EXPECT_EQ(up.FileAttributes(), tov::platform::kFileAttributeReparsePoint | tov::platform::kFileAttributeDirectory);
  EXPECT_EQ(up.Childs().Count(), 0);
  EXPECT_EQ(named(followed, u"self").Childs().Count(), 0);
  EXPECT_EQ(named(named(named(followed, u"x").Childs(), u"y").Childs(), u"back").Childs().Count(), 0);
  EXPECT_EQ(namesOf(named(followed, u"elsewhere").Childs()), (Names{u"far.txt"}));
  EXPECT_EQ(named(followed, u"elsewhere").FileSize(), 3.0);

  tovFoundedFiles kept;
  ASSERT_TRUE(kept.RefreshEx(root(), u"*"));
  EXPECT_EQ(named(kept, u"elsewhere").Childs().Count(), 0);
  EXPECT_TRUE(named(kept, u"elsewhere").isReparsePoint());
  EXPECT_EQ(named(kept, u"elsewhere").FileSize(), 0.0);
}

TEST_F(FoundFiles, ListsUnreadableDirectoriesWithoutChildrenAndGoesOn) {
  fs::create_directory(dir / "locked");
  writeBytes(dir / "locked" / "secret.txt", "s");
  fs::permissions(dir / "locked", fs::perms::owner_all);
  openToOthers(dir.path());
  for (const char* d : {"sub", "sub/deeper", "logs.txt"}) openToOthers(dir / d);
  const std::u16string start = root();
  const std::u16string locked = at("locked");
  EXPECT_TRUE(unprivileged([&] {
    tovFoundedFiles files;
    std::vector<std::u16string> seen;
    const bool found = files.RefreshEx(start, u"*", false, [&seen](std::u16string_view p) {
      seen.emplace_back(p);
      return false;
    });
    const FoundedFile& entry = named(files, u"locked");
    return found && files.Count() == 7 && entry.isDirectory() && entry.childsIfMade() &&
           entry.childsIfMade()->Count() == 0 && named(files, u"sub").Childs().Count() == 2 &&
           std::find(seen.begin(), seen.end(), locked) == seen.end() && seen.back() == start;
  }));
}

TEST_F(FoundFiles, MatchesCyrillicNamesWithoutCase) {
  writeBytes(dir / "Отчёт.TXT", "отчёт");
  fs::create_directory(dir / "Архив");
  writeBytes(dir / "Архив" / "старый отчёт.txt", "x");
  tovFoundedFiles files;
  ASSERT_TRUE(files.Refresh(root(), u"отчёт*"));
  EXPECT_EQ(namesOf(files), (Names{u"Отчёт.TXT"}));
  ASSERT_TRUE(files.Refresh(root(), u"а*"));
  EXPECT_EQ(namesOf(files), (Names{u"Архив"}));  // a Cyrillic "а", not the Latin one of "a.txt"
  EXPECT_EQ(named(files, u"Архив").Childs().Count(), 0);  // "старый отчёт.txt" does not start with "а"
  ASSERT_TRUE(files.Refresh(root(), u"*"));
  EXPECT_EQ(namesOf(named(files, u"Архив").Childs()), (Names{u"старый отчёт.txt"}));
  EXPECT_EQ(named(files, u"Отчёт.TXT").FileSize(), 10.0);
}

TEST_F(FoundFiles, GivesFilesOfFourGibibytesAndMoreTheirWholeSize) {
  const int fd = open((dir / "big.bin").c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, (5LL << 30) + 7), 0);
  close(fd);
  tovFoundedFiles files;
  ASSERT_TRUE(files.RefreshEx(root(), u"big.bin"));
  EXPECT_EQ(files.Item(0).FileSize(), static_cast<double>((5LL << 30) + 7));
  EXPECT_LT(files.Item(0).CompressedFileSize(), 1 << 20);  // nothing written: nothing on disk
}

// Each date is local with the offset in force on that date, summer time
// or not, before 1970 as after.
TEST_F(FoundFiles, GivesLocalDatesWithEachDatesOwnOffset) {
  ScopedEnv tz("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
  const std::pair<const char*, time_t> files[] = {
      {"summer", 1719835200}, {"winter", 1705320000}, {"old", -29851200}};  // each 12:00 UTC
  for (const auto& [name, when] : files) {
    writeBytes(dir / name, "x");
    const timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (dir / name).c_str(), times, 0), 0);
  }
  tovFoundedFiles found;
  ASSERT_TRUE(found.RefreshEx(root(), u"*er"));
  EXPECT_DOUBLE_EQ(named(found, u"summer").LastWriteTime().value, 45474.0 + 14.0 / 24);  // 2024-07-01 14:00
  EXPECT_DOUBLE_EQ(named(found, u"winter").LastWriteTime().value, 45306.0 + 13.0 / 24);  // 2024-01-15 13:00
  EXPECT_DOUBLE_EQ(named(found, u"winter").LastAccessTime().value, 45306.0 + 13.0 / 24);
  ASSERT_TRUE(found.RefreshEx(root(), u"old"));
  EXPECT_DOUBLE_EQ(found.Item(0).LastWriteTime().value, 25223.0 + 13.0 / 24);  // 1969-01-20 13:00
  // No birth time later than the file's own change: never the zero date.
  EXPECT_GT(found.Item(0).CreationTime().value, 0.0);
}

// Pipes, devices and names that are not UTF-8 in the tree: listed, never
// opened (a pipe would wait for a writer), and directories with such names
// searched below.
TEST_F(FoundFiles, ListsPipesDevicesAndNamesThatAreNotUtf8WithoutOpeningThem) {
  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
  fs::create_symlink("/dev/null", dir / "null");
  const std::string odd = "caf\xe9";
  fs::create_directory(dir / odd);
  writeBytes(dir / odd / "line\nbreak", "1234");
  tovFoundedFiles files;
  ASSERT_TRUE(files.Refresh(root(), u"*"));
  const FoundedFile& pipe = named(files, u"pipe");
  EXPECT_EQ(pipe.FileSize(), 0.0);
  EXPECT_EQ(pipe.CompressedFileSize(), 0.0);
  EXPECT_FALSE(pipe.isDirectory());
  EXPECT_TRUE(named(files, u"null").isReparsePoint());
  FoundedFile& cafe = named(files, u"caf\xDCE9");
  EXPECT_EQ(namesOf(cafe.Childs()), (Names{u"line\nbreak"}));
  EXPECT_EQ(cafe.FileSize(), 4.0);
  EXPECT_EQ(cafe.Childs().Path(), at("caf") + u"\xDCE9");
}

// A start holding a NUL must not search the directory its first part names.
TEST_F(FoundFiles, FindsNothingForAStartThatWouldNameAnotherDirectory) {
  tovFoundedFiles files;
  const std::u16string cut = root() + std::u16string(1, u'\0') + u"elsewhere";
  EXPECT_FALSE(files.RefreshEx(cut, u"*"));
  EXPECT_EQ(files.Count(), 0);
  EXPECT_FALSE(files.RefreshEx2(cut, u"*", false, {}, true));
  EXPECT_FALSE(files.RefreshEx(root(), std::u16string(u"a.txt") + u'\0' + u"x"));
  EXPECT_EQ(files.Count(), 0);
}

TEST_F(FoundFiles, GoesOnWhenTheTreeChangesUnderTheSearch) {
  // Each callback removes or replaces a directory the search has yet to
  // enter: "logs.txt" completes first, then "sub" would be entered.
  tovFoundedFiles files;
  std::vector<std::u16string> seen;
  ASSERT_TRUE(files.RefreshEx(root(), u"*", false, [&](std::u16string_view p) {
    seen.emplace_back(p);
    if (p == at("logs.txt")) {
      fs::remove_all(dir / "sub");
      writeBytes(dir / "sub", "now a file");
    }
    return false;
  }));
  EXPECT_EQ(seen, (Names{at("logs.txt"), root()}));
  EXPECT_TRUE(named(files, u"sub").isDirectory());  // as it was listed
  EXPECT_EQ(named(files, u"sub").Childs().Count(), 0);
  EXPECT_EQ(named(files, u"sub").FileSize(), 0.0);
}

TEST_F(FoundFiles, LeavesEveryUnfinishedLevelEmptyWhenTheCallbackFails) {
  tovFoundedFiles files;
  auto failing = [&](std::u16string_view p) -> bool {
    if (p == at("sub")) tov::raiseError(53);
    return false;
  };
  try {
    files.RefreshEx(root(), u"*", false, failing);
    ADD_FAILURE() << "the callback's error was lost";
  } catch (const tov::RuntimeError& e) {
    EXPECT_EQ(e.record().number, 53);
  }
  EXPECT_EQ(files.Count(), 0);
  EXPECT_FALSE(files.HasSubItems());
  // The object stays usable.
  EXPECT_TRUE(files.Refresh(root(), u"*"));
  EXPECT_EQ(files.Count(), 6);
}

TEST_F(FoundFiles, SurvivesACallbackThatRefreshesTheLevelBeingSearched) {
  tovFoundedFiles files;
  int calls = 0;
  std::function<bool(std::u16string_view)> again = [&](std::u16string_view) {
    if (++calls == 1) files.RefreshEx(at("sub"), u"*", false, again);
    return false;
  };
  EXPECT_TRUE(files.RefreshEx(root(), u"*", false, again));
  EXPECT_EQ(files.Count(), 6);
  EXPECT_EQ(files.Path(), root());
}

TEST_F(FoundFiles, KeepsEntriesHandedOutWhenTheLevelIsRefreshed) {
  tovFoundedFiles files;
  ASSERT_TRUE(files.Refresh(root(), u"*"));
  const std::shared_ptr<tovFoundedFiles::Items> before = files.items();
  ASSERT_TRUE(files.Refresh(at("sub"), u"*"));
  ASSERT_EQ(before->size(), 6u);
  EXPECT_EQ((*before)[5].FileName(), u"sub");
  EXPECT_EQ((*before)[5].Childs().Count(), 2);
  EXPECT_EQ(namesOf(files), (Names{u"c.txt", u"deeper"}));
}

// Deeper than any path the platform takes: the search goes down past what
// a path can name, says where it could go no further by an empty level,
// and neither the search nor the tree's end uses the call stack per level.
TEST(FoundFilesDepth, GoesPastTheLongestPathAndStopsCleanly) {
  TempDir dir{"deep"};
  constexpr int kDepth = 300;
  const std::string name(60, 'd');  // 68 levels make a path longer than any the platform takes
  std::vector<int> fds{open(dir.path().c_str(), O_RDONLY | O_DIRECTORY)};
  ASSERT_GE(fds.back(), 0);
  for (int i = 0; i < kDepth; ++i) {
    ASSERT_EQ(mkdirat(fds.back(), name.c_str(), 0755), 0);
    fds.push_back(openat(fds.back(), name.c_str(), O_RDONLY | O_DIRECTORY));
    ASSERT_GE(fds.back(), 0);
  }
  int depth = 0;
  {
    tovFoundedFiles files;
    ASSERT_TRUE(files.Refresh(u16(dir.path()), u"*"));
    for (tovFoundedFiles* level = &files; level->Count() == 1; level = &level->Item(0).Childs()) ++depth;
  }
  EXPECT_GT(depth, 100);
  EXPECT_LT(depth, kDepth);
  // TempDir cannot remove what is deeper than a path reaches; take it
  // apart from the inside.
  for (int i = kDepth; i > 0; --i) {
    close(fds[static_cast<std::size_t>(i)]);
    unlinkat(fds[static_cast<std::size_t>(i) - 1], name.c_str(), AT_REMOVEDIR);
  }
  close(fds[0]);
}

}  // namespace
}  // namespace tovtest
