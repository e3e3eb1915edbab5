// The real program run unattended, without a display: each mode, its exit
// status, its messages on stderr, and the settings it reads and writes.
#include <gtest/gtest.h>
#include <cstdlib>
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
