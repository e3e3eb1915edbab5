#pragma once
// One component registry file: which library serves which class, under
// which programmatic identifier, and where each type library lives. The
// machine-wide files and the order clients read them in are RegistrySearch's;
// this is the file itself. One INI-style UTF-8 file, the per-user one by
// default
// ${XDG_DATA_HOME:-$HOME/.local/share}/TOVapps/registry.ini, the home taken
// from the password database when HOME is unset; the variable
// TOVAPPS_REGISTRY names another file. Every write replaces the file in one
// step, so a reader never sees half a line.
//
// A registry that another user could change (the file or a directory above
// it owned by them or writable by them) is neither read nor written: what
// it names is loaded into this process.
//
//   [CLSID\{...}]            Class, ProgID, InprocServer32, ThreadingModel,
//                            TypeLib, Version, AppObject (1 when marked)
//   [ProgID\Lib.Class]       CLSID
//   [TypeLib\{...}]          Name, Version, LCID, HelpString, Path, AppObjects
//   [TypeLibName\Lib]        TypeLib
//   [Interface\{...}]        Name, TypeLib, Version
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "automation/Guid.h"

namespace tov::automation {

struct ClassRecord {
  Guid clsid;
  std::u16string className;
  std::u16string progId;
  std::u16string libraryPath;
  std::u16string threadingModel;
  Guid typeLib;
  std::u16string version;
  bool appObject = false;
};

struct TypeLibraryRecord {
  Guid libid;
  std::u16string name;
  std::u16string version;  // "major.minor"
  std::u16string lcid;     // hexadecimal
  std::u16string help;
  std::u16string path;
  std::vector<std::u16string> appObjects;  // ProgIDs of the application objects
};

class ComponentRegistry {
 public:
  // Empty when no home directory is known at all.
  static std::filesystem::path defaultPath();
  explicit ComponentRegistry(std::filesystem::path file = defaultPath());

  const std::filesystem::path& path() const { return file_; }

  // Why this registry is not used (no file known, or another user could
  // change it), naming the file at fault; empty when it is used.
  std::string trustProblem() const;
  bool usable() const;

  // Each write returns false when the file could not be written.
  bool writeClass(const ClassRecord& record) const;
  bool removeClass(const Guid& clsid, std::u16string_view progId) const;
  bool writeTypeLibrary(const TypeLibraryRecord& record) const;
  bool removeTypeLibrary(const Guid& libid, std::u16string_view name) const;
  bool writeInterface(const Guid& iid, std::u16string_view name, const Guid& libid, std::u16string_view version) const;
  bool removeInterface(const Guid& iid) const;

  std::optional<Guid> clsidOf(std::u16string_view progId) const;
  std::optional<ClassRecord> findClass(const Guid& clsid) const;
  std::optional<TypeLibraryRecord> findTypeLibrary(std::u16string_view libraryName) const;

 private:
  std::string nativePath() const;
  bool ensureDirectory() const;
  bool keepPrivate() const;
  bool set(std::u16string_view section, std::u16string_view key, std::u16string_view value) const;
  bool removeSection(std::u16string_view section) const;

  std::filesystem::path file_;
};

}  // namespace tov::automation
