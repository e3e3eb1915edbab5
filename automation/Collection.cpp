#include "automation/Collection.h"

#include "automation/CollectionEnumerator.h"
#include "automation/RuntimeTypeLibrary.h"
#include "automation/VariantCoercion.h"
#include "platform/CaseFold.h"

namespace tov::automation {
namespace {

const InterfaceBinding& collectionBinding() {
  static const InterfaceBinding binding(runtimeTypeLibrary(), u"_Collection",
                                        {bindSlot<&Collection::Add>(), bindSlot<&Collection::Count>(),
                                         bindSlot<&Collection::Item>(), bindSlot<&Collection::Remove>(),
                                         bindSlot<&Collection::NewEnum>()});
  return binding;
}

std::u16string foldKey(std::u16string_view key) {
  std::u16string out(key);
  for (char16_t& c : out) c = platform::foldCase(c);
  return out;
}

bool given(const Variant& v) { return !v.isMissing(); }

}  // namespace

Collection::Collection(std::u16string_view errorSource) : DispatchObject(collectionBinding(), errorSource) {}

ComPtr<Dispatch> Collection::create(std::u16string_view errorSource) {
  return makeDispatch<Collection>(errorSource);
}

// A String index is a key; anything else is a position from 1.
std::size_t Collection::indexOf(const Variant& index) const {
  if (index.type() == VarType::String) {
    const std::u16string key = foldKey(index.stringValue());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      if (!key.empty() && entries_[i].key == key) return i;
    }
    raise(errors::kInvalidProcedureCall);
  }
  Variant position;
  if (failed(changeType(index, VarType::Long, position))) raise(errors::kSubscriptOutOfRange);
  const std::int32_t p = position.longValue();
  if (p < 1 || p > Count()) raise(errors::kSubscriptOutOfRange);
  return static_cast<std::size_t>(p - 1);
}

std::size_t Collection::insertionPoint(const Variant& before, const Variant& after) const {
  if (given(before) && given(after)) raise(errors::kInvalidProcedureCall);
  if (given(before)) return indexOf(before);
  if (given(after)) return indexOf(after) + 1;
  return entries_.size();
}

void Collection::Add(const Variant& Item, const Variant& Key, const Variant& Before, const Variant& After) {
  std::u16string key;
  if (given(Key)) {
    Variant text;
    if (failed(changeType(Key, VarType::String, text))) raise(13);
    key = foldKey(text.stringValue());
    if (key.empty() || keys_.count(key)) raise(key.empty() ? errors::kInvalidProcedureCall : kErrorKeyInUse);
  }
  const std::size_t at = insertionPoint(Before, After);
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at), Entry{Item.deref(), key});
  if (!key.empty()) keys_.insert(std::move(key));
}

Variant Collection::Item(const Variant& Index) const { return entries_[indexOf(Index)].value; }

void Collection::Remove(const Variant& Index) {
  const std::size_t i = indexOf(Index);
  if (!entries_[i].key.empty()) keys_.erase(entries_[i].key);
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
}

ComPtr<Unknown> Collection::NewEnum() { return makeObject<CollectionEnumerator>(this, std::size_t{0}); }

void Collection::append(Variant item, std::u16string_view key) {
  Add(item, key.empty() ? Variant::missing() : Variant::fromString(std::u16string(key)), Variant::missing(),
      Variant::missing());
}

const Variant& Collection::at(std::int32_t position) const {
  if (position < 1 || position > Count()) raise(errors::kSubscriptOutOfRange);
  return entries_[static_cast<std::size_t>(position - 1)].value;
}

}  // namespace tov::automation
