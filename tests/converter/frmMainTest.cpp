// The main window driven headless, as a user would: first-start defaults,
// stored settings, Start's enabling, keys, browsing, relabelling.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

#include "ScopedEnv.h"
#include "TempDir.h"
#include "converter/CLocalization.h"
#include "converter/ProgramInfo.h"
#include "converter/frmChooseLanguage.h"
#include "converter/frmMain.h"
#include "converter/modMain.h"
#include "fileio/tovFSO.h"
#include "ui/FileDialog.h"
#include "support/ErrorRecord.h"
#include "support/SettingsStore.h"
#include "ui/HeadlessBackend.h"
#include "ui/KeyCodes.h"
#include "ui/MessageBox.h"

using namespace quillmark;
using tov::ui::Control;
using tov::ui::Form;

namespace {

class CountingWriter : public TextFileWriter {
 public:
  void PutFile(std::u16string_view name, std::u16string_view data) override {
    ++calls;
    if (duringWrite) duringWrite();
    fso.PutFile(name, data, true);
  }
  void PutFileW(std::u16string_view name, std::u16string_view data) override {
    ++calls;
    if (duringWrite) duringWrite();
    fso.PutFileW(name, data, true);
  }
  ferrule::tovFSO fso;
  int calls = 0;
  std::function<void()> duringWrite;
};

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    backend = &tov::ui::useHeadlessBackend();
    backend->setEcho(false);
    tov::ui::setApplicationTitle(kProgramTitle);
    localization.setLanguageID(CLocalization::kEnglish);
  }
  void TearDown() override {
    tov::FileDialog::setProvider(nullptr);
  }

  std::unique_ptr<frmMain> makeWindow() {
    return std::make_unique<frmMain>(frmMain::Services{
        localization, [this]() -> TextFileWriter& { return writer; },
        [this] { frmChooseLanguage::choose(localization); }});
  }
  std::unique_ptr<frmMain> shownWindow() {
    auto window = makeWindow();
    window->show();
    return window;
  }

  void store(const char16_t* key, tov::SettingValue value) {
    tov::SettingsStore().SetValue(u"", key, 1, value, programInfo());
  }
  tov::SettingValue stored(const char16_t* section, const char16_t* key) {
    return tov::SettingsStore().GetValue(section, key, 0, programInfo(), tov::SettingValue());
  }
  std::vector<std::u16string> boxTexts() const {
    std::vector<std::u16string> texts;
    for (const auto& box : backend->messageBoxes()) texts.push_back(box.text);
    return texts;
  }

  tovtest::TempDir config{"config"};
  tovtest::TempDir files{"files"};
  tovtest::ScopedEnv configHome{"XDG_CONFIG_HOME", config.path().c_str()};
  tov::ui::HeadlessBackend* backend = nullptr;
  CLocalization localization{programInfo()};
  CountingWriter writer;
};

TEST_F(MainWindow, FirstStartShowsUtf8AndCrLfAndTranslatedLabels) {
  auto window = shownWindow();
  EXPECT_EQ(window->caption(), u"Quillmark");
  EXPECT_TRUE(window->fixedBorder());
  EXPECT_EQ(window->cboOutputEncoding.text(), u"UTF-8");
  EXPECT_EQ(window->cboParagraphType.text(), u"CR + LF");
  EXPECT_EQ(window->cboOutputEncoding.listCount(), 4);
  EXPECT_EQ(window->cboParagraphType.item(2), u"LF");
  EXPECT_EQ(window->control("lblTag", 0).caption(), u"XML file:");
  EXPECT_EQ(window->fraOptions.caption(), u" Settings ");
  EXPECT_EQ(window->cmdStart.caption(), u"Start!");
  EXPECT_EQ(window->cmdLanguage.caption(), u"Language");
  EXPECT_FALSE(window->cmdStart.enabled());
  EXPECT_EQ(window->defaultButton(), &window->cmdStart);
  EXPECT_EQ(window->cancelButton(), &window->cmdCancel);
}

