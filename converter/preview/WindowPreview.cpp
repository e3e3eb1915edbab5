// Shows one of the converter's windows with real widgets, to look at its
// layout and texts:
//   quillmark-preview frmChooseLanguage|frmChooseLanguage-first|frmMain
//                     [--language 0|1] [--close-after SECONDS]
// The windows work as in the program; settings go wherever HOME points.
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include "converter/CLocalization.h"
#include "converter/ProgramInfo.h"
#include "converter/ProgramResources.h"
#include "converter/frmChooseLanguage.h"
#include "converter/frmMain.h"
#include "ui/Application.h"
#include "ui/Backend.h"
#include "ui/MessageBox.h"
#include "ui/WindowFunctions.h"
#include "ui/qt/QtToolkit.h"

namespace {

struct Options {
  std::string window = "frmChooseLanguage";
  int language = quillmark::CLocalization::kEnglish;
  int closeAfterSeconds = 0;
};

Options parse(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--language" && i + 1 < argc) {
      options.language = std::atoi(argv[++i]);
    } else if (arg == "--close-after" && i + 1 < argc) {
      options.closeAfterSeconds = std::atoi(argv[++i]);
    } else {
      options.window = arg;
    }
  }
  return options;
}

std::unique_ptr<tov::ui::Form> makeWindow(const std::string& name, quillmark::CLocalization& localization) {
  if (name == "frmChooseLanguage" || name == "frmChooseLanguage-first") {
    auto dialog = std::make_unique<quillmark::frmChooseLanguage>(localization);
    if (name == "frmChooseLanguage-first") dialog->prepareFirstStart();
    return dialog;
  }
  if (name == "frmMain") {
    quillmark::frmMain::Services services{
        localization,
        []() -> quillmark::TextFileWriter& { throw std::runtime_error("no conversion in the preview"); },
        [&localization] { quillmark::frmChooseLanguage::choose(localization); }};
    return std::make_unique<quillmark::frmMain>(std::move(services));
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = parse(argc, argv);
  tov::ui::Application app("quillmark-preview", tov::ui::BackendChoice::Automatic, &tov::ui::startQtToolkit);
  quillmark::registerProgramResources();
  tov::ui::asSetWindowResIconAll(tov::ui::asGetThunderMainHandle(), quillmark::kMainIconGroup);
  tov::ui::setApplicationTitle(quillmark::kProgramTitle);
  quillmark::CLocalization localization(quillmark::programInfo());
  localization.setLanguageID(options.language);
  std::unique_ptr<tov::ui::Form> window = makeWindow(options.window, localization);
  if (!window) {
    std::fprintf(stderr, "unknown window %s\n", options.window.c_str());
    return 2;
  }
  if (app.isHeadless()) std::fprintf(stderr, "no display: the window is not drawn\n");
  window->show();
  if (options.closeAfterSeconds > 0 && !app.isHeadless()) {
    QTimer::singleShot(options.closeAfterSeconds * 1000, [&window] { window->pressCloseBox(); });
  }
  tov::ui::runEventLoop();
  window->unload();
  return 0;
}
