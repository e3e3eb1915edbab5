// Desktop entry text: keys edited in place, everything else kept, and file
// names written so that the desktop reads back exactly the same name.
#include <gtest/gtest.h>

#include "support/DesktopEntry.h"

namespace tov {
namespace {

constexpr char kInstalled[] =
    "[Desktop Entry]\n"
    "Type=Application\n"
    "Name=Quillmark\n"
    "Name[ru]=Квиллмарк\n"
    "Exec = quillmark %f\n"
    "\n"
    "[Desktop Action convert]\n"
    "Exec=other\n";

TEST(DesktopEntryText, EditsTheMainGroupOnlyAndKeepsTheRest) {
  DesktopEntry entry(kInstalled);
  EXPECT_EQ(entry.value("Exec"), "quillmark %f");
  EXPECT_EQ(entry.value("Name"), "Quillmark");
  EXPECT_EQ(entry.value("Icon"), std::nullopt);
  entry.setValue("Exec", "/opt/q/quillmark %f");
  entry.setValue("Name", "Q");
  entry.setValue("TryExec", "/opt/q/quillmark");
  EXPECT_EQ(entry.text(),
            "[Desktop Entry]\n"
            "Type=Application\n"
            "Name=Q\n"
            "Name[ru]=Квиллмарк\n"
            "Exec=/opt/q/quillmark %f\n"
            "TryExec=/opt/q/quillmark\n"
            "\n"
            "[Desktop Action convert]\n"
            "Exec=other\n");
}

TEST(DesktopEntryText, AddsTheMainGroupWhenThereIsNone) {
  DesktopEntry entry("# nothing yet");
  entry.setValue("Type", "Application");
  EXPECT_EQ(entry.text(), "# nothing yet\n[Desktop Entry]\nType=Application\n");
}

TEST(DesktopEntryText, ProgramNamesAreQuotedAndEscapedAsTheDesktopReadsThem) {
  EXPECT_EQ(DesktopEntry::execArgument("/opt/tov/bin/quillmark"), "/opt/tov/bin/quillmark");
  EXPECT_EQ(DesktopEntry::execArgument("/home/u/My Apps/quillmark"), "\"/home/u/My Apps/quillmark\"");
  // Inside quotes ", `, $ and \ take a backslash; then every backslash is
  // doubled once more for the string value.
  EXPECT_EQ(DesktopEntry::execArgument("/a$b/\"c\"/d\\e"), R"("/a\\$b/\\"c\\"/d\\\\e")");
  EXPECT_EQ(DesktopEntry::execArgument("/100%/q"), "/100%%/q");  // not a field code
  EXPECT_EQ(DesktopEntry::stringValue("/a\\b c/q.png"), "/a\\\\b c/q.png");
  // A line break would end the value and start a line of its own.
  EXPECT_EQ(DesktopEntry::execArgument("/tmp/x\nExec=evil"), std::nullopt);
  EXPECT_EQ(DesktopEntry::stringValue("/tmp/x\ry"), std::nullopt);
}

}  // namespace
}  // namespace tov