TEST_F(MainWindow, StoredSelectionsAndTheirFallBacks) {
  struct Case {
    tov::SettingValue encoding, paragraph;
    std::u16string shownEncoding, shownParagraph;
  } cases[] = {
      {std::int32_t{7}, std::int32_t{5}, u"ANSI", u"CR + LF"},
      {std::u16string(u"abc"), std::u16string(u"x"), u"ANSI", u"CR + LF"},
      {std::int32_t{-1}, std::int32_t{-1}, u"UTF-8", u"CR + LF"},
      {std::int32_t{3}, std::int32_t{2}, u"UNICODE", u"LF"},
      {std::int32_t{70000}, std::int32_t{1}, u"ANSI", u"CR"},
  };
  for (const auto& c : cases) {
    store(u"Output Encoding", c.encoding);
    store(u"Paragraph Type", c.paragraph);
    auto window = shownWindow();
    EXPECT_EQ(window->cboOutputEncoding.text(), c.shownEncoding);
    EXPECT_EQ(window->cboParagraphType.text(), c.shownParagraph);
    window->unload();
  }
}

TEST_F(MainWindow, UnloadStoresTheSelections) {
  auto window = shownWindow();
  ASSERT_TRUE(window->cboOutputEncoding.pickItem(1));
  ASSERT_TRUE(window->cboParagraphType.pickItem(2));
  EXPECT_TRUE(window->pressKey(tov::ui::kKeyEscape));
  EXPECT_FALSE(window->isLoaded());
  EXPECT_EQ(stored(u"", u"Output Encoding"), tov::SettingValue(std::u16string(u"1")));
  EXPECT_EQ(stored(u"", u"Paragraph Type"), tov::SettingValue(std::u16string(u"2")));
}

TEST_F(MainWindow, StartIsEnabledExactlyWhenBothNamesAreFilled) {
  auto window = shownWindow();
  window->txtInFileName.setFocus();
  window->txtInFileName.typeText(u"in.xml");
  EXPECT_FALSE(window->cmdStart.enabled());
  EXPECT_EQ(window->txtOutFileName.text(), u"");  // typing never fills the output name
  window->txtOutFileName.setText(u"   ");
  EXPECT_TRUE(window->cmdStart.enabled());  // blanks count as filled
  window->txtInFileName.setText(u"");
  EXPECT_FALSE(window->cmdStart.enabled());
  // Enter and Ctrl+Enter do nothing while Start is disabled.
  window->pressKey(tov::ui::kKeyReturn);
  window->pressKey(tov::ui::kKeyReturn, tov::ui::kCtrlMask);
  EXPECT_EQ(writer.calls, 0);
  EXPECT_TRUE(backend->messageBoxes().empty());
}

TEST_F(MainWindow, CtrlEnterConvertsOnceAndTheWindowKeepsItsFields) {
  const auto in = files / "chat.xml";
  tovtest::writeBytes(in, "<Log><Message Date='d' Time='t'><From><User FriendlyName='a'/></From><Text>x</Text>"
                          "</Message></Log>");
  auto window = shownWindow();
  window->txtInFileName.setText(tovtest::u16(in));
  window->txtOutFileName.setText(tovtest::u16(files / "chat.TXT"));
  window->pressKey(tov::ui::kKeyReturn, tov::ui::kCtrlMask);
  EXPECT_EQ(writer.calls, 1);
  EXPECT_EQ(boxTexts(), std::vector<std::u16string>{u"All done ^_^v"});
  EXPECT_EQ(backend->messageBoxes()[0].style, 64);
  EXPECT_EQ(backend->messageBoxes()[0].title, u"TOVapps - Quillmark");
  EXPECT_TRUE(window->lastConversionSucceeded());
  EXPECT_EQ(window->txtInFileName.text(), tovtest::u16(in));
  EXPECT_TRUE(window->cmdStart.enabled());
  // Enter presses the default button: a second conversion at once.
  window->pressKey(tov::ui::kKeyReturn);
  EXPECT_EQ(writer.calls, 2);
}

