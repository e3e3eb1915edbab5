// On Windows the native toolkit is part of the program: nothing to load.
#include "ui/ToolkitModule.h"

#include "ui/win32/Win32Toolkit.h"

namespace tov::ui {

// Nothing is loaded, so nothing of another build can be.
const char kToolkitBuildStamp[] = "built into the program";

std::vector<std::filesystem::path> toolkitModuleCandidates() { return {}; }

ToolkitStart loadToolkitModule(std::string&) { return &startWin32Toolkit; }

}  // namespace tov::ui
