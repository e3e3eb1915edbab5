#pragma once
// The client side of late binding: calls a member of a dispatch interface
// by name or dispatch id, with positional and named arguments, and turns a
// failure into the error a client reports (number, source, description,
// help file, help context and result code).
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "automation/ComPtr.h"
#include "automation/TypeDescription.h"
#include "automation/Variant.h"
#include "support/ErrorRecord.h"

namespace tov::automation {

struct NamedArgument {
  std::u16string_view name;
  Variant value;
};

// A failed call as a client sees it. `hr` is the code of the failure:
// 0x800A0000 + number for an error the member raised (also when it came
// through Invoke's exception report), otherwise the frame's own code.
struct CallError {
  HResult hr = kSOk;
  ErrorRecord record;
};

// The error of a failed GetIDsOfNames for a member and its named
// arguments: 448 when only an argument name is unknown.
CallError namingError(HResult hr, std::span<const DispId> ids);
inline constexpr std::int32_t kErrorNamedArgumentNotFound = 448;

// The error a failed early-bound slot call on `object` left, or one made
// from `hr` when the object kept none.
CallError errorOfFailedCall(Unknown* object, HResult hr);

class DispatchClient {
 public:
  explicit DispatchClient(ComPtr<Dispatch> object) : object_(std::move(object)) {}

  Dispatch* get() const { return object_.get(); }

  // The dispatch id of a member, and of the named parameters after it.
  HResult idsOf(std::u16string_view member, std::span<const std::u16string_view> params, std::vector<DispId>& ids) const;

  // Invoke with `args` in declaration order, then named arguments. On
  // failure `error` (when given) receives the error.
  HResult invoke(DispId id, std::uint16_t flags, std::span<const Variant> args, std::span<const DispId> namedIds,
                 std::span<const Variant> namedValues, Variant* result, CallError* error) const;

  // By name; method or property get.
  HResult call(std::u16string_view member, std::span<const Variant> args, std::span<const NamedArgument> named,
               Variant* result, CallError* error) const;

  // The description of the object's interface, kept alive by `holder`.
  HResult typeInfo(ComPtr<TypeInfo>& holder, const InterfaceDescription** out) const;

 private:
  ComPtr<Dispatch> object_;
};

}  // namespace tov::automation
