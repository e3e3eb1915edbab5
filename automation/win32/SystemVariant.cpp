#include "automation/win32/SystemVariant.h"

#include <cstring>

namespace tov::automation::win32 {
namespace {

std::u16string fromBstr(BSTR text) {
  return text ? std::u16string(reinterpret_cast<const char16_t*>(text), ::SysStringLen(text)) : std::u16string();
}

HRESULT bytesFromSafeArray(SAFEARRAY* array, Variant& out) {
  if (!array) {
    out = Variant::fromBytes(tov::ByteArray());
    return S_OK;
  }
  if (::SafeArrayGetDim(array) != 1) return DISP_E_TYPEMISMATCH;
  LONG lower = 0, upper = -1;
  if (FAILED(::SafeArrayGetLBound(array, 1, &lower)) || FAILED(::SafeArrayGetUBound(array, 1, &upper))) {
    return DISP_E_TYPEMISMATCH;
  }
  const std::size_t count = upper >= lower ? static_cast<std::size_t>(upper - lower + 1) : 0;
  tov::ByteVector bytes(count);
  void* data = nullptr;
  if (count > 0) {
    if (FAILED(::SafeArrayAccessData(array, &data))) return E_UNEXPECTED;
    std::memcpy(bytes.data(), data, count);
    ::SafeArrayUnaccessData(array);
  }
  out = Variant::fromBytes(tov::ByteArray(std::move(bytes), lower));
  return S_OK;
}

SAFEARRAY* safeArrayFromBytes(const tov::ByteArray& bytes) {
  SAFEARRAYBOUND bound{static_cast<ULONG>(bytes.size()), bytes.lowerBound()};
  SAFEARRAY* array = ::SafeArrayCreate(VT_UI1, 1, &bound);
  if (!array || bytes.empty()) return array;
  void* data = nullptr;
  if (FAILED(::SafeArrayAccessData(array, &data))) {
    ::SafeArrayDestroy(array);
    return nullptr;
  }
  std::memcpy(data, bytes.data(), bytes.size());
  ::SafeArrayUnaccessData(array);
  return array;
}

// A value of a type the frame has none of, as the nearest type it has.
HRESULT nearest(const VARIANT& in, Variant& out) {
  VARTYPE to = VT_R8;
  switch (V_VT(&in)) {
    case VT_UI1:
    case VT_I1:
    case VT_UI2:
    case VT_INT:
    case VT_UINT: to = VT_I4; break;
    default: break;
  }
  VARIANT converted;
  ::VariantInit(&converted);
  const HRESULT hr = ::VariantChangeType(&converted, const_cast<VARIANT*>(&in), 0, to);
  if (FAILED(hr)) return hr;
  out = to == VT_I4 ? Variant::fromLong(V_I4(&converted)) : Variant::fromDouble(V_R8(&converted));
  ::VariantClear(&converted);
  return S_OK;
}

}  // namespace

HRESULT fromSystem(const VARIANT& in, Variant& out) {
  if (V_VT(&in) & VT_BYREF) {
    VARIANT value;
    ::VariantInit(&value);
    if (V_VT(&in) == (VT_BYREF | VT_VARIANT)) return V_VARIANTREF(&in) ? fromSystem(*V_VARIANTREF(&in), out) : E_POINTER;
    const HRESULT hr = ::VariantCopyInd(&value, const_cast<VARIANT*>(&in));
    if (FAILED(hr)) return hr;
    const HRESULT taken = fromSystem(value, out);
    ::VariantClear(&value);
    return taken;
  }
  switch (V_VT(&in)) {
    case VT_EMPTY: out = Variant(); return S_OK;
    case VT_NULL: out = Variant::null(); return S_OK;
    case VT_I2: out = Variant::fromInteger(V_I2(&in)); return S_OK;
    case VT_I4: out = Variant::fromLong(V_I4(&in)); return S_OK;
    case VT_R8: out = Variant::fromDouble(V_R8(&in)); return S_OK;
    case VT_DATE: out = Variant::fromDate(Date{V_DATE(&in)}); return S_OK;
    case VT_BSTR: out = Variant::fromString(fromBstr(V_BSTR(&in))); return S_OK;
    case VT_BOOL: out = Variant::fromBool(V_BOOL(&in) != VARIANT_FALSE); return S_OK;
    case VT_ERROR:
      out = static_cast<HResult>(V_ERROR(&in)) == kDispEParamNotFound ? Variant::missing()
                                                                       : Variant::fromError(static_cast<HResult>(V_ERROR(&in)));
      return S_OK;
    // The system's interface pointers are the frame's: the same tables.
    case VT_DISPATCH: out = Variant::fromDispatch(reinterpret_cast<Dispatch*>(V_DISPATCH(&in))); return S_OK;
    case VT_UNKNOWN:
      out = Variant::fromUnknown(ComPtr<Unknown>(reinterpret_cast<Unknown*>(V_UNKNOWN(&in))));
      return S_OK;
    case VT_ARRAY | VT_UI1: return bytesFromSafeArray(V_ARRAY(&in), out);
    case VT_UI1: case VT_I1: case VT_UI2: case VT_UI4: case VT_INT: case VT_UINT: case VT_I8: case VT_UI8:
    case VT_R4: case VT_CY: case VT_DECIMAL:
      return nearest(in, out);
    default: return DISP_E_BADVARTYPE;
  }
}

HRESULT toSystem(const Variant& value, VARIANT& out) {
  ::VariantClear(&out);
  const Variant& in = value.deref();
  switch (in.type()) {
    case VarType::Empty: return S_OK;
    case VarType::Null: V_VT(&out) = VT_NULL; return S_OK;
    case VarType::Integer: V_VT(&out) = VT_I2; V_I2(&out) = in.integerValue(); return S_OK;
    case VarType::Long: V_VT(&out) = VT_I4; V_I4(&out) = in.longValue(); return S_OK;
    case VarType::Double: V_VT(&out) = VT_R8; V_R8(&out) = in.doubleValue(); return S_OK;
    case VarType::Date: V_VT(&out) = VT_DATE; V_DATE(&out) = in.dateValue().value; return S_OK;
    case VarType::Boolean:
      V_VT(&out) = VT_BOOL;
      V_BOOL(&out) = isTrue(in.boolValue()) ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    case VarType::Error: V_VT(&out) = VT_ERROR; V_ERROR(&out) = static_cast<SCODE>(in.errorValue()); return S_OK;
    case VarType::String: {
      const std::u16string& text = in.stringValue();
      BSTR copy = ::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
      if (!copy) return E_OUTOFMEMORY;
      V_VT(&out) = VT_BSTR;
      V_BSTR(&out) = copy;
      return S_OK;
    }
    case VarType::Dispatch: {
      IDispatch* p = reinterpret_cast<IDispatch*>(in.dispatchValue());
      if (p) p->AddRef();
      V_VT(&out) = VT_DISPATCH;
      V_DISPATCH(&out) = p;
      return S_OK;
    }
    case VarType::Unknown: {
      IUnknown* p = reinterpret_cast<IUnknown*>(in.unknownValue());
      if (p) p->AddRef();
      V_VT(&out) = VT_UNKNOWN;
      V_UNKNOWN(&out) = p;
      return S_OK;
    }
    case VarType::ByteArray: {
      SAFEARRAY* array = safeArrayFromBytes(in.bytesValue());
      if (!array) return E_OUTOFMEMORY;
      V_VT(&out) = VT_ARRAY | VT_UI1;
      V_ARRAY(&out) = array;
      return S_OK;
    }
    default: return DISP_E_BADVARTYPE;
  }
}

}  // namespace tov::automation::win32
