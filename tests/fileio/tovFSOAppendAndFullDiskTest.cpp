// Appends from several processes at once, and every writer on a disk that
// runs full: what returned True is in the file, whole, once; what failed
// left the old content as it was.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>

#include "SmallDisk.h"
#include "TempDir.h"
#include "fileio/tovFSO.h"
#include "support/ErrorRecord.h"

namespace {

using ferrule::tovFSO;
using tov::ByteArray;
using tovtest::readBytes;
using tovtest::u16;
using tovtest::writeBytes;
namespace fs = std::filesystem;

ByteArray arrayOf(const std::string& text) {
  return ByteArray(tov::ByteVector(text.begin(), text.end()));
}

// One record: who, which, and a body long enough that two overlapping
// writes would show.
std::string record(char writer, int index) {
  return std::string(1, writer) + std::to_string(100000 + index) + std::string(200, writer) + "\n";
}

// Puts the calling process on the nth processor it may use, so that two
// writers really run at the same time.
void pinToProcessor(int nth) {
  cpu_set_t allowed;
  if (sched_getaffinity(0, sizeof allowed, &allowed) != 0 || CPU_COUNT(&allowed) < 2) return;
  for (int cpu = 0, seen = 0; cpu < CPU_SETSIZE; ++cpu) {
    if (!CPU_ISSET(cpu, &allowed) || seen++ != nth % CPU_COUNT(&allowed)) continue;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(cpu, &one);
    sched_setaffinity(0, sizeof one, &one);
    return;
  }
}

TEST(ConcurrentAppends, NoAppendThatReturnedTrueGoesMissing) {
  tovtest::TempDir dir("append");
  const fs::path log = dir / "log.txt";
  const std::u16string name = u16(log);
  constexpr int kPerProcess = 2500;
  constexpr std::string_view kWriters = "ab";
  std::fflush(nullptr);
  std::vector<pid_t> children;
  for (char writer : kWriters) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      // The child ends here whatever happens, never back in the test runner.
      try {
        pinToProcessor(static_cast<int>(kWriters.find(writer)));
        tovFSO fso;
        std::string succeeded;
        for (int i = 0; i < kPerProcess; ++i) {
          if (fso.AppendFileB(name, arrayOf(record(writer, i)))) succeeded += record(writer, i);
        }
        std::ofstream(dir / std::string(1, writer), std::ios::binary) << succeeded;
      } catch (...) {
        _exit(1);
      }
      _exit(0);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }

  std::map<std::string, int> inFile;
  std::istringstream lines(readBytes(log));
  for (std::string line; std::getline(lines, line);) ++inFile[line + "\n"];
  std::size_t reported = 0;
  for (char writer : kWriters) {
    std::istringstream ok(readBytes(dir / std::string(1, writer)));
    for (std::string line; std::getline(ok, line); ++reported) {
      EXPECT_EQ(inFile[line + "\n"], 1) << "append reported done: " << line.substr(0, 7);
    }
  }
  EXPECT_GT(reported, 0u);
  RecordProperty("appends_reported_done", static_cast<int>(reported));
  // Nothing else: no torn pieces, no appends that reported failure.
  EXPECT_EQ(readBytes(log).size(), reported * record('a', 0).size());
}

// The file-size limit stops a write part-way, as a full disk does.
TEST(FailedAppend, CutsTheFileBackToItsOldLength) {
  tovtest::TempDir dir("append");
  const fs::path file = dir / "f.bin";
  writeBytes(file, "old content");
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit old {};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 4096;
  setrlimit(RLIMIT_FSIZE, &small);
  tovFSO fso;
  const bool first = fso.AppendFileB(u16(file), ByteArray(tov::ByteVector(10000, 'x')));
  const bool retry = fso.AppendFileB(u16(file), ByteArray(tov::ByteVector(10000, 'x')));
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previous);
  EXPECT_FALSE(first);
  EXPECT_FALSE(retry);
  EXPECT_EQ(readBytes(file), "old content");
}

