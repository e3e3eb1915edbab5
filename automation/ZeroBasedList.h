#pragma once
// The 0-based face a library's list class shows over its inner Collection:
// Item(i) is the collection's member i + 1, Count is its count, and NewEnum
// hands out the collection's own enumerator, so for-each visits the members
// in the order Item numbers them. An index outside 0 to Count - 1 fails
// with the collection's "Subscript out of range". For lists of the
// library's own objects, ObjectList keeps one object per element without a
// Collection's cost.
#include <cstdint>

#include "automation/Collection.h"

namespace tov::automation {

class ZeroBasedList {
 public:
  // `errorSource` as for Collection.
  explicit ZeroBasedList(std::u16string_view errorSource);

  void append(Variant item) { inner_->append(std::move(item)); }
  void clear();
  std::int32_t count() const { return inner_->Count(); }
  Variant item(std::int32_t index) const;
  ComPtr<Unknown> newEnum() const { return inner_->NewEnum(); }

 private:
  std::u16string_view errorSource_;
  ComPtr<Dispatch> holder_;
  Collection* inner_;
};

}  // namespace tov::automation
