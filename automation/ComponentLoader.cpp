#include "automation/ComponentLoader.h"

#include <dlfcn.h>

#include <map>
#include <mutex>

#include "automation/RegistrySearch.h"
#include "automation/ServerEntryPoints.h"
#include "platform/TrustedPath.h"
#include "platform/Utf.h"

namespace tov::automation {
namespace {

thread_local std::string tLastMessage;

HResult fail(HResult hr, std::string message) {
  tLastMessage = std::move(message);
  return hr;
}

std::string text(std::u16string_view s) { return platform::toUtf8(s); }

// A bare name goes to the system loader's search, which only the
// administrator and the user's own environment decide; a path must not be
// changeable by another user, and a relative one would depend on the
// working directory.
std::string whyNotTrusted(const std::string& path) {
  if (path.find('/') == std::string::npos) return {};
  if (path.front() != '/') return "it is a relative path";
  return platform::whyUntrusted(path);
}

// The libraries this process has loaded, by path; they stay loaded until
// they say they may go.
class LoadedLibraries {
 public:
  static LoadedLibraries& instance() {
    static LoadedLibraries libs;
    return libs;
  }

  // The library's handle, or nullptr with the loader's message.
  // `refused` tells a library another user could change from one that
  // cannot be loaded.
  void* load(const std::string& path, std::string& error, bool& refused) {
    std::lock_guard lock(mutex_);
    refused = false;
    if (auto it = handles_.find(path); it != handles_.end()) return it->second;
    error = whyNotTrusted(path);
    if (!error.empty()) {
      refused = true;
      return nullptr;
    }
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      const char* why = dlerror();
      error = why ? why : "unknown loader failure";
      return nullptr;
    }
    handles_[path] = handle;
    return handle;
  }

  void freeUnused() {
    std::lock_guard lock(mutex_);
    for (auto it = handles_.begin(); it != handles_.end();) {
      auto canUnload = reinterpret_cast<DllCanUnloadNowFn>(dlsym(it->second, kDllCanUnloadNow));
      if (canUnload && canUnload() == kSOk) {
        dlclose(it->second);
        it = handles_.erase(it);
      } else {
        ++it;
      }
    }
  }

 private:
  std::mutex mutex_;
  std::map<std::string, void*> handles_;
};

std::string describeClass(const ClassRecord& record) {
  return record.progId.empty() ? text(record.clsid.toString()) : text(record.progId);
}

}  // namespace

HResult CoGetClassObject(const Guid& clsid, const Guid& iid, void** out) {
  if (!out) return kEPointer;
  *out = nullptr;
  tLastMessage.clear();
  const RegistrySearch registries = RegistrySearch::standard();
  const RegistryAnswer<ClassRecord> answer = registries.findClass(clsid);
  if (!answer.refusal.empty()) return fail(kEAccessDenied, answer.refusal);
  if (!answer.value) {
    return fail(kRegdbEClassNotReg, "class " + text(clsid.toString()) + " is not registered " + registries.describe());
  }
  const ClassRecord& record = *answer.value;
  const std::string path = text(record.libraryPath);
  std::string loaderError;
  bool refused = false;
  void* handle = LoadedLibraries::instance().load(path, loaderError, refused);
  if (refused) {
    return fail(kEAccessDenied, "the component library " + path + " registered for " + describeClass(record) +
                                    " is not loaded: " + loaderError);
  }
  if (!handle) {
    return fail(kModNotFound, "the component library " + path + " registered for " + describeClass(record) +
                                  " cannot be loaded: " + loaderError);
  }
  auto getClassObject = reinterpret_cast<DllGetClassObjectFn>(dlsym(handle, kDllGetClassObject));
  if (!getClassObject) {
    return fail(kProcNotFound, "the component library " + path + " registered for " + describeClass(record) +
                                   " has no " + kDllGetClassObject);
  }
  const HResult hr = getClassObject(&clsid, &iid, out);
  if (failed(hr)) {
    return fail(hr, "the component library " + path + " does not serve " + describeClass(record) + ": " +
                        describeHResult(hr));
  }
  return hr;
}

HResult CoCreateInstance(const Guid& clsid, Unknown* outer, const Guid& iid, void** out) {
  if (!out) return kEPointer;
  *out = nullptr;
  if (outer) return fail(kClassENoAggregation, "aggregation is not supported");
  ComPtr<ClassFactory> factory;
  if (HResult hr = CoGetClassObject(clsid, kIidClassFactory, factory.putVoid()); failed(hr)) return hr;
  const HResult hr =
      slotOf<CreateInstanceFn>(factory.get(), slots::kCreateInstance)(factory.get(), nullptr, iid, out);
  if (failed(hr)) return fail(hr, "creating " + text(clsid.toString()) + " failed: " + describeHResult(hr));
  return hr;
}

HResult CLSIDFromProgID(std::u16string_view progId, Guid* out) {
  if (!out) return kEPointer;
  tLastMessage.clear();
  if (auto g = Guid::parse(progId)) {
    *out = *g;
    return kSOk;
  }
  const RegistrySearch registries = RegistrySearch::standard();
  const RegistryAnswer<Guid> answer = registries.clsidOf(progId);
  if (!answer.refusal.empty()) return fail(kEAccessDenied, answer.refusal);
  if (answer.value) {
    *out = *answer.value;
    return kSOk;
  }
  return fail(kCoEClassString, "no class named " + text(progId) + " is registered " + registries.describe());
}

void CoFreeUnusedLibraries() { LoadedLibraries::instance().freeUnused(); }

std::string lastCreationMessage() { return tLastMessage; }

ComPtr<Dispatch> createDispatchObject(std::u16string_view progIdOrClsid, HResult& hr) {
  Guid clsid;
  ComPtr<Dispatch> object;
  hr = CLSIDFromProgID(progIdOrClsid, &clsid);
  if (succeeded(hr)) hr = CoCreateInstance(clsid, nullptr, kIidDispatch, object.putVoid());
  return object;
}

}  // namespace tov::automation
