#include "automation/TypeInfoObject.h"

namespace tov::automation {
namespace {

HResult TOV_SLOTCALL getInterfaceSlot(TypeInfo* self, const InterfaceDescription** out) {
  if (!out) return kEPointer;
  *out = &objectOf<TypeInfoObject>(self)->description();
  return kSOk;
}

HResult TOV_SLOTCALL getLibrarySlot(TypeInfo* self, const TypeLibraryDescription** out) {
  if (!out) return kEPointer;
  *out = &objectOf<TypeInfoObject>(self)->library();
  return kSOk;
}

const SlotPtr kTypeInfoTable[] = {
    reinterpret_cast<SlotPtr>(&unknown_slots::queryInterface),
    reinterpret_cast<SlotPtr>(&unknown_slots::addRef),
    reinterpret_cast<SlotPtr>(&unknown_slots::release),
    reinterpret_cast<SlotPtr>(&getInterfaceSlot),
    reinterpret_cast<SlotPtr>(&getLibrarySlot),
};

}  // namespace

TypeInfoObject::TypeInfoObject(const TypeLibraryDescription& library, const InterfaceDescription& iface)
    : ComObject(kTypeInfoTable), library_(library), iface_(iface) {}

}  // namespace tov::automation
