#include "converter/LibraryWriter.h"

#include "automation/ComponentLoader.h"
#include "automation/DispatchClient.h"
#include "fileio/interface/Ferrule0101Ids.h"
#include "fileio/interface/tovFSOSlots.h"
#include "platform/Utf.h"

#include <cstdio>

namespace quillmark {
namespace {

using tov::automation::ComPtr;
using tov::automation::Dispatch;
using tov::automation::HResult;
using tov::automation::VariantBool;

constexpr char16_t kComponent[] = u"Ferrule0101.tovFSO";

std::u16string hex(HResult hr) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(hr));
  return tov::platform::fromUtf8(buf);
}

class ComponentWriter : public TextFileWriter {
 public:
  void PutFile(std::u16string_view fileName, std::u16string_view data) override {
    Dispatch* fso = object();
    VariantBool written = VariantBool::False;
    check(fso, ferrule::tovFSOSlots::PutFile(fso, fileName, data, VariantBool::True, &written));
  }
  void PutFileW(std::u16string_view fileName, std::u16string_view data) override {
    Dispatch* fso = object();
    VariantBool written = VariantBool::False;
    check(fso, ferrule::tovFSOSlots::PutFileW(fso, fileName, data, VariantBool::True, VariantBool::True,
                                              VariantBool::False, &written));
  }

  // Created on first use, so a run that writes nothing never loads the
  // library; a failed creation is tried again on the next write.
  Dispatch* object() {
    if (fso_) return fso_.get();
    const HResult hr = tov::automation::CoCreateInstance(ferrule::kClsid_tovFSO, nullptr, ferrule::kIid_tovFSO,
                                                         fso_.putVoid());
    if (tov::automation::failed(hr) || !fso_) {
      fso_ = nullptr;
      // The runtime's own number for a component it cannot create, with
      // the component named, so the user knows what to install.
      tov::ErrorRecord error = tov::standardError(429, kComponent);
      error.description += u" (" + std::u16string(kComponent) + u", " + hex(hr);
      const std::string why = tov::automation::lastCreationMessage();
      if (!why.empty()) error.description += u": " + tov::platform::fromUtf8(why);
      error.description += u")";
      throw tov::RuntimeError(std::move(error));
    }
    return fso_.get();
  }

  void release() { fso_ = nullptr; }

 private:
  static void check(Dispatch* fso, HResult hr) {
    if (tov::automation::failed(hr)) throw tov::RuntimeError(tov::automation::errorOfFailedCall(fso, hr).record);
  }

  ComPtr<Dispatch> fso_;
};

// Never destroyed: at exit the library's own statics may already be gone,
// so the object is released by releaseLibraryWriter() while all is alive.
ComponentWriter& writer() {
  static ComponentWriter* const instance = new ComponentWriter;
  return *instance;
}

}  // namespace

TextFileWriter& libraryWriter() { return writer(); }

void releaseLibraryWriter() { writer().release(); }

}  // namespace quillmark
