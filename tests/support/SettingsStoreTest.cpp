// The converter's settings file: where it lives, what comes back for each
// kind, and that a write never loses or corrupts what the file held.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "ScopedEnv.h"
#include "TempDir.h"
#include "support/SettingsStore.h"

namespace tov {
namespace {

using tovtest::readBytes;
using tovtest::writeBytes;

using tovtest::ScopedEnv;

AppInfo quillmark() {
  AppInfo app;
  app.name = u"Quillmark";
  app.title = u"TOVapps - Quillmark";
  app.exeName = u"Quillmark";
  return app;
}

class SettingsStoreTest : public ::testing::Test {
 protected:
  tovtest::TempDir dir_{"settings"};
  ScopedEnv config_{"XDG_CONFIG_HOME", dir_.path().c_str()};
  AppInfo app_ = quillmark();
  std::filesystem::path file_ = dir_ / "TOVapps" / "Quillmark.ini";
  SettingsStore store_;

  SettingValue get(std::u16string_view section, std::u16string_view key, int kind, const SettingValue& def) {
    return store_.GetValue(section, key, kind, app_, def, true, false);
  }
  bool set(std::u16string_view section, std::u16string_view key, int kind, const SettingValue& value) {
    return store_.SetValue(section, key, kind, value, app_, true);
  }
};

TEST_F(SettingsStoreTest, PathFollowsXdgConfigHomeThenHome) {
  EXPECT_EQ(SettingsStore::settingsFilePath(app_), file_.string());
  {
    ScopedEnv noXdg("XDG_CONFIG_HOME", nullptr);
    ScopedEnv home("HOME", "/home/someone");
    EXPECT_EQ(SettingsStore::settingsFilePath(app_), "/home/someone/.config/TOVapps/Quillmark.ini");
    ScopedEnv relative("XDG_CONFIG_HOME", "relative/dir");  // not absolute: ignored
    EXPECT_EQ(SettingsStore::settingsFilePath(app_), "/home/someone/.config/TOVapps/Quillmark.ini");
  }
  AppInfo odd = app_;
  odd.name = u"../Evil/Name";
  EXPECT_EQ(std::filesystem::path(SettingsStore::settingsFilePath(odd)).parent_path(), dir_ / "TOVapps");
  odd.name.clear();
  EXPECT_EQ(SettingsStore::settingsFilePath(odd), "");
  EXPECT_FALSE(store_.SetValue(u"", u"k", 0, SettingValue(u"v"), odd));
}

TEST_F(SettingsStoreTest, NothingStoredGivesTheDefault) {
  EXPECT_EQ(get(u"", u"Output Encoding", 1, SettingValue(2)), SettingValue(2));
  EXPECT_EQ(get(u"OFN Paths", u"XML File", 0, SettingValue(u"")), SettingValue(u""));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "TOVapps"));
}

