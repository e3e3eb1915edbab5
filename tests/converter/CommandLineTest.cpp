// The real program run unattended, without a display: each mode, its exit
// status, its messages on stderr, and the settings it reads and writes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "ProgramRun.h"
#include "TempDir.h"

namespace {

using tovtest::ProgramRun;

class CommandLine : public ::testing::Test {
 protected:
  // The program writes through the library found in the component
  // registry: register the built one in this test's own registry.
  void SetUp() override {
    const std::string command = "TOVAPPS_REGISTRY='" + registry() + "' '" TOVREGSVR_BINARY "' '" FERRULE_LIBRARY
                                "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }
  std::string registry() const { return (config / "registry.ini").string(); }

  // Runs the program in the work directory, unattended, with this test's
  // own settings, registry and code pages.
  ProgramRun run(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv = {}) {
    std::vector<std::string> env{"QUILLMARK_UI=headless", "XDG_CONFIG_HOME=" + config.path().string(),
                                 "TOVAPPS_ACP=1252", "TOVAPPS_OEMCP=850", "TOVAPPS_REGISTRY=" + registry()};
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    return tovtest::runProgram(QUILLMARK_BINARY, args, {env, {}, work.path().string(), false});
  }

  // The same, stopped after `seconds` (status 124) for runs that might
  // never end.
  ProgramRun runBounded(int seconds, const std::vector<std::string>& args) {
    std::vector<std::string> bounded{std::to_string(seconds), QUILLMARK_BINARY};
    bounded.insert(bounded.end(), args.begin(), args.end());
    std::vector<std::string> env{"QUILLMARK_UI=headless", "XDG_CONFIG_HOME=" + config.path().string(),
                                 "TOVAPPS_REGISTRY=" + registry()};
    return tovtest::runProgram("/usr/bin/timeout", bounded, {env, {}, work.path().string(), false});
  }

  std::string settings() const { return tovtest::readBytes(config / "TOVapps" / "Quillmark.ini"); }

  void writeLog(const std::string& name) {
    tovtest::writeBytes(work / name,
                        "<Log><Message Date='d' Time='t'><From><User FriendlyName='Ann'/></From>"
                        "<To><User FriendlyName='Bob'/></To><Text>hi</Text></Message></Log>");
  }

  tovtest::TempDir work{"cli"};
  tovtest::TempDir config{"cliconfig"};
};

TEST_F(CommandLine, UsageForQuestionMarkAndForThreeArguments) {
  const ProgramRun usage = run({"/?"});
  EXPECT_EQ(usage.status, 0);
  EXPECT_NE(usage.output.find("TOVapps - Quillmark: Usage:"), std::string::npos) << usage.output;
  EXPECT_NE(usage.output.find("quillmark[.EXE] [InFileName [OutFileName]]"), std::string::npos);

  const ProgramRun three = run({"a.xml", "b.txt", "c"});
  EXPECT_EQ(three.status, 2);
  EXPECT_NE(three.output.find("Usage:"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(work / "b.txt"));

  // Without a display the window cannot open: usage instead of waiting.
  const ProgramRun none = run({});
  EXPECT_EQ(none.status, 2);
  EXPECT_NE(none.output.find("Usage:"), std::string::npos);
}

TEST_F(CommandLine, HelpAndVersionSwitches) {
  // The title and version alone on stdout, before anything else starts:
  // no settings are read or written, nothing goes to stderr.
  const std::vector<std::string> env{"QUILLMARK_UI=headless", "XDG_CONFIG_HOME=" + config.path().string()};
  const ProgramRun version = tovtest::runProgram(QUILLMARK_BINARY, {"--version"}, {env, {}, work.path().string(), true});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.output, "TOVapps - Quillmark 1.01.0004\n");
  EXPECT_EQ(run({"--version"}).output, "");
  EXPECT_FALSE(std::filesystem::exists(config / "TOVapps"));
  // A stdout that takes nothing is a failure, not a silent success.
  EXPECT_NE(std::system("'" QUILLMARK_BINARY "' --version >/dev/full 2>/dev/null"), 0);

  for (const char* help : {"--help", "-h"}) {
    const ProgramRun usage = run({help});
    EXPECT_EQ(usage.status, 0) << help;
    EXPECT_NE(usage.output.find("quillmark[.EXE] [InFileName [OutFileName]]"), std::string::npos) << usage.output;
  }

  // Only alone, and as written; anything else is a file name, as before.
  for (const std::vector<std::string>& names :
       {std::vector<std::string>{"--version", "out.txt"}, {"--help", "out.txt"}, {"--HELP"}, {"-H"}, {"-version"}}) {
    const ProgramRun r = run(names);
    EXPECT_EQ(r.status, 1) << names.front();
    EXPECT_EQ(r.output.find("Usage:"), std::string::npos) << r.output;
  }
}

TEST_F(CommandLine, OneArgumentConvertsBesideTheInputAndStoresSettings) {
  writeLog("chat.xml");
  const ProgramRun r = run({"chat.xml"});
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("All done ^_^v"), std::string::npos);
  const std::string text = tovtest::readBytes(work / "chat.TXT");
  EXPECT_EQ(text.substr(0, 6), "\xEF\xBB\xBF###");  // UTF-8 is the first-start default
  EXPECT_NE(text.find("### Ann - Bob\r\n"), std::string::npos);
  // The first start without a display keeps the preselected language and
  // the window's unload stores the selections, as in interactive use.
  const std::string ini = settings();
  EXPECT_NE(ini.find("LanguageID=1"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Output Encoding=2"), std::string::npos);
  EXPECT_NE(ini.find("Paragraph Type=0"), std::string::npos);
}

// Only shell file information needs GLib and the desktop module; a
// conversion through the library must start and run without them.
TEST_F(CommandLine, AConversionLoadsNoDesktopLibraries) {
  writeLog("chat.xml");
  const ProgramRun r = run({"chat.xml"}, {"LD_DEBUG=files"});
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("libFerrule0101.so"), std::string::npos) << "the loader's report is there";
  for (const char* library : {"libgio-2.0", "libglib-2.0", "libgdk_pixbuf", "libtovdesktop-gio"}) {
    EXPECT_EQ(r.output.find(library), std::string::npos) << library;
  }
}

TEST_F(CommandLine, TwoArgumentsUseTheStoredEncodingAndTheOutputAsTyped) {
  writeLog("in.xml");
  std::filesystem::create_directories(config / "TOVapps");
  tovtest::writeBytes(config / "TOVapps" / "Quillmark.ini",
                      "Output Encoding=3\nParagraph Type=2\n[Localization]\nLanguageID=0\n");
  std::filesystem::create_directory(work / "sub");
  const ProgramRun r = run({"in.xml", "sub/out.txt"});
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("Готово ^_^v"), std::string::npos);
  const std::string text = tovtest::readBytes(work / "sub" / "out.txt");
  EXPECT_EQ(text.substr(0, 4), std::string("\xFF\xFE#\0", 4));
  EXPECT_NE(text.find(std::string("h\0i\0\n\0\n\0", 8)), std::string::npos);
}

TEST_F(CommandLine, FailuresEndWithStatusOneAndTheirReport) {
  const ProgramRun missing = run({"missing.xml"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.output.find("Ну далось загрузить файл истории."), std::string::npos) << missing.output;
  EXPECT_FALSE(std::filesystem::exists(work / "missing.TXT"));

  // "/?" with a second word is two file names, and a switch is a file name.
  const ProgramRun twoWords = run({"/?", "out.txt"});
  EXPECT_EQ(twoWords.status, 1);
  EXPECT_EQ(run({"-x"}).status, 1);

  writeLog("chat.xml");
  const ProgramRun noDir = run({"chat.xml", "no/such/dir/out.txt"});
  EXPECT_EQ(noDir.status, 1);
  EXPECT_NE(noDir.output.find("no/such/dir/out.txt"), std::string::npos);
  EXPECT_NE(noDir.output.find("Can't create text file."), std::string::npos);
}

// What is not a file is no log: refused at once, with a reason, instead of
// waiting for a pipe's writer or reading a device that never ends.
TEST_F(CommandLine, InputThatIsNotAFileIsRefusedAtOnce) {
  ASSERT_EQ(mkfifo((work / "pipe.xml").c_str(), 0600), 0);
  for (const std::string input : {"pipe.xml", "/dev/zero"}) {
    const ProgramRun refused = runBounded(30, {input, "out.txt"});
    EXPECT_EQ(refused.status, 1) << input;
    EXPECT_NE(refused.output.find("not a file: only files can be loaded"), std::string::npos) << refused.output;
    EXPECT_FALSE(std::filesystem::exists(work / "out.txt"));
  }
}

// Names in another encoding than UTF-8 reach their own files, and the
// output goes where it was told, not to a look-alike.
TEST_F(CommandLine, NamesThatAreNotUtf8ReachTheirFiles) {
  writeLog("chat-\xE9.xml");
  tovtest::writeBytes(work / "out-\xEF\xBF\xBD.txt", "someone else's");
  const ProgramRun converted = run({"chat-\xE9.xml", "out-\xE9.txt"});
  EXPECT_EQ(converted.status, 0) << converted.output;
  EXPECT_NE(tovtest::readBytes(work / "out-\xE9.txt").find("[d t] Ann:"), std::string::npos);
  EXPECT_EQ(tovtest::readBytes(work / "out-\xEF\xBF\xBD.txt"), "someone else's");
}

// An output that is a FIFO (here behind a link, as /dev/null would be) is
// written through and stays a FIFO.
TEST_F(CommandLine, OutputThatIsAFifoIsWrittenThrough) {
  writeLog("chat.xml");
  ASSERT_EQ(mkfifo((work / "sink").c_str(), 0600), 0);
  std::filesystem::create_symlink("sink", work / "out.txt");
  const int reader = open((work / "sink").c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  const ProgramRun converted = run({"chat.xml", "out.txt"});
  char buf[512] = {};
  const ssize_t got = read(reader, buf, sizeof buf - 1);
  close(reader);
  EXPECT_EQ(converted.status, 0) << converted.output;
  EXPECT_GT(got, 0);
  EXPECT_NE(std::string(buf).find("### Exported History Log"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_fifo(std::filesystem::symlink_status(work / "sink")));
  EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::symlink_status(work / "out.txt")));
}

TEST_F(CommandLine, MissingLibraryIsAClearWriteFailure) {
  writeLog("chat.xml");
  std::filesystem::remove(registry());
  const ProgramRun unregistered = run({"chat.xml"});
  EXPECT_EQ(unregistered.status, 1);
  EXPECT_NE(unregistered.output.find("Can't create text file."), std::string::npos) << unregistered.output;
  EXPECT_NE(unregistered.output.find("Ferrule0101.tovFSO"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(work / "chat.TXT"));

  // A registry entry pointing at a library that is gone.
  tovtest::writeBytes(config / "gone.so", "not a library");
  const std::string command = "TOVAPPS_REGISTRY='" + registry() + "' '" TOVREGSVR_BINARY "' '" FERRULE_LIBRARY
                              "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::string text = tovtest::readBytes(registry());
  const std::string library = FERRULE_LIBRARY;
  for (std::size_t at = text.find(library); at != std::string::npos; at = text.find(library, at)) {
    text.replace(at, library.size(), (config / "gone.so").string());
  }
  tovtest::writeBytes(registry(), text);
  const ProgramRun broken = run({"chat.xml"});
  EXPECT_EQ(broken.status, 1);
  EXPECT_NE(broken.output.find("Ferrule0101.tovFSO"), std::string::npos) << broken.output;
}

TEST_F(CommandLine, FirstStartOnACyrillicSystemChoosesRussian) {
  writeLog("chat.xml");
  const ProgramRun r = run({"chat.xml"}, {"TOVAPPS_ACP=1251"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.output.find("Готово"), std::string::npos);
  EXPECT_NE(settings().find("LanguageID=0"), std::string::npos);
}

}  // namespace
