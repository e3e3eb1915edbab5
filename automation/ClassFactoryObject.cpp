#include "automation/ClassFactoryObject.h"

#include "automation/ModuleUsage.h"

namespace tov::automation {
namespace {

ClassFactoryObject* self(ClassFactory* p) { return objectOf<ClassFactoryObject>(p); }

HResult TOV_SLOTCALL createInstanceSlot(ClassFactory* p, Unknown* outer, const Guid& iid, void** out) {
  return self(p)->createInstance(outer, iid, out);
}
HResult TOV_SLOTCALL lockServerSlot(ClassFactory* p, std::int32_t lock) { return self(p)->lockServer(lock != 0); }

const SlotPtr kFactoryTable[] = {
    reinterpret_cast<SlotPtr>(&unknown_slots::queryInterface),
    reinterpret_cast<SlotPtr>(&unknown_slots::addRef),
    reinterpret_cast<SlotPtr>(&unknown_slots::release),
    reinterpret_cast<SlotPtr>(&createInstanceSlot),
    reinterpret_cast<SlotPtr>(&lockServerSlot),
};

}  // namespace

ClassFactoryObject::ClassFactoryObject(InstanceCreator create) : ComObject(kFactoryTable), create_(create) {}

HResult ClassFactoryObject::createInstance(Unknown* outer, const Guid& iid, void** out) {
  if (!out) return kEPointer;
  *out = nullptr;
  if (outer) return kClassENoAggregation;
  return create_(iid, out);
}

HResult ClassFactoryObject::lockServer(bool lock) {
  if (lock) {
    ModuleUsage::lock();
  } else {
    ModuleUsage::unlock();
  }
  return kSOk;
}

}  // namespace tov::automation
