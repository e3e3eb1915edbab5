#include "automation/ComObject.h"

#include <new>

#include "automation/ErrorInfoSource.h"
#include "automation/ModuleUsage.h"
#include "platform/Utf.h"

namespace tov::automation {
namespace {

// Errors that are not the runtime's own: the frame reports them as the
// runtime's internal error, with the text of the fault.
constexpr std::int32_t kInternalError = 51;

}  // namespace

ComObject::ComObject(const SlotPtr* primaryTable)
    : primary_{{primaryTable}, this}, errorSource_{{errorInfoSourceTable()}, this} {
  ModuleUsage::objectCreated();
}

ComObject::~ComObject() { ModuleUsage::objectDestroyed(); }

std::uint32_t ComObject::addRef() { return ++refs_; }

std::uint32_t ComObject::release() {
  const std::uint32_t left = --refs_;
  if (left == 0) delete this;
  return left;
}

HResult ComObject::queryInterface(const Guid& iid, void** out) {
  if (!out) return kEPointer;
  *out = nullptr;
  if (iid == kIidUnknown || answersWithPrimary(iid)) {
    *out = &primary_;
  } else if (isErrorInfoSourceIid(iid)) {
    *out = &errorSource_;
  } else {
    return kENoInterface;
  }
  addRef();
  return kSOk;
}

void ComObject::setLastError(ErrorRecord record) {
  publishCallError(record);
  lastError_ = std::make_unique<ErrorRecord>(std::move(record));
}

std::optional<ErrorRecord> ComObject::takeLastError() {
  if (!lastError_) return std::nullopt;
  std::optional<ErrorRecord> record(std::move(*lastError_));
  lastError_.reset();
  return record;
}

HResult ComObject::failWithCurrentException() {
  try {
    ErrorRecord record;
    try {
      throw;
    } catch (const RuntimeError& e) {
      record = e.record();
    } catch (const std::bad_alloc&) {
      record = standardError(errors::kOutOfMemory, errorSource());
    } catch (const std::exception& e) {
      record.number = kInternalError;
      record.source = errorSource();
      record.description = u"Internal error: " + platform::fromUtf8(e.what());
    } catch (...) {
      record.number = kInternalError;
      record.source = errorSource();
      record.description = u"Internal error";
    }
    const HResult hr = record.hresult();
    setLastError(std::move(record));
    return hr;
  } catch (...) {
    // Not even the record fits in memory: the result code still carries the
    // number, and no stale record may answer for this failure.
    lastError_.reset();
    return hresultFromErrorNumber(errors::kOutOfMemory);
  }
}

namespace unknown_slots {
HResult TOV_SLOTCALL queryInterface(Unknown* self, const Guid& iid, void** out) {
  return ComObject::ownerOf(self)->queryInterface(iid, out);
}
std::uint32_t TOV_SLOTCALL addRef(Unknown* self) { return ComObject::ownerOf(self)->addRef(); }
std::uint32_t TOV_SLOTCALL release(Unknown* self) { return ComObject::ownerOf(self)->release(); }
}  // namespace unknown_slots

}  // namespace tov::automation
