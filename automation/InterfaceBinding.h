#pragma once
// One interface of a library, ready to serve: its description, the slot
// table clients call through, and the Invoke adapter of every member.
// Built once per interface; the members' C++ signatures are checked
// against the description, so a table never disagrees with what late
// binding and the type information announce.
#include <span>
#include <string_view>
#include <vector>

#include "automation/SlotBinding.h"
#include "automation/TypeDescription.h"

namespace tov::automation {

class InterfaceBinding {
 public:
  // `members` in slot order, one per member of the interface. Throws
  // std::logic_error naming the first member whose signature disagrees.
  InterfaceBinding(const TypeLibraryDescription& library, std::u16string_view interfaceName,
                   std::vector<MemberBinding> members);

  const TypeLibraryDescription& library() const { return library_; }
  const InterfaceDescription& description() const { return *description_; }
  const SlotPtr* table() const { return table_.data(); }
  std::span<const Guid> iids() const { return iids_; }
  bool answersTo(const Guid& iid) const;
  InvokeAdapter adapter(const MemberDescription& member) const;

 private:
  void check(const MemberDescription& member, const MemberBinding& binding) const;

  const TypeLibraryDescription& library_;
  const InterfaceDescription* description_;
  std::vector<SlotPtr> table_;
  std::vector<InvokeAdapter> adapters_;
  std::vector<Guid> iids_;
};

// The binary form a parameter or result of this description must have.
Shape expectedShape(const ParamDescription& param);
Shape expectedResultShape(const TypeRef& result);

}  // namespace tov::automation
