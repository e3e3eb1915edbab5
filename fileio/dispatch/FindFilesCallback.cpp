#include "fileio/dispatch/FindFilesCallback.h"

#include <type_traits>

#include "automation/VariantCoercion.h"
#include "fileio/dispatch/TypeLibrary.h"
#include "fileio/interface/IFindFilesCallbackSlots.h"

namespace ferrule {
namespace {

using namespace tov::automation;

// The slot the library calls is the one the interface description announces.
static_assert(std::is_same_v<CallbackSlotFunction<void, std::u16string_view, VariantBool*>,
                             IFindFilesCallbackSlots::DirectoryCompletedFn>);

const InterfaceDescription& callbackInterface() {
  static const InterfaceDescription& d = *typeLibrary().findInterface(kIid_IFindFilesCallback);
  return d;
}

const MemberDescription& directoryCompletedMember() {
  static const MemberDescription& m = callbackInterface().members.at(IFindFilesCallbackSlots::kDirectoryCompleted - 1);
  return m;
}

}  // namespace

FindFilesCallback::FindFilesCallback(const Variant& callBackObject) : callback_(callBackObject, callbackInterface()) {}

bool FindFilesCallback::directoryCompleted(std::u16string_view path) const {
  Variant cancel = Variant::fromBool(false);
  Variant args[] = {Variant::fromString(std::u16string(path)), Variant::byRef(&cancel)};
  callback_.call(directoryCompletedMember(), slotCaller<void, std::u16string_view, VariantBool*>(), args);
  // A client called by name may have left any type there.
  Variant answer;
  if (failed(changeType(cancel, VarType::Boolean, answer))) tov::raiseError(13);
  return isTrue(answer.boolValue());
}

std::function<bool(std::u16string_view)> FindFilesCallback::function() const {
  if (!callback_) return {};
  return [this](std::u16string_view path) { return directoryCompleted(path); };
}

}  // namespace ferrule
