#include "automation/ObjectListEnumerator.h"

#include <algorithm>

#include "automation/EnumSlotTable.h"
#include "automation/ObjectList.h"

namespace tov::automation {

ObjectListEnumerator::ObjectListEnumerator(std::shared_ptr<ObjectListItems> items, std::size_t position)
    : ComObject(enumSlotTable<ObjectListEnumerator>()), items_(std::move(items)), position_(position) {}

HResult ObjectListEnumerator::next(std::uint32_t count, Variant* out, std::uint32_t* fetched) {
  if (count > 0 && !out) return kEPointer;
  std::uint32_t n = 0;
  while (n < count && position_ < items_->size()) {
    try {
      out[n] = Variant::fromDispatch(items_->at(position_));
    } catch (...) {
      // An element that cannot be made ends the batch: what was fetched is
      // handed over, and the next call meets the failure again.
      if (n == 0) throw;
      break;
    }
    ++position_;
    ++n;
  }
  if (fetched) *fetched = n;
  return n == count ? kSOk : kSFalse;
}

HResult ObjectListEnumerator::skip(std::uint32_t count) {
  const std::size_t size = items_->size();
  const std::size_t left = size > position_ ? size - position_ : 0;
  position_ += std::min<std::size_t>(count, left);
  return count <= left ? kSOk : kSFalse;
}

HResult ObjectListEnumerator::clone(EnumVariant** out) {
  if (!out) return kEPointer;
  return createObject<ObjectListEnumerator>(kIidEnumVariant, reinterpret_cast<void**>(out), items_, position_);
}

}  // namespace tov::automation
