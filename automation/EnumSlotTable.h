#pragma once
// The slot table of an enumerator of variants (IEnumVARIANT): the Unknown
// slots, then Next, Skip, Reset and Clone calling the enumerator object E's
// next, skip, reset and clone. On Windows the elements leave as the
// system's VARIANTs.
#include "automation/ComObject.h"
#include "automation/Variant.h"

#if defined(_WIN32)
#include "automation/win32/EnumSlotTable.h"
#else
namespace tov::automation {

template <typename E>
struct EnumSlots {
  static E* self(EnumVariant* p) { return objectOf<E>(p); }
  static HResult TOV_SLOTCALL next(EnumVariant* p, std::uint32_t count, Variant* out, std::uint32_t* fetched) {
    try {
      return self(p)->next(count, out, fetched);
    } catch (...) {
      // Making an element can fail (memory); the caller gets the error.
      return self(p)->failWithCurrentException();
    }
  }
  static HResult TOV_SLOTCALL skip(EnumVariant* p, std::uint32_t count) { return self(p)->skip(count); }
  static HResult TOV_SLOTCALL reset(EnumVariant* p) {
    self(p)->reset();
    return kSOk;
  }
  static HResult TOV_SLOTCALL clone(EnumVariant* p, EnumVariant** out) { return self(p)->clone(out); }
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
#endif
