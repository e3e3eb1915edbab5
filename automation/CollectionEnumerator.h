#pragma once
// The enumerator of variants a Collection hands out for for-each. It holds
// a reference to its collection and walks it by position, so members added
// at the end during a loop are visited too.
#include <cstddef>
#include <cstdint>

#include "automation/ComObject.h"

namespace tov::automation {

class Collection;

class CollectionEnumerator : public ComObject {
 public:
  CollectionEnumerator(Collection* collection, std::size_t position);

  HResult next(std::uint32_t count, Variant* out, std::uint32_t* fetched);
  HResult skip(std::uint32_t count);
  void reset() { position_ = 0; }
  HResult clone(EnumVariant** out);

 protected:
  bool answersWithPrimary(const Guid& iid) const override { return iid == kIidEnumVariant; }

 private:
  ComPtr<Dispatch> keepAlive_;
  Collection* collection_;
  std::size_t position_;
};

}  // namespace tov::automation
