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
  CallError error;
  if (failed(DispatchClient(object_).call(member.name, args, {}, nullptr, &error))) {
    throw RuntimeError(std::move(error.record));
  }
}

}  // namespace tov::automation
