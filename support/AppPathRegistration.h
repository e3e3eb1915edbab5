#pragma once
// Makes the running program known to the desktop under its own path: a
// per-user desktop entry
//   ${XDG_DATA_HOME:-$HOME/.local/share}/applications/tovapps-<program>.desktop
// made from the entry installed with the program, with Exec and TryExec
// naming the program by its absolute path and Icon by the file installed
// with it. So a program unpacked anywhere shows in the menus and under
// "open with" for its files, and the entry follows it when it moves.
//
// Nothing is written where it would only duplicate or clutter: when the
// program's installed entry already lies in a directory the desktop reads,
// or when the program runs from a build tree (a CMakeCache.txt above it).
// The file is written only when its text changes, and never a failure stops
// the program.
#include <filesystem>
#include <string>
#include <vector>

namespace tov {

class AppPathRegistration {
 public:
  enum class Outcome { Written, Unchanged, NotNeeded, Failed };

  // program: the program's absolute file name. programData: the data
  // directory installed with it (applications/, icons/ below it). dataHome
  // and desktopDataDirs: where the desktop reads entries, as XDG says.
  AppPathRegistration(std::filesystem::path program, std::filesystem::path programData,
                      std::filesystem::path dataHome, std::vector<std::filesystem::path> desktopDataDirs);

  // The running program, its data beside it and the user's XDG directories.
  static AppPathRegistration forRunningProgram();

  std::filesystem::path entryFile() const;
  // The entry's text; empty when there is no installed entry to make it
  // from or the program's name cannot be written in one.
  std::string entryText() const;
  bool needed() const;

  Outcome run() const noexcept;

 private:
  std::filesystem::path installedEntry() const;
  std::string iconValue() const;
  bool inBuildTree() const;

  std::filesystem::path program_;
  std::filesystem::path programData_;
  std::filesystem::path dataHome_;
  std::vector<std::filesystem::path> desktopDataDirs_;
};

// Registers the running program (AppPathRegistration); true when its entry
// is in place or none is needed.
bool asRegisterAppPath();

}  // namespace tov
