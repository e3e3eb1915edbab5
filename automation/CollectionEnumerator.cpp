#include "automation/CollectionEnumerator.h"

#include "automation/Collection.h"
#include "automation/EnumSlotTable.h"

#include <algorithm>

namespace tov::automation {

CollectionEnumerator::CollectionEnumerator(Collection* collection, std::size_t position)
    : ComObject(enumSlotTable<CollectionEnumerator>()),
      keepAlive_(collection->dispatch()),
      collection_(collection),
      position_(position) {}

HResult CollectionEnumerator::next(std::uint32_t count, Variant* out, std::uint32_t* fetched) {
  if (count > 0 && !out) return kEPointer;
  std::uint32_t n = 0;
  while (n < count && position_ < static_cast<std::size_t>(collection_->Count())) {
    out[n++] = collection_->at(static_cast<std::int32_t>(++position_));
  }
  if (fetched) *fetched = n;
  return n == count ? kSOk : kSFalse;
}

HResult CollectionEnumerator::skip(std::uint32_t count) {
  const auto size = static_cast<std::size_t>(collection_->Count());
  const std::size_t left = size > position_ ? size - position_ : 0;
  position_ += std::min<std::size_t>(count, left);
  return count <= left ? kSOk : kSFalse;
}

HResult CollectionEnumerator::clone(EnumVariant** out) {
  if (!out) return kEPointer;
  return createObject<CollectionEnumerator>(kIidEnumVariant, reinterpret_cast<void**>(out), collection_, position_);
}

}  // namespace tov::automation
