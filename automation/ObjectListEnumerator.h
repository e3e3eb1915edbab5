#pragma once
// The enumerator of variants an ObjectList hands out for for-each. It holds
// the generation of elements it was made from, so a loop started before a
// refresh finishes over the elements it began with, and elements appended
// to that generation during the loop are visited too.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "automation/ComObject.h"

namespace tov::automation {

struct ObjectListItems;

class ObjectListEnumerator : public ComObject {
 public:
  ObjectListEnumerator(std::shared_ptr<ObjectListItems> items, std::size_t position);

  HResult next(std::uint32_t count, Variant* out, std::uint32_t* fetched);
  HResult skip(std::uint32_t count);
  void reset() { position_ = 0; }
  HResult clone(EnumVariant** out);

 protected:
  bool answersWithPrimary(const Guid& iid) const override { return iid == kIidEnumVariant; }

 private:
  std::shared_ptr<ObjectListItems> items_;
  std::size_t position_;
};

}  // namespace tov::automation
