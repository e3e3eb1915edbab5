#pragma once
// The arguments of one late-bound call laid out for the member's slot: in
// declaration order, named ones in their places, omitted optional ones
// filled with their defaults (or left missing), each converted to the type
// the parameter declares. By-reference parameters keep pointing at the
// caller's Variant, which is converted in place so the member's writes
// reach the caller.
#include <cstdint>
#include <span>
#include <vector>

#include "automation/TypeDescription.h"

namespace tov::automation {

class InvokeArguments {
 public:
  // On failure `argErr` (when given) receives the index in `params.args`
  // of the offending argument, for type mismatches and overflows.
  HResult arrange(const MemberDescription& member, const DispParams& params, std::uint32_t* argErr);
  std::span<Variant> values() { return values_; }

 private:
  HResult place(const MemberDescription& member, const DispParams& params);
  HResult convert(const ParamDescription& param, Variant& value);

  std::vector<Variant> values_;
  std::vector<int> sourceIndex_;  // where each value came from in params.args, or -1
};

}  // namespace tov::automation
