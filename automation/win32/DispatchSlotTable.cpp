// Slots 0-6 of every dispatch table as the system's component model calls
// them: IDispatch with the system's VARIANTs. The call goes to the object's
// own late binding, the same that serves the frame's clients, so names,
// dispatch identifiers, optional parameters, defaults and conversions are
// one thing everywhere; only the values are translated at the door.
#include <windows.h>
#include <oleauto.h>

#include <cwchar>
#include <string_view>
#include <vector>

#include "automation/DispatchObject.h"
#include "automation/ErrorInfoSource.h"
#include "automation/win32/EmbeddedTypeLibraries.h"
#include "automation/win32/SystemVariant.h"

namespace tov::automation {
namespace {

using win32::frameGuid;
using win32::fromSystem;
using win32::toSystem;

DispatchObject* self(Dispatch* p) { return objectOf<DispatchObject>(p); }

HRESULT STDMETHODCALLTYPE getTypeInfoCountSlot(Dispatch*, UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

// The type information of the library the object's interface belongs to,
// which the library carries as a resource.
HRESULT STDMETHODCALLTYPE getTypeInfoSlot(Dispatch* p, UINT index, LCID, ITypeInfo** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  const InterfaceBinding& binding = self(p)->binding();
  return win32::embeddedTypeInfo(binding.library().libid, binding.description().iid, out);
}

HRESULT STDMETHODCALLTYPE getIDsOfNamesSlot(Dispatch* p, REFIID riid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) {
  if (count > 0 && (!names || !ids)) return E_POINTER;
  std::vector<std::u16string_view> views;
  views.reserve(count);
  for (UINT i = 0; i < count; ++i) {
    const wchar_t* name = names[i] ? names[i] : L"";
    views.emplace_back(reinterpret_cast<const char16_t*>(name), std::wcslen(name));
  }
  static_assert(sizeof(DISPID) == sizeof(DispId));
  return static_cast<HRESULT>(
      self(p)->getIDsOfNames(frameGuid(riid), views.data(), count, reinterpret_cast<DispId*>(ids)));
}

BSTR bstr(const std::u16string& text) {
  return text.empty() ? nullptr
                      : ::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
}

// A value written through a by-reference parameter goes back into the
// caller's storage, in the storage's own type.
void writeBack(VARIANT& caller, const Variant& value) {
  if (V_VT(&caller) == (VT_BYREF | VT_VARIANT)) {
    if (V_VARIANTREF(&caller)) toSystem(value, *V_VARIANTREF(&caller));
    return;
  }
  VARIANT converted;
  ::VariantInit(&converted);
  const VARTYPE type = static_cast<VARTYPE>(V_VT(&caller) & ~VT_BYREF);
  if (FAILED(toSystem(value, converted)) || FAILED(::VariantChangeType(&converted, &converted, 0, type))) {
    ::VariantClear(&converted);
    return;
  }
  switch (type) {
    case VT_I2: *V_I2REF(&caller) = V_I2(&converted); break;
    case VT_I4: *V_I4REF(&caller) = V_I4(&converted); break;
    case VT_R8: *V_R8REF(&caller) = V_R8(&converted); break;
    case VT_DATE: *V_DATEREF(&caller) = V_DATE(&converted); break;
    case VT_BOOL: *V_BOOLREF(&caller) = V_BOOL(&converted); break;
    case VT_BSTR:
      ::SysFreeString(*V_BSTRREF(&caller));
      *V_BSTRREF(&caller) = V_BSTR(&converted);
      V_VT(&converted) = VT_EMPTY;  // handed over
      break;
    case VT_ARRAY | VT_UI1:
      if (*V_ARRAYREF(&caller)) ::SafeArrayDestroy(*V_ARRAYREF(&caller));
      *V_ARRAYREF(&caller) = V_ARRAY(&converted);
      V_VT(&converted) = VT_EMPTY;
      break;
    default: break;
  }
  ::VariantClear(&converted);
}

void fillException(EXCEPINFO& out, const ExcepInfo& in) {
  out = EXCEPINFO{};
  out.wCode = in.code;
  out.bstrSource = bstr(in.source);
  out.bstrDescription = bstr(in.description);
  out.bstrHelpFile = bstr(in.helpFile);
  out.dwHelpContext = in.helpContext;
  out.scode = static_cast<SCODE>(in.scode);
}

HRESULT invoke(Dispatch* p, DISPID id, REFIID riid, WORD flags, DISPPARAMS* params, VARIANT* result,
               EXCEPINFO* excep, UINT* argErr) {
  static DISPPARAMS none{};
  if (!params) params = &none;
  const UINT count = params->cArgs;
  // Arguments by value become the frame's values; by reference, a value of
  // the frame's that the call may change and that then goes back.
  std::vector<Variant> args(count), stored(count);
  for (UINT i = 0; i < count; ++i) {
    const VARIANT& arg = params->rgvarg[i];
    Variant& target = (V_VT(&arg) & VT_BYREF) ? stored[i] : args[i];
    if (FAILED(fromSystem(arg, target))) {
      if (argErr) *argErr = i;
      return DISP_E_TYPEMISMATCH;
    }
    if (V_VT(&arg) & VT_BYREF) args[i] = Variant::byRef(&stored[i]);
  }
  static_assert(sizeof(DISPID) == sizeof(DispId));
  DispParams frameParams{args.data(), reinterpret_cast<const DispId*>(params->rgdispidNamedArgs), count,
                         params->cNamedArgs};
  Variant value;
  ExcepInfo exception;
  std::uint32_t badArgument = 0;
  const HResult hr = self(p)->invoke(static_cast<DispId>(id), frameGuid(riid), flags, &frameParams,
                                     result ? &value : nullptr, &exception, &badArgument);
  if (argErr && (hr == kDispETypeMismatch || hr == kDispEOverflow || hr == kDispEParamNotFound)) *argErr = badArgument;
  for (UINT i = 0; i < count; ++i) {
    if (V_VT(&params->rgvarg[i]) & VT_BYREF) writeBack(params->rgvarg[i], stored[i]);
  }
  if (hr == kDispEException) {
    if (excep) fillException(*excep, exception);
    ErrorRecord record;
    record.number = static_cast<std::int32_t>(exception.scode & 0xFFFF);
    record.source = exception.source;
    record.description = exception.description;
    record.helpFile = exception.helpFile;
    record.helpContext = static_cast<std::int32_t>(exception.helpContext);
    publishCallError(record);
    return DISP_E_EXCEPTION;
  }
  if (failed(hr)) return static_cast<HRESULT>(hr);
  if (result) {
    ::VariantInit(result);
    if (HRESULT converted = toSystem(value, *result); FAILED(converted)) return converted;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE invokeSlot(Dispatch* p, DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excep, UINT* argErr) {
  try {
    return invoke(p, id, riid, flags, params, result, excep, argErr);
  } catch (...) {
    // Arranging arguments allocates; nothing may leave a slot as an exception.
    return static_cast<HRESULT>(self(p)->failWithCurrentException());
  }
}

const SlotPtr kDispatchSlots[] = {
    reinterpret_cast<SlotPtr>(&unknown_slots::queryInterface),
    reinterpret_cast<SlotPtr>(&unknown_slots::addRef),
    reinterpret_cast<SlotPtr>(&unknown_slots::release),
    reinterpret_cast<SlotPtr>(&getTypeInfoCountSlot),
    reinterpret_cast<SlotPtr>(&getTypeInfoSlot),
    reinterpret_cast<SlotPtr>(&getIDsOfNamesSlot),
    reinterpret_cast<SlotPtr>(&invokeSlot),
};

}  // namespace

std::span<const SlotPtr> dispatchSlotTable() { return kDispatchSlots; }

}  // namespace tov::automation
