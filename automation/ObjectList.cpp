#include "automation/ObjectList.h"

#include "automation/ObjectListEnumerator.h"

namespace tov::automation {

Dispatch* ObjectListItems::at(std::size_t i) {
  ComPtr<Dispatch>& slot = objects[i];
  if (!slot && make) slot = make(static_cast<std::int32_t>(i));
  return slot.get();
}

void ObjectListBase::clear() {
  items_.reset();
  released_ = false;
}

void ObjectListBase::release() {
  items_.reset();
  released_ = true;
}

void ObjectListBase::assign(std::int32_t count, Maker make) {
  auto items = std::make_shared<ObjectListItems>();
  items->objects.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
  items->make = std::move(make);
  items_ = std::move(items);
  released_ = false;
}

void ObjectListBase::checkPresent() const {
  if (released_) raiseError(errors::kObjectNotSet, std::u16string(errorSource_));
}

ObjectListItems& ObjectListBase::items() const {
  if (!items_) items_ = std::make_shared<ObjectListItems>();
  return *items_;
}

std::int32_t ObjectListBase::count() const {
  checkPresent();
  return items_ ? static_cast<std::int32_t>(items_->size()) : 0;
}

Dispatch* ObjectListBase::object(std::int32_t index) const {
  if (index < 0 || index >= count()) raiseError(errors::kSubscriptOutOfRange, std::u16string(errorSource_));
  return items_->at(static_cast<std::size_t>(index));
}

ComPtr<Dispatch> ObjectListBase::item(std::int32_t index) const { return ComPtr<Dispatch>(object(index)); }

ComPtr<Unknown> ObjectListBase::newEnum() const {
  checkPresent();
  // Even an empty list gets its generation now: like a Collection's, the
  // enumerator then sees what is appended before it is used.
  items();
  return makeObject<ObjectListEnumerator>(items_, std::size_t{0});
}

void ObjectListBase::appendObject(ComPtr<Dispatch> object) {
  checkPresent();
  items().objects.push_back(std::move(object));
}

}  // namespace tov::automation
