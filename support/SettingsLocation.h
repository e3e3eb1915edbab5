#pragma once
// Where the settings store keeps its files: the user's configuration
// folder, which the system names.
#include <string>

namespace tov {

// The folder that holds the TOVapps settings folder, as a native path;
// empty when the user has none (settings then go nowhere).
std::string settingsHome();

// Creates the folder and any missing parents, private to the user; true
// when it exists afterwards.
bool ensureSettingsFolder(const std::string& dir);

}  // namespace tov
