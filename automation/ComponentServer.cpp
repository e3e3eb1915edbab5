#include "automation/ComponentServer.h"

#include <cstdio>
#include <stdexcept>

#include "automation/ModuleUsage.h"
#include "platform/Utf.h"

namespace tov::automation {

ComponentServer::ComponentServer(const TypeLibraryDescription& library, std::vector<ClassImplementation> classes)
    : library_(library) {
  for (const auto& c : classes) {
    const ClassDescription* d = library.findClass(c.className);
    if (!d || !d->creatable() || !c.create) {
      throw std::logic_error("class " + platform::toUtf8(c.className) + " cannot be served");
    }
    served_.push_back({d, c.create});
  }
}

HResult ComponentServer::getClassObject(const Guid& clsid, const Guid& iid, void** out) const {
  if (!out) return kEPointer;
  *out = nullptr;
  for (const auto& s : served_) {
    if (s.description->clsid == clsid) return createObject<ClassFactoryObject>(iid, out, s.create);
  }
  return kClassEClassNotAvailable;
}

HResult ComponentServer::canUnloadNow() const { return ModuleUsage::inUse() ? kSFalse : kSOk; }

std::u16string ComponentServer::progIdOf(const ClassDescription& cls) const {
  return std::u16string(library_.name) + u"." + std::u16string(cls.name);
}

std::u16string ComponentServer::versionText() const {
  return platform::fromUtf8(std::to_string(library_.majorVersion) + "." + std::to_string(library_.minorVersion));
}

HResult ComponentServer::registerServer(const std::filesystem::path& libraryPath,
                                        const ComponentRegistry& registry) const {
  const std::u16string path = platform::fromUtf8(libraryPath.string());
  TypeLibraryRecord lib;
  lib.libid = library_.libid;
  lib.name = library_.name;
  lib.version = versionText();
  char lcid[16];
  std::snprintf(lcid, sizeof lcid, "%X", library_.lcid);
  lib.lcid = platform::fromUtf8(lcid);
  lib.help = library_.help;
  lib.path = path;
  for (const auto& s : served_) {
    if (s.description->flags & kClassAppObject) lib.appObjects.push_back(progIdOf(*s.description));
  }
  if (!registry.writeTypeLibrary(lib)) return kSelfregETypeLib;
  for (const auto& iface : library_.interfaces) {
    if (!registry.writeInterface(iface.iid, iface.name, library_.libid, lib.version)) return kSelfregETypeLib;
  }
  for (const auto& alias : library_.aliases) {
    if (!registry.writeInterface(alias.iid, alias.name, library_.libid, lib.version)) return kSelfregETypeLib;
  }
  for (const auto& s : served_) {
    const ClassDescription& d = *s.description;
    const ClassRecord record{d.clsid,    std::u16string(d.name), progIdOf(d), path, u"Apartment", library_.libid,
                             lib.version, (d.flags & kClassAppObject) != 0};
    if (!registry.writeClass(record)) return kSelfregEClass;
  }
  return kSOk;
}

HResult ComponentServer::unregisterServer(const ComponentRegistry& registry) const {
  // Every class of the library goes, served here or not, so no entry of an
  // older build that served more is left pointing at this file.
  for (const auto& c : library_.classes) {
    if (c.creatable() && !registry.removeClass(c.clsid, progIdOf(c))) return kSelfregEClass;
  }
  for (const auto& iface : library_.interfaces) {
    if (!registry.removeInterface(iface.iid)) return kSelfregETypeLib;
  }
  for (const auto& alias : library_.aliases) {
    if (!registry.removeInterface(alias.iid)) return kSelfregETypeLib;
  }
  return registry.removeTypeLibrary(library_.libid, library_.name) ? kSOk : kSelfregETypeLib;
}

}  // namespace tov::automation
