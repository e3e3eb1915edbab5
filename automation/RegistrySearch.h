#pragma once
// The registries a client looks classes up in, most specific first: the
// user's own file, then the machine-wide files that installed packages
// write, <dir>/TOVapps/registry.ini for each XDG data directory in its
// order. The first file that knows a class, a ProgID or a type library
// answers for it whole, so a user's registration overrides the machine's
// class by class, and removing it brings the machine's back.
//
// A file named by TOVAPPS_REGISTRY stands alone: tests and private setups
// see nothing of what the machine has installed.
//
// A file that does not exist is passed over. One that exists but that
// another user could change is never read, and the search stops there with
// the reason: quietly passing over it would hand out an older
// registration, or none, without saying why.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "automation/ComponentRegistry.h"

namespace tov::automation {

template <typename T>
struct RegistryAnswer {
  std::optional<T> value;
  std::filesystem::path from;  // the file that answered, or that was refused
  std::string refusal;         // why the search stopped at `from` unanswered
};

class RegistrySearch {
 public:
  // The files of this process's environment, in the order above.
  static RegistrySearch standard();
  explicit RegistrySearch(std::vector<std::filesystem::path> files);

  // The machine-wide registry files, whether they exist or not.
  static std::vector<std::filesystem::path> systemFiles();
  // The machine-wide registry of an installation with this data directory
  // (/usr/share for a package installed under /usr).
  static std::filesystem::path systemFileIn(const std::filesystem::path& dataDirectory);

  const std::vector<std::filesystem::path>& files() const { return files_; }

  RegistryAnswer<Guid> clsidOf(std::u16string_view progId) const;
  RegistryAnswer<ClassRecord> findClass(const Guid& clsid) const;
  RegistryAnswer<TypeLibraryRecord> findTypeLibrary(std::u16string_view libraryName) const;

  // Where the search looked, for messages: "in /a/registry.ini" or
  // "in /a/registry.ini, /b/registry.ini or /c/registry.ini"; or why there
  // was nowhere to look.
  std::string describe() const;

 private:
  template <typename T, typename Lookup>
  RegistryAnswer<T> search(Lookup lookup) const;

  std::vector<std::filesystem::path> files_;
};

}  // namespace tov::automation
