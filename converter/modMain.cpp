#include "converter/modMain.h"

#include <cstdio>
#include <string>

#include "converter/CLocalization.h"
#include "converter/LibraryWriter.h"
#include "converter/ProgramInfo.h"
#include "converter/ProgramResources.h"
#include "converter/frmChooseLanguage.h"
#include "converter/frmMain.h"
#include "platform/Utf.h"
#include "support/AppPathRegistration.h"
#include "ui/AppServices.h"
#include "support/ArgumentList.h"
#include "support/FileNameFunctions.h"
#include "support/SystemFunctions.h"
#include "ui/Application.h"
#include "ui/Backend.h"
#include "ui/MessageBox.h"
#include "ui/WindowFunctions.h"

namespace quillmark {
namespace {

CLocalization* g_localization = nullptr;

frmMain::Services mainWindowServices(CLocalization& localization) {
  return frmMain::Services{localization, [] () -> TextFileWriter& { return libraryWriter(); },
                           [&localization] { frmChooseLanguage::choose(localization); }};
}

int convertFromCommandLine(CLocalization& localization) {
  tov::ArgumentList& arguments = tov::AppServices::instance().Arguments();
  if (arguments.Count() > 2 || arguments.Count() == 0) {
    ShowUsage();
    return kExitUsage;
  }
  frmMain window(mainWindowServices(localization));
  window.load();
  window.txtInFileName.setText(tov::asGetFullFileName(arguments.Item(0)));
  // The output name comes from the argument as typed, so a relative input
  // gives a relative output name.
  window.txtOutFileName.setText(arguments.Count() == 1 ? MakeOutputFileName(arguments.Item(0)) : arguments.Item(1));
  window.cmdStart.setValue(true);
  const bool converted = window.lastConversionSucceeded();
  window.unload();
  return converted ? kExitSuccess : kExitConversionFailed;
}

// The program's title and version on stdout, for `quillmark --version`;
// false when they could not be written.
bool printVersion() {
  const std::string line = tov::platform::toUtf8(std::u16string(kProgramTitle) + u" " +
                                                 tov::asFormatVersion(kVersionMajor, kVersionMinor, kVersionRevision)) +
                           "\n";
  return std::fwrite(line.data(), 1, line.size(), stdout) == line.size() && std::fflush(stdout) == 0;
}

bool isUsageRequest(const std::u16string& commandLine) {
  return commandLine == u"/?" || commandLine == u"--help" || commandLine == u"-h";
}

}  // namespace

std::u16string MakeOutputFileName(std::u16string_view fileName) {
  const std::u16string ext = tov::asGetFileExtension(fileName);
  std::u16string name(fileName.substr(0, fileName.size() - ext.size()));
  if (name.empty() || name.back() != u'.') name += u'.';
  return name + u"TXT";
}

void ShowUsage() {
  tov::ui::MessageBox(g_localization ? g_localization->StrUsage() : std::u16string(), tov::ui::kMbIconInformation);
}

int Main() {
  const std::u16string commandLine = tov::asTrimEx(tov::ArgumentList::CommandLineText());
  // Answered before anything starts: no settings read, no window toolkit,
  // no language question.
  if (commandLine == u"--version") return printVersion() ? kExitSuccess : kExitConversionFailed;

  tov::asRegisterAppPath();
  tov::ui::Application application("quillmark");
  registerProgramResources();
  tov::ui::asSetWindowResIconAll(tov::ui::asGetThunderMainHandle(), kMainIconGroup);
  tov::ui::setApplicationTitle(kProgramTitle);

  CLocalization localization(programInfo());
  g_localization = &localization;
  if (!application.isHeadless()) {
    // Without a window system nobody could answer the question: the
    // preselected language stands.
    localization.setLanguageChooser([](CLocalization& l) { frmChooseLanguage::chooseOnFirstStart(l); });
  }
  localization.LoadSettings();

  int status = kExitSuccess;
  if (isUsageRequest(commandLine)) {
    ShowUsage();
  } else if (commandLine.empty() && application.isHeadless()) {
    // No window system: the window cannot open, so say how to convert.
    ShowUsage();
    status = kExitUsage;
  } else if (commandLine.empty()) {
    frmMain window(mainWindowServices(localization));
    window.show();
    tov::ui::runEventLoop();
  } else {
    status = convertFromCommandLine(localization);
  }
  g_localization = nullptr;
  releaseLibraryWriter();
  return status;
}

}  // namespace quillmark
