// The converter's way to the file library on Windows: tovFSO created by the
// component model from its class id on first use, kept for the rest of the
// run, and its whole-file writers called through their slots of _tovFSO,
// as any early-bound client does. A failure arrives as the object's error
// information.
#include "converter/LibraryWriter.h"

#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

#include <type_traits>

#include "fileio/interface/Ferrule0101Ids.h"
#include "fileio/interface/tovFSOSlots.h"
#include "platform/Utf.h"

namespace quillmark {
namespace {

constexpr char16_t kComponent[] = u"Ferrule0101.tovFSO";

namespace slots = ferrule::tovFSOSlots;
using tov::automation::Dispatch;
using tov::automation::VariantBool;

// The slots take the system's own types here.
static_assert(std::is_same_v<slots::String, BSTR>);
static_assert(sizeof(slots::Bool) == sizeof(VARIANT_BOOL));

GUID systemGuid(const tov::automation::Guid& g) {
  GUID out;
  out.Data1 = g.data1;
  out.Data2 = g.data2;
  out.Data3 = g.data3;
  for (int i = 0; i < 8; ++i) out.Data4[i] = g.data4[static_cast<std::size_t>(i)];
  return out;
}

class Bstr {
 public:
  explicit Bstr(std::u16string_view text)
      : value_(::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()))) {
    if (!value_ && !text.empty()) throw tov::RuntimeError(tov::standardError(tov::errors::kOutOfMemory));
  }
  ~Bstr() { ::SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return value_; }

 private:
  BSTR value_;
};

std::u16string fromBstr(BSTR text) {
  return text ? std::u16string(reinterpret_cast<const char16_t*>(text), ::SysStringLen(text)) : std::u16string();
}

std::u16string hex(HRESULT hr) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08lX", static_cast<unsigned long>(hr));
  return tov::platform::fromUtf8(buf);
}

class ComponentWriter : public TextFileWriter {
 public:
  void PutFile(std::u16string_view fileName, std::u16string_view data) override {
    IDispatch* fso = object();
    const Bstr name(fileName), text(data);
    VariantBool written = VariantBool::False;
    check(fso, static_cast<HRESULT>(
                   slots::PutFile(reinterpret_cast<Dispatch*>(fso), name.get(), text.get(), VariantBool::True, &written)));
  }
  void PutFileW(std::u16string_view fileName, std::u16string_view data) override {
    IDispatch* fso = object();
    const Bstr name(fileName), text(data);
    VariantBool written = VariantBool::False;
    check(fso, static_cast<HRESULT>(slots::PutFileW(reinterpret_cast<Dispatch*>(fso), name.get(), text.get(),
                                                    VariantBool::True, VariantBool::True, VariantBool::False,
                                                    &written)));
  }

  // Created on first use, so a run that writes nothing never loads the
  // library; a failed creation is tried again on the next write.
  IDispatch* object() {
    if (fso_) return fso_;
    if (!comStarted_) comStarted_ = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    const GUID clsid = systemGuid(ferrule::kClsid_tovFSO);
    const GUID iid = systemGuid(ferrule::kIid_tovFSO);
    const HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, reinterpret_cast<void**>(&fso_));
    if (FAILED(hr) || !fso_) {
      fso_ = nullptr;
      // The runtime's own number for a component it cannot create, with
      // the component named, so the user knows what to register.
      tov::ErrorRecord error = tov::standardError(429, kComponent);
      error.description += u" (" + std::u16string(kComponent) + u", " + hex(hr) + u")";
      throw tov::RuntimeError(std::move(error));
    }
    return fso_;
  }

  void release() {
    if (fso_) fso_->Release();
    fso_ = nullptr;
    if (comStarted_) ::CoUninitialize();
    comStarted_ = false;
  }

 private:
  // The error the object reports for the failed call: its own error
  // information when it offers some for _tovFSO, else one made from the
  // result code.
  static void check(IDispatch* fso, HRESULT hr) {
    if (SUCCEEDED(hr)) return;
    tov::ErrorRecord record;
    const std::uint32_t code = static_cast<std::uint32_t>(hr);
    record.number = (code & 0xFFFF0000u) == 0x800A0000u ? static_cast<std::int32_t>(code & 0xFFFFu) : 440;
    ISupportErrorInfo* support = nullptr;
    IErrorInfo* info = nullptr;
    const GUID iid = systemGuid(ferrule::kIid_tovFSO);
    if (SUCCEEDED(fso->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support)))) {
      if (support->InterfaceSupportsErrorInfo(iid) == S_OK && ::GetErrorInfo(0, &info) == S_OK && info) {
        BSTR text = nullptr;
        if (SUCCEEDED(info->GetDescription(&text))) record.description = fromBstr(text);
        ::SysFreeString(text);
        text = nullptr;
        if (SUCCEEDED(info->GetSource(&text))) record.source = fromBstr(text);
        ::SysFreeString(text);
        text = nullptr;
        if (SUCCEEDED(info->GetHelpFile(&text))) record.helpFile = fromBstr(text);
        ::SysFreeString(text);
        DWORD context = 0;
        if (SUCCEEDED(info->GetHelpContext(&context))) record.helpContext = static_cast<std::int32_t>(context);
        info->Release();
      }
      support->Release();
    }
    if (record.description.empty()) record = tov::standardError(record.number, std::u16string(kComponent));
    throw tov::RuntimeError(std::move(record));
  }

  IDispatch* fso_ = nullptr;
  bool comStarted_ = false;
};

// Never destroyed: at exit the library may already be unloaded, so the
// object is released by releaseLibraryWriter() while all is alive.
ComponentWriter& writer() {
  static ComponentWriter* const instance = new ComponentWriter;
  return *instance;
}

}  // namespace

TextFileWriter& libraryWriter() { return writer(); }

void releaseLibraryWriter() { writer().release(); }

}  // namespace quillmark