TEST_F(MainWindow, FailedConversionReportsAndSaysSo) {
  auto window = shownWindow();
  window->txtInFileName.setText(tovtest::u16(files / "missing.xml"));
  window->txtOutFileName.setText(tovtest::u16(files / "out.txt"));
  window->cmdStart.click();
  EXPECT_FALSE(window->lastConversionSucceeded());
  ASSERT_EQ(backend->messageBoxes().size(), 1u);
  EXPECT_EQ(backend->messageBoxes()[0].style, 16);
  EXPECT_EQ(writer.calls, 0);
}

// While it converts the window is busy and Start cannot be pressed again;
// afterwards Start is back, with the focus it had, whether the conversion
// worked or not.
TEST_F(MainWindow, WhileConvertingTheWindowIsBusyAndStartWaits) {
  const auto in = files / "chat.xml";
  tovtest::writeBytes(in, "<Log><Message Date='d' Time='t'><From><User FriendlyName='a'/></From><Text>x</Text>"
                          "</Message></Log>");
  auto window = shownWindow();
  window->txtInFileName.setText(tovtest::u16(in));
  window->txtOutFileName.setText(tovtest::u16(files / "chat.TXT"));
  ASSERT_TRUE(window->cmdStart.setFocus());
  bool startEnabled = true;
  int busy = 0;
  writer.duringWrite = [&] {
    startEnabled = window->cmdStart.enabled();
    busy = backend->busyDepth();
  };
  window->pressKey(tov::ui::kKeyReturn);
  EXPECT_EQ(writer.calls, 1);
  EXPECT_FALSE(startEnabled);
  EXPECT_GT(busy, 0);
  EXPECT_EQ(backend->busyDepth(), 0);
  EXPECT_TRUE(window->cmdStart.enabled());
  EXPECT_EQ(window->activeControl(), &window->cmdStart);

  // A failed write: the same.
  writer.duringWrite = [] { tov::raiseError(tov::errors::kFileNotFound); };
  window->pressKey(tov::ui::kKeyReturn);
  EXPECT_FALSE(window->lastConversionSucceeded());
  EXPECT_EQ(backend->busyDepth(), 0);
  EXPECT_TRUE(window->cmdStart.enabled());
  EXPECT_EQ(window->activeControl(), &window->cmdStart);
}

TEST_F(MainWindow, OnlyShiftF1OpensTheAboutBox) {
  auto window = shownWindow();
  for (int shift : {0, tov::ui::kCtrlMask, tov::ui::kCtrlMask | tov::ui::kShiftMask}) {
    window->pressKey(tov::ui::kKeyF1, shift);
  }
  EXPECT_TRUE(backend->messageBoxes().empty());
  window->pressKey(tov::ui::kKeyF1, tov::ui::kShiftMask);
  ASSERT_EQ(backend->messageBoxes().size(), 1u);
  EXPECT_NE(backend->messageBoxes()[0].text.find(u"1.01.0004"), std::u16string::npos);
  EXPECT_NE(backend->messageBoxes()[0].text.find(frmMain::kDedication), std::u16string::npos);
  EXPECT_TRUE(window->isLoaded());
}

