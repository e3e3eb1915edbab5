#include "automation/DispatchObject.h"

#include "automation/InvokeArguments.h"
#include "automation/TypeInfoObject.h"

namespace tov::automation {
namespace {

void fillExcepInfo(ExcepInfo& excep, ErrorRecord record) {
  excep.code = 0;
  excep.source = std::move(record.source);
  excep.description = std::move(record.description);
  excep.helpFile = std::move(record.helpFile);
  excep.helpContext = static_cast<std::uint32_t>(record.helpContext);
  excep.scode = record.hresult();
}

}  // namespace

DispatchObject::DispatchObject(const InterfaceBinding& binding, std::u16string_view className)
    : ComObject(binding.table()), binding_(binding), className_(className) {}

HResult DispatchObject::getTypeInfo(std::uint32_t index, TypeInfo** out) {
  if (!out) return kEPointer;
  *out = nullptr;
  if (index != 0) return kDispEBadIndex;
  return createObject<TypeInfoObject>(kIidTypeInfo, reinterpret_cast<void**>(out), binding_.library(),
                                      binding_.description());
}

HResult DispatchObject::getIDsOfNames(const Guid& riid, const std::u16string_view* names, std::uint32_t count,
                                      DispId* ids) const {
  if (!riid.isNull()) return kDispEUnknownInterface;
  if (count == 0) return kSOk;
  if (!names || !ids) return kEPointer;
  for (std::uint32_t i = 0; i < count; ++i) ids[i] = kDispIdUnknown;
  const MemberDescription* member = binding_.description().findByName(names[0]);
  if (!member) return kDispEUnknownName;
  ids[0] = member->id;
  HResult hr = kSOk;
  // Further names are the member's parameters, for named arguments.
  for (std::uint32_t i = 1; i < count; ++i) {
    if (auto index = member->paramIndex(names[i])) {
      ids[i] = static_cast<DispId>(*index);
    } else {
      hr = kDispEUnknownName;
    }
  }
  return hr;
}

HResult DispatchObject::invoke(DispId id, const Guid& riid, std::uint16_t flags, DispParams* params,
                               Variant* result, ExcepInfo* excep, std::uint32_t* argErr) {
  if (!riid.isNull()) return kDispEUnknownInterface;
  const MemberDescription* member = binding_.description().findById(id);
  // Every property is read-only, so nothing answers a put.
  if (!member || (flags & (kDispatchMethod | kDispatchPropertyGet)) == 0) return kDispEMemberNotFound;
  const DispParams none;
  InvokeArguments args;
  if (HResult hr = args.arrange(*member, params ? *params : none, argErr); failed(hr)) return hr;
  const SlotPtr slot = binding_.table()[slots::member(member->slot)];
  const HResult hr = binding_.adapter(*member)(dispatch(), slot, args.values(), result);
  if (succeeded(hr) || !excep) return hr;
  if (std::optional<ErrorRecord> record = takeLastError()) {
    fillExcepInfo(*excep, std::move(*record));
    return kDispEException;
  }
  return hr;
}

void DispatchObject::raise(std::int32_t number) const { raiseError(number, std::u16string(className_)); }

void DispatchObject::raiseNotAvailable(std::u16string_view member) const {
  ErrorRecord record;
  record.number = kErrorActionNotSupported;
  record.source = std::u16string(className_);
  record.description = u"Object doesn't support this action (" + std::u16string(className_) + u"." +
                       std::u16string(member) + u" is not available in this build)";
  throw RuntimeError(std::move(record));
}

}  // namespace tov::automation
