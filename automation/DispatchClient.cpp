#include "automation/DispatchClient.h"

#include <algorithm>

namespace tov::automation {
namespace {

CallError frameError(HResult hr) {
  CallError e;
  e.hr = hr;
  e.record.number = errorNumberFromHResult(hr);
  e.record.description = standardDescription(e.record.number);
  return e;
}

}  // namespace

CallError namingError(HResult hr, std::span<const DispId> ids) {
  CallError e = frameError(hr);
  // The member is there but one of the argument names is not: the
  // runtime's "Named argument not found", not "doesn't support this method".
  if (hr == kDispEUnknownName && !ids.empty() && ids[0] != kDispIdUnknown) {
    e.record.number = kErrorNamedArgumentNotFound;
    e.record.description = standardDescription(e.record.number);
  }
  return e;
}

CallError errorOfFailedCall(Unknown* object, HResult hr) {
  ComPtr<ErrorInfoSource> source;
  if (object && succeeded(queryInterface(object, kIidErrorInfoSource, source.putVoid()))) {
    CallError e;
    if (slotOf<GetErrorInfoFn>(source.get(), slots::kGetErrorInfo)(source.get(), &e.record) == kSOk) {
      e.hr = e.record.hresult();
      return e;
    }
  }
  return frameError(hr);
}

HResult DispatchClient::idsOf(std::u16string_view member, std::span<const std::u16string_view> params,
                              std::vector<DispId>& ids) const {
  std::vector<std::u16string_view> names{member};
  names.insert(names.end(), params.begin(), params.end());
  ids.assign(names.size(), kDispIdUnknown);
  return slotOf<GetIDsOfNamesFn>(object_.get(), slots::kGetIDsOfNames)(
      object_.get(), kNullGuid, names.data(), static_cast<std::uint32_t>(names.size()), kLcidUser, ids.data());
}

HResult DispatchClient::invoke(DispId id, std::uint16_t flags, std::span<const Variant> args,
                               std::span<const DispId> namedIds, std::span<const Variant> namedValues,
                               Variant* result, CallError* error) const {
  // Named arguments first, then the positional ones last to first.
  std::vector<Variant> laid(namedValues.begin(), namedValues.end());
  laid.insert(laid.end(), args.rbegin(), args.rend());
  DispParams params{laid.data(), namedIds.data(), static_cast<std::uint32_t>(laid.size()),
                    static_cast<std::uint32_t>(namedIds.size())};
  ExcepInfo excep;
  std::uint32_t argErr = 0;
  const HResult hr = slotOf<InvokeFn>(object_.get(), slots::kInvoke)(object_.get(), id, kNullGuid, kLcidUser, flags,
                                                                    &params, result, &excep, &argErr);
  if (failed(hr) && error) {
    if (hr == kDispEException) {
      error->hr = excep.scode;
      error->record = ErrorRecord{errorNumberFromHResult(excep.scode), std::move(excep.source),
                                  std::move(excep.description), std::move(excep.helpFile),
                                  static_cast<std::int32_t>(excep.helpContext)};
    } else {
      *error = frameError(hr);
    }
  }
  return failed(hr) && hr == kDispEException ? excep.scode : hr;
}

HResult DispatchClient::call(std::u16string_view member, std::span<const Variant> args,
                             std::span<const NamedArgument> named, Variant* result, CallError* error) const {
  std::vector<std::u16string_view> paramNames;
  std::vector<Variant> namedValues;
  for (const auto& n : named) {
    paramNames.push_back(n.name);
    namedValues.push_back(n.value);
  }
  std::vector<DispId> ids;
  if (HResult hr = idsOf(member, paramNames, ids); failed(hr)) {
    if (error) *error = namingError(hr, ids);
    return hr;
  }
  const std::span<const DispId> namedIds(ids.data() + 1, ids.size() - 1);
  return invoke(ids[0], kDispatchMethod | kDispatchPropertyGet, args, namedIds, namedValues, result, error);
}

HResult DispatchClient::typeInfo(ComPtr<TypeInfo>& holder, const InterfaceDescription** out) const {
  HResult hr = slotOf<GetTypeInfoFn>(object_.get(), slots::kGetTypeInfo)(object_.get(), 0, kLcidUser, holder.put());
  if (failed(hr)) return hr;
  return slotOf<GetInterfaceDescriptionFn>(holder.get(), slots::kGetInterfaceDescription)(holder.get(), out);
}

}  // namespace tov::automation
