// Program kinds from executable headers: images built here byte by byte
// (DOS, 16-bit Windows, PE32, PE32+, LE), truncated and lying ones, and
// the Windows programs Debian ships.
#include "platform/ExecutableType.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ExecutableImages.h"
#include "TempDir.h"

namespace tovtest {
namespace {

using tov::platform::executableType;
using tov::platform::executableTypeOfFile;

constexpr std::uint32_t kMz = 0x5A4D;
constexpr std::uint32_t kPe = 0x4550;
constexpr std::uint32_t kNe = 0x454E;

std::uint32_t typeOf(const std::vector<std::uint8_t>& bytes, std::string_view name = "a.exe") {
  tov::platform::MemoryImageBytes image(bytes);
  return executableType(image, name);
}

TEST(ExecutableType, PeProgramsByKind) {
  EXPECT_EQ(typeOf(peImage({.subsystem = 2, .major = 4, .minor = 0})), 0x04004550u);
  EXPECT_EQ(typeOf(peImage({.subsystem = 2, .major = 6, .minor = 1, .pe32plus = true})), 0x06014550u);
  EXPECT_EQ(typeOf(peImage({.subsystem = 3, .major = 4, .minor = 0})), kPe) << "console: no version";
  EXPECT_EQ(typeOf(peImage({.subsystem = 1})), kPe) << "native";
  EXPECT_EQ(typeOf(peImage({.subsystem = 2, .characteristics = 0x2102})), 0u) << "a DLL is no program";
  EXPECT_EQ(typeOf(peImage({.subsystem = 2, .characteristics = 0x0100})), 0u) << "not an executable image";
  EXPECT_EQ(typeOf(peImage({.subsystem = 2, .magic = 0x107})), 0u) << "a ROM image";
  // Versions a header claims beyond a byte stay in their own byte.
  EXPECT_EQ(typeOf(peImage({.subsystem = 2, .major = 300, .minor = 0x1FF})), 0xFFFF4550u);
  EXPECT_EQ(typeOf(peImage({.subsystem = 2, .major = 4, .minor = 0x100})), 0x04FF4550u);
}

TEST(ExecutableType, NeProgramsForWindowsOnly) {
  EXPECT_EQ(typeOf(neImage({.targetOs = 2, .expectedWindows = 0x030A})), 0x030A454Eu);
  EXPECT_EQ(typeOf(neImage({.targetOs = 4, .expectedWindows = 0x0300})), 0x0300454Eu);
  EXPECT_EQ(typeOf(neImage({.targetOs = 0, .expectedWindows = 0x0200})), 0x0200454Eu) << "Windows 2.x leaves the target unset";
  EXPECT_EQ(typeOf(neImage({.targetOs = 0, .expectedWindows = 0})), 0u);
  EXPECT_EQ(typeOf(neImage({.targetOs = 1, .expectedWindows = 0})), 0u) << "OS/2";
  EXPECT_EQ(typeOf(neImage({.targetOs = 2, .expectedWindows = 0x030A, .flags = 0x8000})), 0u) << "library, font, driver";
}

TEST(ExecutableType, DosAndLinearExecutables) {
  EXPECT_EQ(typeOf(dosImage()), kMz);
  EXPECT_EQ(typeOf(leImage(0)), kMz) << "a DOS-extended program starts as a DOS program";
  EXPECT_EQ(typeOf(leImage(0x28000)), 0u) << "a virtual device driver";
  std::vector<std::uint8_t> lx = leImage(0);
  lx[0x81] = 'X';
  EXPECT_EQ(typeOf(lx), 0u) << "OS/2 2.x";
  // The new-header pointer of a DOS program is part of its relocations:
  // wherever it leads, what is not a known header leaves a DOS program.
  std::vector<std::uint8_t> dos = dosImage();
  for (std::uint32_t pointer : {0x3Cu, 0x40u, 0xFFFFFFFFu, 0x7FFFFFFFu, 0x1000u}) {
    putU32(dos, 0x3C, pointer);
    EXPECT_EQ(typeOf(dos), kMz) << pointer;
  }
}

TEST(ExecutableType, ScriptsAndComFilesByName) {
  const std::vector<std::uint8_t> text{'@', 'e', 'c', 'h', 'o', ' ', 'o', 'f', 'f'};
  EXPECT_EQ(typeOf(text, "RUN.BAT"), kPe);
  EXPECT_EQ(typeOf(text, "dir/run.cmd"), kPe);
  EXPECT_EQ(typeOf({0xB4, 0x4C, 0xCD, 0x21}, "c:\\dos\\tiny.Com"), kMz);
  EXPECT_EQ(typeOf(text, "run.bat.txt"), 0u);
  EXPECT_EQ(typeOf(text, "bat"), 0u);
  EXPECT_EQ(typeOf({}, "empty.exe"), 0u);
  EXPECT_EQ(typeOf(peImage({.subsystem = 2, .major = 4}), "renamed.bat"), 0x04004550u) << "the header decides";
}

// Every prefix of a program (the sanitizer build watches the reads): only
// the whole header gives the program's kind.
TEST(ExecutableType, TruncatedHeadersNeverReadPastTheEnd) {
  const std::vector<std::uint8_t> images[] = {peImage({.subsystem = 2, .major = 4}),
                                              peImage({.subsystem = 3, .pe32plus = true}),
                                              neImage({.targetOs = 2, .expectedWindows = 0x030A}), leImage(0)};
  for (const auto& whole : images) {
    const std::uint32_t complete = typeOf(whole);
    for (std::size_t length = 0; length < whole.size(); ++length) {
      const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
      const std::uint32_t type = typeOf(cut);
      if (length < 0x1C) {
        EXPECT_EQ(type, 0u) << length;
      } else if (length < 0x82) {
        EXPECT_EQ(type, kMz) << length << ": no new header at all";
      } else {
        EXPECT_TRUE(type == 0 || type == complete || (length < 0x84 && type == kMz)) << length << ": " << std::hex << type;
      }
    }
  }
  // Cut inside the fields that matter, a PE image is no program.
  const std::vector<std::uint8_t> pe = peImage({.subsystem = 2, .major = 4});
  EXPECT_EQ(typeOf({pe.begin(), pe.begin() + 0x80 + 24 + 69}), 0u);
}

TEST(ExecutableType, LyingSizes) {
  std::vector<std::uint8_t> pe = peImage({.subsystem = 2, .major = 4});
  putU16(pe, 0x80 + 20, 40);  // an optional header too small to hold the subsystem
  EXPECT_EQ(typeOf(pe), 0u);
  putU16(pe, 0x80 + 20, 0xFFFF);  // larger than the file: the fields read are still inside it
  EXPECT_EQ(typeOf(pe), 0x04004550u);
  // The new header placed over the DOS header's own pointer.
  std::vector<std::uint8_t> overlap(0x200, 0);
  overlap[0] = 'M', overlap[1] = 'Z';
  putU32(overlap, 0x3C, 0x3C);
  EXPECT_EQ(typeOf(overlap), kMz);
}

class ExecutableFiles : public ::testing::Test {
 protected:
  std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    writeBytes(dir / name, std::string(bytes.begin(), bytes.end()));
    return (dir / name).string();
  }
  TempDir dir{"exetype"};
};

TEST_F(ExecutableFiles, CraftedProgramsOnDisk) {
  EXPECT_EQ(executableTypeOfFile(write("dos.exe", dosImage())), kMz);
  EXPECT_EQ(executableTypeOfFile(write("win16.exe", neImage({.targetOs = 2, .expectedWindows = 0x030A}))), 0x030A454Eu);
  EXPECT_EQ(executableTypeOfFile(write("gui.exe", peImage({.subsystem = 2, .major = 4}))), 0x04004550u);
  EXPECT_EQ(executableTypeOfFile(write("tool.exe", peImage({.subsystem = 3}))), kPe);
  EXPECT_EQ(executableTypeOfFile(write("notes.txt", {'h', 'i'})), 0u);
  EXPECT_EQ(executableTypeOfFile(write("go.bat", {'d', 'i', 'r'})), kPe);
}

TEST_F(ExecutableFiles, WhatIsNoRegularFileIsNoProgram) {
  EXPECT_EQ(executableTypeOfFile(dir.path().string()), 0u);
  EXPECT_EQ(executableTypeOfFile((dir / "missing.exe").string()), 0u);
  ASSERT_EQ(mkfifo((dir / "pipe.bat").c_str(), 0600), 0);
  EXPECT_EQ(executableTypeOfFile((dir / "pipe.bat").string()), 0u) << "and it does not wait for a writer";
  EXPECT_EQ(executableTypeOfFile("/dev/zero"), 0u);
  std::filesystem::create_symlink("gui.exe", dir / "link.exe");
  write("gui.exe", peImage({.subsystem = 2, .major = 4}));
  EXPECT_EQ(executableTypeOfFile((dir / "link.exe").string()), 0x04004550u) << "a link is its target";
}

TEST(ExecutableTypeOfDebianFiles, WindowsProgramsAndElf) {
  const std::string wine = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/";
  if (!std::filesystem::exists(wine + "cmd.exe")) GTEST_SKIP() << "libwine is not installed (tools/deps.sh)";
  EXPECT_EQ(executableTypeOfFile(wine + "cmd.exe"), kPe) << "a console program";
  const std::uint32_t notepad = executableTypeOfFile(wine + "notepad.exe");
  EXPECT_EQ(notepad & 0xFFFF, kPe);
  EXPECT_GE(notepad >> 24, 4u) << "a GUI program asks for Windows 4.0 or later";
  EXPECT_EQ(executableTypeOfFile(wine + "kernel32.dll"), 0u);
  EXPECT_EQ(executableTypeOfFile("/bin/sh"), 0u) << "ELF is no Windows program";
}

// 32-bit programs built for this test by the mingw-w64 cross compiler,
// which asks for Windows 4.0 unless told otherwise.
TEST(ExecutableTypeOfDebianFiles, ProgramsBuiltByTheCrossCompiler) {
#ifdef TOV_WINDOWS_PROGRAMS
  const std::string dir = TOV_WINDOWS_PROGRAMS;
  ASSERT_TRUE(std::filesystem::exists(dir + "/gui.exe"));
  EXPECT_EQ(executableTypeOfFile(dir + "/gui.exe"), 0x04004550u);
  EXPECT_EQ(executableTypeOfFile(dir + "/console.exe"), kPe);
  // Its runtime libraries are no programs one starts.
  const std::filesystem::path runtime = "/usr/lib/gcc/i686-w64-mingw32";
  std::error_code ec;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(runtime, ec)) {
    if (entry.path().extension() == ".dll") {
      EXPECT_EQ(executableTypeOfFile(entry.path().string()), 0u) << entry.path();
    }
  }
#else
  GTEST_SKIP() << "the mingw-w64 cross compiler is not installed (tools/deps.sh)";
#endif
}

}  // namespace
}  // namespace tovtest
