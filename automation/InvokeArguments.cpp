#include "automation/InvokeArguments.h"

#include "automation/VariantCoercion.h"

namespace tov::automation {

HResult InvokeArguments::place(const MemberDescription& member, const DispParams& params) {
  const std::size_t count = member.params.size();
  if (params.namedCount > params.argCount || (params.argCount > 0 && !params.args) ||
      (params.namedCount > 0 && !params.namedArgs)) {
    return kEInvalidArg;
  }
  const std::uint32_t positional = params.argCount - params.namedCount;
  if (positional > count) return kDispEBadParamCount;
  values_.assign(count, Variant::missing());
  sourceIndex_.assign(count, -1);
  // Positional arguments are stored last argument first.
  for (std::uint32_t i = 0; i < positional; ++i) {
    const std::uint32_t from = params.argCount - 1 - i;
    values_[i] = params.args[from];
    sourceIndex_[i] = static_cast<int>(from);
  }
  for (std::uint32_t k = 0; k < params.namedCount; ++k) {
    const DispId id = params.namedArgs[k];
    if (id < 0 || static_cast<std::size_t>(id) >= count || sourceIndex_[static_cast<std::size_t>(id)] >= 0) {
      return kDispEParamNotFound;
    }
    values_[static_cast<std::size_t>(id)] = params.args[k];
    sourceIndex_[static_cast<std::size_t>(id)] = static_cast<int>(k);
  }
  return kSOk;
}

HResult InvokeArguments::convert(const ParamDescription& param, Variant& value) {
  const VarType target = varTypeOf(param.type.kind);
  if (!param.byRef) {
    Variant converted;
    const HResult hr = changeType(value, target, converted);
    if (succeeded(hr)) value = std::move(converted);
    return hr;
  }
  // The member writes through a by-reference parameter; a value given by
  // value gets storage of its own here and the write goes nowhere.
  Variant& storage = value.deref();
  if (target == VarType::Variant || storage.type() == target) return kSOk;
  Variant converted;
  const HResult hr = changeType(storage, target, converted);
  if (succeeded(hr)) storage = std::move(converted);
  return hr;
}

HResult InvokeArguments::arrange(const MemberDescription& member, const DispParams& params, std::uint32_t* argErr) {
  if (HResult hr = place(member, params); failed(hr)) return hr;
  for (std::size_t i = 0; i < values_.size(); ++i) {
    const ParamDescription& param = member.params[i];
    if (values_[i].isMissing()) {
      if (!param.optional) return kDispEParamNotOptional;
      if (param.defaultValue) values_[i] = *param.defaultValue;
      continue;
    }
    if (HResult hr = convert(param, values_[i]); failed(hr)) {
      if (argErr && sourceIndex_[i] >= 0) *argErr = static_cast<std::uint32_t>(sourceIndex_[i]);
      return hr;
    }
  }
  return kSOk;
}

}  // namespace tov::automation
