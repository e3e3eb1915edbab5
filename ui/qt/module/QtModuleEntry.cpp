// The one symbol the Qt module exports: how the program starts the toolkit
// after loading the module.
#include <string_view>
#include <type_traits>

#include "ui/ToolkitSession.h"
#include "ui/qt/QtToolkit.h"

extern "C" __attribute__((visibility("default"))) tov::ui::ToolkitSession* tovui_start_toolkit(
    const char* programName) {
  return tov::ui::startQtToolkit(programName);
}

// The program looks the entry point up by this name and type.
static_assert(std::string_view(tov::ui::kToolkitStartSymbol) == "tovui_start_toolkit");
static_assert(std::is_same_v<decltype(&tovui_start_toolkit), tov::ui::ToolkitStart>);