// A tmpfs of its own, filled for real. Each scenario prints what went wrong
// and returns non-zero; the parent only reads the verdict.
class FullDiskTest : public ::testing::Test {
 protected:
  static constexpr std::size_t kDiskSize = 64 * 1024;
  static constexpr std::size_t kOldSize = 20 * 1024;
  static constexpr std::size_t kTooLarge = 100 * 1024;

  static std::string oldContent() {
    std::string s;
    for (std::size_t i = 0; s.size() < kOldSize; ++i) s += "line " + std::to_string(i) + "\n";
    return s.substr(0, kOldSize);
  }

  static int check(bool ok, const char* what) {
    if (!ok) std::fprintf(stderr, "full-disk scenario: %s\n", what);
    return ok ? 0 : 1;
  }

  void run(bool unprivileged, const std::function<int(const fs::path&)>& scenario) {
    const int verdict = tovtest::runOnSmallDisk(kDiskSize, unprivileged, scenario);
    if (verdict == tovtest::kSmallDiskUnavailable) GTEST_SKIP() << "no small tmpfs could be mounted here";
    EXPECT_EQ(verdict, 0);
  }
};

TEST_F(FullDiskTest, FailedAppendLeavesTheOldContent) {
  run(false, [](const fs::path& dir) {
    const fs::path file = dir / "log.txt";
    writeBytes(file, oldContent());
    tovFSO fso;
    std::int32_t number = 0;
    try {
      fso.AppendFileB(u16(file), ByteArray(tov::ByteVector(kTooLarge, 'x')), true);
    } catch (const tov::RuntimeError& e) {
      number = e.record().number;
    }
    const bool retried = fso.AppendFileB(u16(file), ByteArray(tov::ByteVector(kTooLarge, 'x')));
    return check(number == 61, "error 61 (disk full)") + check(!retried, "retry fails too") +
           check(readBytes(file) == oldContent(), "old content kept, nothing added") +
           check(fso.AppendFile(u16(file), u"fits", true), "a small append still fits") +
           check(readBytes(file) == oldContent() + "fits", "small append added once");
  });
}

TEST_F(FullDiskTest, OverwriteThatCannotFitLeavesTheOldContent) {
  run(false, [](const fs::path& dir) {
    const fs::path file = dir / "f.txt";
    writeBytes(file, oldContent());
    tovFSO fso;
    const bool written = fso.OverwriteFileB(u16(file), ByteArray(tov::ByteVector(kTooLarge, 'x')));
    return check(!written, "overwrite fails") + check(readBytes(file) == oldContent(), "old content kept");
  });
}

// A folder that takes no new files leaves only writing in place; the new
// content must not cost the old one when it does not fit.
TEST_F(FullDiskTest, PutInPlaceThatCannotFitLeavesTheOldContent) {
  run(true, [](const fs::path& dir) {
    const fs::path file = dir / "f.txt";
    writeBytes(file, oldContent());
    struct stat before {};
    stat(file.c_str(), &before);
    if (chmod(dir.c_str(), 0555) != 0) return check(false, "chmod of the folder");
    tovFSO fso;
    const bool tooLarge = fso.PutFileB(u16(file), ByteArray(tov::ByteVector(kTooLarge, 'x')));
    const bool kept = readBytes(file) == oldContent();
    const bool fits = fso.PutFile(u16(file), u"short");
    struct stat after {};
    stat(file.c_str(), &after);
    return check(!tooLarge, "put fails") + check(kept, "old content kept") + check(fits, "a put that fits works") +
           check(readBytes(file) == "short", "in-place content") + check(before.st_ino == after.st_ino, "same file");
  });
}

TEST_F(FullDiskTest, PutThatCannotFitLeavesTheOldFile) {
  run(false, [](const fs::path& dir) {
    const fs::path file = dir / "f.txt";
    writeBytes(file, oldContent());
    tovFSO fso;
    const bool written = fso.PutFileB(u16(file), ByteArray(tov::ByteVector(kTooLarge, 'x')));
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++entries;
    return check(!written, "put fails") + check(readBytes(file) == oldContent(), "old content kept") +
           check(entries == 1, "no temporary file left");
  });
}

}  // namespace
