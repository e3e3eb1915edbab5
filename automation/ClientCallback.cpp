#include "automation/ClientCallback.h"

#include "automation/DispatchClient.h"

namespace tov::automation {

ClientCallback::ClientCallback(const Variant& argument, const InterfaceDescription& callbackInterface) {
  const Variant& value = argument.deref();
  if (value.isMissing() || value.type() == VarType::Empty) return;
  Unknown* p = value.type() == VarType::Dispatch ? value.dispatchValue()
               : value.type() == VarType::Unknown ? value.unknownValue()
                                                  : nullptr;
  if (value.type() != VarType::Dispatch && value.type() != VarType::Unknown) {
    raiseError(13);
  }
  if (!p) return;  // Nothing
  if (succeeded(queryInterface(p, callbackInterface.iid, early_.putVoid()))) {
    object_ = early_;
    return;
  }
  if (failed(queryInterface(p, kIidDispatch, object_.putVoid()))) raiseError(13);
}

void ClientCallback::call(const MemberDescription& member, InvokeAdapter caller, std::span<Variant> args) const {
  if (!object_) return;
  if (early_) {
    const SlotPtr slot = early_->vtbl[slots::member(member.slot)];
    const HResult hr = caller(early_.get(), slot, args, nullptr);
    if (failed(hr)) throw RuntimeError(errorOfFailedCall(early_.get(), hr).record);
    return;
  }
  const DispatchClient client(object_);
  CallError error;
  const DispId id = idOf(client, member, error);
  if (id == kDispIdUnknown ||
      failed(client.invoke(id, kDispatchMethod | kDispatchPropertyGet, args, {}, {}, nullptr, &error))) {
    throw RuntimeError(std::move(error.record));
  }
}

// Asked once per member: a search calls back once per directory.
DispId ClientCallback::idOf(const DispatchClient& client, const MemberDescription& member, CallError& error) const {
  for (const auto& [slot, id] : ids_) {
    if (slot == member.slot) return id;
  }
  std::vector<DispId> ids;
  if (HResult hr = client.idsOf(member.name, {}, ids); failed(hr)) {
    error = namingError(hr, ids);
    return kDispIdUnknown;
  }
  ids_.emplace_back(member.slot, ids[0]);
  return ids[0];
}

}  // namespace tov::automation