TEST_F(MainWindow, BrowsingForTheInputFillsBothNamesAndRemembersTheDirectory) {
  std::vector<tov::FileDialogRequest> asked;
  std::u16string answer = u"/data/logs/chat.xml";
  tov::FileDialog::setProvider([&](const tov::FileDialogRequest& r, std::u16string& chosen) {
    asked.push_back(r);
    if (answer.empty()) return false;
    chosen = answer;
    return true;
  });
  auto window = shownWindow();
  window->txtOutFileName.setText(u"typed before.txt");
  window->cmdBrowseInFile.click();
  EXPECT_EQ(window->txtInFileName.text(), u"/data/logs/chat.xml");
  EXPECT_EQ(window->txtOutFileName.text(), u"/data/logs/chat.TXT");
  EXPECT_EQ(window->txtOutFileName.selStart(), static_cast<int>(window->txtOutFileName.text().size()));
  EXPECT_EQ(stored(u"OFN Paths", u"XML File"), tov::SettingValue(std::u16string(u"/data/logs")));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_FALSE(asked[0].save);
  EXPECT_EQ(asked[0].filter, u"XML files|*.XML|All files|*.*");
  EXPECT_EQ(asked[0].initialDirectory, u"");

  // The next browse starts in the remembered directory; a cancelled one
  // changes nothing.
  answer.clear();
  window->cmdBrowseInFile.click();
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[1].initialDirectory, u"/data/logs");
  EXPECT_EQ(asked[1].fileName, u"/data/logs/chat.xml");
  EXPECT_EQ(window->txtOutFileName.text(), u"/data/logs/chat.TXT");

  // Browsing for the output changes only the output name.
  answer = u"/other/place/result.txt";
  window->cmdBrowseOutFile.click();
  EXPECT_TRUE(asked.back().save);
  EXPECT_EQ(asked.back().filter, u"Text files|*.ANP;*.EDT;*.TXT|All files|*.*");
  EXPECT_EQ(window->txtInFileName.text(), u"/data/logs/chat.xml");
  EXPECT_EQ(window->txtOutFileName.text(), u"/other/place/result.txt");
  EXPECT_EQ(stored(u"OFN Paths", u"TXT File"), tov::SettingValue(std::u16string(u"/other/place")));
  EXPECT_EQ(stored(u"OFN Paths", u"XML File"), tov::SettingValue(std::u16string(u"/data/logs")));
}

TEST_F(MainWindow, LanguageButtonRelabelsTheMarkedControls) {
  auto window = shownWindow();
  backend->queueScript([](Form& dialog) {
    dialog.control("lstLanguage").pickItem(0);
    dialog.control("cmdOk").click();
  });
  window->cmdLanguage.click();
  EXPECT_EQ(localization.LanguageID(), CLocalization::kRussian);
  EXPECT_EQ(window->control("lblTag", 0).caption(), u"XML файл:");
  EXPECT_EQ(window->control("lblTag", 1).caption(), u"TXT файл:");
  EXPECT_EQ(window->control("lblTag", 5).caption(), u"Кодировка:");
  EXPECT_EQ(window->control("lblTag", 7).caption(), u"Абзацы:");
  EXPECT_EQ(window->fraOptions.caption(), u" Настройки ");
  EXPECT_EQ(window->cmdStart.caption(), u"Пуск!");
  EXPECT_EQ(window->cmdCancel.caption(), u"Выход");
  EXPECT_EQ(window->cmdLanguage.caption(), u"Language");
  EXPECT_EQ(window->cboOutputEncoding.item(0), u"ANSI");

  // Cancel leaves everything as it is.
  backend->queueScript([](Form& dialog) {
    dialog.control("lstLanguage").pickItem(1);
    dialog.control("cmdCancel").click();
  });
  window->cmdLanguage.click();
  EXPECT_EQ(localization.LanguageID(), CLocalization::kRussian);
  EXPECT_EQ(window->cmdStart.caption(), u"Пуск!");
}

TEST_F(MainWindow, FocusSelectsTheWholeName) {
  auto window = shownWindow();
  window->txtOutFileName.setText(u"some name.txt");
  window->txtOutFileName.setSelStart(3);
  window->txtOutFileName.setFocus();
  EXPECT_EQ(window->txtOutFileName.selStart(), 0);
  EXPECT_EQ(window->txtOutFileName.selLength(), 13);
}

TEST(MakeOutputFileName, ReplacesOnlyTheLastExtension) {
  EXPECT_EQ(MakeOutputFileName(u"C:\\Logs\\chat.xml"), u"C:\\Logs\\chat.TXT");
  EXPECT_EQ(MakeOutputFileName(u"chat"), u"chat.TXT");
  EXPECT_EQ(MakeOutputFileName(u"chat."), u"chat.TXT");
  EXPECT_EQ(MakeOutputFileName(u"/a.b/chat"), u"/a.b/chat.TXT");
  EXPECT_EQ(MakeOutputFileName(u"/home/u/log.2010.xml"), u"/home/u/log.2010.TXT");
}

}  // namespace
