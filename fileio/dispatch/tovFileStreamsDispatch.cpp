#include "fileio/dispatch/tovFileStreamsDispatch.h"

#include <exception>

#include "automation/SlotBinding.h"
#include "automation/VariantCoercion.h"
#include "fileio/dispatch/TypeLibrary.h"

namespace ferrule {
namespace {

using namespace tov::automation;

constexpr char16_t kClassName[] = u"tovFileStreams";
constexpr std::int32_t kTypeMismatch = 13;

}  // namespace

const InterfaceBinding& tovFileStreamsDispatch::interfaceBinding() {
  using T = tovFileStreamsDispatch;
  static const InterfaceBinding binding(
      typeLibrary(), u"_tovFileStreams",
      {bindSlot<&T::Count>(), bindSlot<&T::Item>(), bindSlot<&T::NewEnum>(), bindSlot<&T::ReadFileStreams>()});
  return binding;
}

tovFileStreamsDispatch::tovFileStreamsDispatch() : DispatchObject(interfaceBinding(), kClassName) {}

HResult tovFileStreamsDispatch::create(const Guid& iid, void** out) {
  return createObject<tovFileStreamsDispatch>(iid, out);
}

// Late-bound callers have their argument made Boolean already; an early-bound
// caller may hand any value that converts to one.
bool tovFileStreamsDispatch::processSecurity(const Variant& value) const {
  if (value.isMissing()) return false;
  if (value.type() == VarType::Boolean) return isTrue(value.boolValue());
  Variant flag;
  if (failed(changeType(value, VarType::Boolean, flag))) raise(kTypeMismatch);
  return isTrue(flag.boolValue());
}

VariantBool tovFileStreamsDispatch::ReadFileStreams(std::u16string_view FileName, const Variant& ProcessSecurity) {
  const bool security = processSecurity(ProcessSecurity);
  streams_.clear();
  tovFileStreams core;
  if (!core.ReadFileStreams(FileName, security)) return toVariantBool(false);
  try {
    for (const FileStream& stream : core.Items()) streams_.append(stream);
  } catch (const std::exception&) {
    // Whatever could not be made, the list stays usable: empty.
    streams_.clear();
    return toVariantBool(false);
  }
  return toVariantBool(true);
}

}  // namespace ferrule
