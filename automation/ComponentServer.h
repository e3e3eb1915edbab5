#pragma once
// What a component library's four exported functions do, for any library:
// hand out class factories for the classes a client may create and this
// build serves, tell whether the library is still in use, and write or
// remove its registration.
#include <filesystem>
#include <string_view>
#include <vector>

#include "automation/ClassFactoryObject.h"
#include "automation/ComponentRegistry.h"
#include "automation/TypeDescription.h"

namespace tov::automation {

struct ClassImplementation {
  std::u16string_view className;
  InstanceCreator create;
};

class ComponentServer {
 public:
  // Every implemented class must be described and creatable; a class the
  // description lists as creatable but that has no implementation here is
  // neither registered nor served. Throws std::logic_error otherwise.
  ComponentServer(const TypeLibraryDescription& library, std::vector<ClassImplementation> classes);

  const TypeLibraryDescription& library() const { return library_; }

  // CLASS_E_CLASSNOTAVAILABLE for a class without a factory here.
  HResult getClassObject(const Guid& clsid, const Guid& iid, void** out) const;
  // S_OK when no object of this library and no lock is outstanding.
  HResult canUnloadNow() const;
  HResult registerServer(const std::filesystem::path& libraryPath, const ComponentRegistry& registry) const;
  HResult unregisterServer(const ComponentRegistry& registry) const;

  // The programmatic identifier of a class: "Library.Class".
  std::u16string progIdOf(const ClassDescription& cls) const;

 private:
  struct Served {
    const ClassDescription* description;
    InstanceCreator create;
  };

  std::u16string versionText() const;

  const TypeLibraryDescription& library_;
  std::vector<Served> served_;
};

}  // namespace tov::automation
