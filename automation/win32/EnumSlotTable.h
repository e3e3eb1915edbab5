#pragma once
// The enumerator's slots as the system's component model calls them
// (included by EnumSlotTable.h on Windows): Next hands each element out as
// a VARIANT the caller owns.
#include <windows.h>
#include <oleauto.h>

#include "automation/ComObject.h"
#include "automation/win32/SystemVariant.h"

namespace tov::automation {

template <typename E>
struct EnumSlots {
  static E* self(EnumVariant* p) { return objectOf<E>(p); }
  static HRESULT STDMETHODCALLTYPE next(EnumVariant* p, ULONG count, VARIANT* out, ULONG* fetched) {
    if (count > 0 && !out) return E_POINTER;
    ULONG n = 0;
    try {
      for (; n < count; ++n) {
        Variant element;
        std::uint32_t got = 0;
        const HResult hr = self(p)->next(1, &element, &got);
        if (failed(hr)) {
          if (n == 0) return static_cast<HRESULT>(hr);
          break;
        }
        if (got == 0) break;
        ::VariantInit(&out[n]);
        if (FAILED(win32::toSystem(element, out[n]))) break;
      }
    } catch (...) {
      // Making an element can fail (memory): what was fetched is handed
      // over, and with nothing fetched the caller gets the error.
      if (n == 0) return static_cast<HRESULT>(self(p)->failWithCurrentException());
    }
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
  }
  static HRESULT STDMETHODCALLTYPE skip(EnumVariant* p, ULONG count) {
    return static_cast<HRESULT>(self(p)->skip(count));
  }
  static HRESULT STDMETHODCALLTYPE reset(EnumVariant* p) {
    self(p)->reset();
    return S_OK;
  }
  static HRESULT STDMETHODCALLTYPE clone(EnumVariant* p, EnumVariant** out) {
    return static_cast<HRESULT>(self(p)->clone(out));
  }
  static inline const SlotPtr table[] = {
      reinterpret_cast<SlotPtr>(&unknown_slots::queryInterface),
      reinterpret_cast<SlotPtr>(&unknown_slots::addRef),
      reinterpret_cast<SlotPtr>(&unknown_slots::release),
      reinterpret_cast<SlotPtr>(&next),
      reinterpret_cast<SlotPtr>(&skip),
      reinterpret_cast<SlotPtr>(&reset),
      reinterpret_cast<SlotPtr>(&clone),
  };
};

template <typename E>
const SlotPtr* enumSlotTable() {
  return EnumSlots<E>::table;
}

}  // namespace tov::automation
