#pragma once
// How a client learns the error of an object's last failed call: the
// interface the object answers for it, and what happens when a call fails.
// The frame's own clients ask the object; clients of the platform's
// component model read it from their thread, where it is put at the
// failure.
#include "automation/Interfaces.h"
#include "support/ErrorRecord.h"

namespace tov::automation {

// The table of that interface; its first three slots are the Unknown slots.
const SlotPtr* errorInfoSourceTable();
bool isErrorInfoSourceIid(const Guid& iid);

// Called with the error of every failed call, before the object keeps it.
void publishCallError(const ErrorRecord& record);

}  // namespace tov::automation
