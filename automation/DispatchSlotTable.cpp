// Slots 0-6 of every dispatch table: the reference counting and the four
// dispatch slots, which hand the call to the object's own late binding.
#include "automation/DispatchObject.h"

namespace tov::automation {
namespace {

DispatchObject* self(Dispatch* p) { return objectOf<DispatchObject>(p); }

HResult TOV_SLOTCALL getTypeInfoCountSlot(Dispatch*, std::uint32_t* count) {
  if (!count) return kEPointer;
  *count = 1;
  return kSOk;
}

HResult TOV_SLOTCALL getTypeInfoSlot(Dispatch* p, std::uint32_t index, Lcid, TypeInfo** out) {
  return self(p)->getTypeInfo(index, out);
}

HResult TOV_SLOTCALL getIDsOfNamesSlot(Dispatch* p, const Guid& riid, const std::u16string_view* names, std::uint32_t count, Lcid,
                          DispId* ids) {
  return self(p)->getIDsOfNames(riid, names, count, ids);
}

HResult TOV_SLOTCALL invokeSlot(Dispatch* p, DispId id, const Guid& riid, Lcid, std::uint16_t flags, DispParams* params,
                   Variant* result, ExcepInfo* excep, std::uint32_t* argErr) {
  try {
    return self(p)->invoke(id, riid, flags, params, result, excep, argErr);
  } catch (...) {
    // Arranging arguments allocates; nothing may leave a slot as an exception.
    return self(p)->failWithCurrentException();
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
