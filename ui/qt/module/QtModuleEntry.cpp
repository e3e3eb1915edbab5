// What the Qt module exports: the build it belongs to, which the program
// checks first, and how the program starts the toolkit.
#include <string_view>
#include <type_traits>

#include "ui/ToolkitBuildStamp.h"
#include "ui/ToolkitSession.h"
#include "ui/qt/QtToolkit.h"

extern "C" __attribute__((visibility("default"))) const char tovui_build_stamp[] = TOV_TOOLKIT_BUILD_STAMP;

extern "C" __attribute__((visibility("default"))) tov::ui::ToolkitSession* tovui_start_toolkit(
    const char* programName) {
  return tov::ui::startQtToolkit(programName);
}

// The program looks them up by these names and types.
static_assert(std::string_view(tov::ui::kToolkitStartSymbol) == "tovui_start_toolkit");
static_assert(std::string_view(tov::ui::kToolkitStampSymbol) == "tovui_build_stamp");
static_assert(std::is_same_v<decltype(&tovui_start_toolkit), tov::ui::ToolkitStart>);
