#pragma once
// A callback object a client handed to a member, called while that member
// runs and let go when it returns; the library's core classes see only a
// plain C++ function made from it, so no reference cycle can form through
// them.
//
// An omitted argument, Empty or Nothing means there is no callback. An
// object that answers the callback interface's identifier is called
// through its slot table (a C++ client, or a library's own object); any
// other object (a script's) is called by name through Invoke. A failure
// reaches the client of the member as its error, unchanged.
#include <span>
#include <utility>
#include <vector>

#include "automation/ComPtr.h"
#include "automation/DispatchClient.h"
#include "automation/SlotBinding.h"
#include "automation/TypeDescription.h"

namespace tov::automation {

class ClientCallback {
 public:
  // `argument` as the member received it. Anything else that is no object
  // raises error 13 (type mismatch).
  ClientCallback(const Variant& argument, const InterfaceDescription& callbackInterface);

  explicit operator bool() const { return static_cast<bool>(object_); }
  // True when the object is called by slot.
  bool early() const { return static_cast<bool>(early_); }

  // Calls `member` of the callback interface with `args` in declaration
  // order, each of its declared type; a by-reference parameter takes a
  // Variant::byRef to storage of its declared type, where the client's
  // answer is left. `caller` is slotCaller<R, A...>() of the member's
  // signature. Throws tov::RuntimeError with the client's error.
  void call(const MemberDescription& member, InvokeAdapter caller, std::span<Variant> args) const;

 private:
  DispId idOf(const DispatchClient& client, const MemberDescription& member, CallError& error) const;

  ComPtr<Dispatch> object_;
  ComPtr<Dispatch> early_;
  mutable std::vector<std::pair<int, DispId>> ids_;  // slot, dispatch id of the members called by name
};

}  // namespace tov::automation
