#include "automation/ZeroBasedList.h"

#include <limits>

namespace tov::automation {

ZeroBasedList::ZeroBasedList(std::u16string_view errorSource)
    : errorSource_(errorSource), holder_(Collection::create(errorSource)), inner_(objectOf<Collection>(holder_.get())) {}

void ZeroBasedList::clear() {
  holder_ = Collection::create(errorSource_);
  inner_ = objectOf<Collection>(holder_.get());
}

Variant ZeroBasedList::item(std::int32_t index) const {
  // index + 1 must not overflow into a valid position.
  const std::int32_t position = index == std::numeric_limits<std::int32_t>::max() ? 0 : index + 1;
  return inner_->Item(Variant::fromLong(position));
}

}  // namespace tov::automation
