#pragma once
// The class factory a library hands out for one creatable class.
#include <cstdint>

#include "automation/ComObject.h"

namespace tov::automation {

// Makes a new object of a class and asks it for `iid`.
using InstanceCreator = HResult (*)(const Guid& iid, void** out);

class ClassFactoryObject : public ComObject {
 public:
  explicit ClassFactoryObject(InstanceCreator create);

  // No class supports aggregation: a non-null outer object is refused.
  HResult createInstance(Unknown* outer, const Guid& iid, void** out);
  // Holds the library loaded while locked, whether objects exist or not.
  HResult lockServer(bool lock);

 protected:
  bool answersWithPrimary(const Guid& iid) const override { return iid == kIidClassFactory; }

 private:
  InstanceCreator create_;
};

}  // namespace tov::automation