TEST_F(SettingsStoreTest, ValuesRoundTripAndTheFileIsPlainUtf8) {
  ASSERT_TRUE(set(u"OFN Paths", u"XML File", 0, SettingValue(u"/home/пользователь/logs")));
  ASSERT_TRUE(set(u"", u"Output Encoding", 1, SettingValue(3)));
  ASSERT_TRUE(set(u"", u"Paragraph Type", 1, SettingValue(-1)));
  ASSERT_TRUE(set(u"Localization", u"LanguageID", 1, SettingValue(0x0419)));
  EXPECT_EQ(readBytes(file_),
            "Output Encoding=3\nParagraph Type=-1\n[OFN Paths]\n"
            "XML File=/home/\xD0\xBF\xD0\xBE\xD0\xBB\xD1\x8C\xD0\xB7\xD0\xBE\xD0\xB2\xD0\xB0\xD1\x82\xD0\xB5\xD0\xBB\xD1\x8C/logs\n"
            "[Localization]\nLanguageID=1049\n");
  EXPECT_EQ(get(u"", u"output encoding", 1, SettingValue(2)), SettingValue(3));
  EXPECT_EQ(get(u"", u"Paragraph Type", 1, SettingValue(0)), SettingValue(-1));
  EXPECT_EQ(get(u"ofn paths", u"xml file", 0, SettingValue(u"")), SettingValue(u"/home/пользователь/logs"));
  EXPECT_EQ(get(u"Localization", u"LanguageID", 1, SettingValue(-1)), SettingValue(1049));

  ASSERT_TRUE(set(u"", u"Output Encoding", 1, SettingValue(0)));
  EXPECT_EQ(get(u"", u"Output Encoding", 1, SettingValue(2)), SettingValue(0));

  struct stat st {};
  ASSERT_EQ(stat((dir_ / "TOVapps").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(SettingsStoreTest, TextComesBackExactly) {
  for (std::u16string_view text : {u" Settings ", u"\"quoted\"", u"'single'", u"", u"  ", u"a = b ; c", u"[x]"}) {
    ASSERT_TRUE(set(u"Text", u"Value", 0, SettingValue(std::u16string(text))));
    EXPECT_EQ(get(u"Text", u"Value", 0, SettingValue(u"default")), SettingValue(std::u16string(text)));
  }
  ASSERT_TRUE(set(u"Text", u"Value", 0, SettingValue(u" Settings ")));
  EXPECT_NE(readBytes(file_).find("Value=\" Settings \"\n"), std::string::npos);
}

TEST_F(SettingsStoreTest, NumberKindGivesBackTextThatIsNoNumber) {
  std::filesystem::create_directories(file_.parent_path());
  writeBytes(file_,
             "Output Encoding=abc\nParagraph Type=12abc\nbig=2147483648\nsmallest=-2147483648\n"
             "hex=0x1F\nplus=+7\nempty=\n");
  EXPECT_EQ(get(u"", u"Output Encoding", 1, SettingValue(2)), SettingValue(u"abc"));
  EXPECT_EQ(get(u"", u"Paragraph Type", 1, SettingValue(0)), SettingValue(u"12abc"));
  EXPECT_EQ(get(u"", u"big", 1, SettingValue(0)), SettingValue(u"2147483648"));
  EXPECT_EQ(get(u"", u"smallest", 1, SettingValue(0)), SettingValue(std::int32_t{-2147483647 - 1}));
  EXPECT_EQ(get(u"", u"hex", 1, SettingValue(0)), SettingValue(u"0x1F"));
  EXPECT_EQ(get(u"", u"plus", 1, SettingValue(0)), SettingValue(7));
  EXPECT_EQ(get(u"", u"empty", 1, SettingValue(5)), SettingValue(u""));
  // Kind 0 never converts.
  EXPECT_EQ(get(u"", u"smallest", 0, SettingValue(u"")), SettingValue(u"-2147483648"));
}

TEST_F(SettingsStoreTest, MalformedFileKeepsItsBytesWhenAnotherKeyIsWritten) {
  std::filesystem::create_directories(file_.parent_path());
  const std::string garbage = std::string("\x89PNG\r\n\x1A\n\0\xFF\xFE garbage", 19) + "\n[unclosed\nno equals\n";
  writeBytes(file_, garbage);
  EXPECT_EQ(get(u"", u"Output Encoding", 1, SettingValue(2)), SettingValue(2));
  ASSERT_TRUE(set(u"", u"Output Encoding", 1, SettingValue(1)));
  const std::string after = readBytes(file_);
  // The new line copies the file's first line break.
  EXPECT_EQ(after, garbage + "Output Encoding=1\r\n");
  EXPECT_EQ(get(u"", u"Output Encoding", 1, SettingValue(2)), SettingValue(1));
}

TEST_F(SettingsStoreTest, UnreadableFileIsLeftAloneAndTheWriteFails) {
  std::filesystem::create_directories(file_.parent_path());
  if (geteuid() != 0) {
    writeBytes(file_, "[Localization]\nLanguageID=1049\n");
    ASSERT_EQ(chmod(file_.c_str(), 0200), 0);
    EXPECT_EQ(get(u"Localization", u"LanguageID", 1, SettingValue(-1)), SettingValue(-1));
    EXPECT_FALSE(set(u"", u"Output Encoding", 1, SettingValue(1)));
    ASSERT_EQ(chmod(file_.c_str(), 0600), 0);
    EXPECT_EQ(readBytes(file_), "[Localization]\nLanguageID=1049\n");
    std::filesystem::remove(file_);
  }
  std::filesystem::create_directory(file_);  // a folder nobody can read as a file
  EXPECT_EQ(get(u"", u"Output Encoding", 1, SettingValue(2)), SettingValue(2));
  EXPECT_FALSE(set(u"", u"Output Encoding", 1, SettingValue(1)));
  EXPECT_TRUE(std::filesystem::is_directory(file_));
}

TEST_F(SettingsStoreTest, LineBreaksAreRefusedAndEmptyValueRemovesTheKey) {
  ASSERT_TRUE(set(u"OFN Paths", u"TXT File", 0, SettingValue(u"/tmp")));
  const std::string before = readBytes(file_);
  EXPECT_FALSE(set(u"OFN Paths", u"TXT File", 0, SettingValue(u"/tmp\n[Injected]\nx=1")));
  EXPECT_FALSE(set(u"OFN Paths", u"Bad\nKey", 0, SettingValue(u"1")));
  EXPECT_EQ(readBytes(file_), before);

  ASSERT_TRUE(set(u"OFN Paths", u"TXT File", 0, SettingValue()));
  EXPECT_EQ(get(u"OFN Paths", u"TXT File", 0, SettingValue(u"none")), SettingValue(u"none"));
  EXPECT_EQ(readBytes(file_), "[OFN Paths]\n");
}

// Pointing the settings file at a sink is how users stop a program saving
// settings: the sink gets the text and stays what it is.
TEST_F(SettingsStoreTest, SettingsLinkedToASinkAreWrittenThroughIt) {
  std::filesystem::create_directories(file_.parent_path());
  const auto sink = dir_ / "sink";
  ASSERT_EQ(mkfifo(sink.c_str(), 0600), 0);
  const int reader = open(sink.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  std::filesystem::create_symlink(sink, file_);
  EXPECT_TRUE(set(u"", u"Output Encoding", 1, SettingValue(1)));
  char buf[64] = {};
  EXPECT_GT(read(reader, buf, sizeof buf), 0);
  close(reader);
  EXPECT_STREQ(buf, "Output Encoding=1\n");
  EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::symlink_status(file_)));
  EXPECT_TRUE(std::filesystem::is_fifo(std::filesystem::symlink_status(sink)));
}

TEST_F(SettingsStoreTest, EachApplicationHasItsOwnFile) {
  AppInfo other = app_;
  other.name = u"Other";
  ASSERT_TRUE(set(u"", u"Output Encoding", 1, SettingValue(3)));
  EXPECT_EQ(store_.GetValue(u"", u"Output Encoding", 1, other, SettingValue(2)), SettingValue(2));
  ASSERT_TRUE(store_.SetValue(u"", u"Output Encoding", 1, SettingValue(1), other));
  EXPECT_EQ(get(u"", u"Output Encoding", 1, SettingValue(2)), SettingValue(3));
  EXPECT_TRUE(std::filesystem::exists(dir_ / "TOVapps" / "Other.ini"));
}

}  // namespace
}  // namespace tov
