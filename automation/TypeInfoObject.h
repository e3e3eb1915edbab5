#pragma once
// The type information object a dispatch interface hands out: the
// interface's description and the library it belongs to. It counts as a
// live object, so the library stays loaded while a client reads it.
#include "automation/ComObject.h"
#include "automation/TypeDescription.h"

namespace tov::automation {

class TypeInfoObject : public ComObject {
 public:
  TypeInfoObject(const TypeLibraryDescription& library, const InterfaceDescription& iface);

  const TypeLibraryDescription& library() const { return library_; }
  const InterfaceDescription& description() const { return iface_; }

 protected:
  bool answersWithPrimary(const Guid& iid) const override { return iid == kIidTypeInfo; }

 private:
  const TypeLibraryDescription& library_;
  const InterfaceDescription& iface_;
};

}  // namespace tov::automation
