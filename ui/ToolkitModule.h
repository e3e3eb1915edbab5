#pragma once
// Finds and loads the window toolkit module (libtovui-qt.so). It is looked
// for beside the program (ProgramLocation), or where TOVAPPS_UI_MODULE
// names it. Once loaded it stays loaded for the rest of the run: a toolkit
// does not take well to being unloaded while its threads and exit handlers
// may still be about.
#include <filesystem>
#include <string>
#include <vector>

#include "ui/ToolkitSession.h"

namespace tov::ui {

// The build this program belongs to; a module must carry the same.
extern const char kToolkitBuildStamp[];

// The file names tried, in order.
std::vector<std::filesystem::path> toolkitModuleCandidates();

// The module's entry point; null with the reason in `problem` when no
// module is found, it cannot be loaded or it belongs to another build.
ToolkitStart loadToolkitModule(std::string& problem);

}  // namespace tov::ui
