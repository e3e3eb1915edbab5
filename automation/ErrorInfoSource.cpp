#include "automation/ErrorInfoSource.h"

#include <optional>

#include "automation/ComObject.h"

namespace tov::automation {
namespace {

HResult TOV_SLOTCALL getErrorInfoSlot(ErrorInfoSource* self, ErrorRecord* out) {
  if (!out) return kEPointer;
  std::optional<ErrorRecord> record = ComObject::ownerOf(self)->takeLastError();
  if (!record) return kSFalse;
  *out = std::move(*record);
  return kSOk;
}

const SlotPtr kErrorInfoSourceTable[] = {
    reinterpret_cast<SlotPtr>(&unknown_slots::queryInterface),
    reinterpret_cast<SlotPtr>(&unknown_slots::addRef),
    reinterpret_cast<SlotPtr>(&unknown_slots::release),
    reinterpret_cast<SlotPtr>(&getErrorInfoSlot),
};

}  // namespace

const SlotPtr* errorInfoSourceTable() { return kErrorInfoSourceTable; }

bool isErrorInfoSourceIid(const Guid& iid) { return iid == kIidErrorInfoSource; }

// The frame's clients take the error from the object when they need it.
void publishCallError(const ErrorRecord&) {}

}  // namespace tov::automation
