// The collection's enumerator as the system's component model calls it.
#include "automation/CollectionEnumerator.h"

#include "automation/Collection.h"
#include "automation/win32/SystemVariant.h"

#include <algorithm>

namespace tov::automation {
namespace {

CollectionEnumerator* self(EnumVariant* p) { return objectOf<CollectionEnumerator>(p); }

// IEnumVARIANT: each element leaves as the system's VARIANT, owned by the
// caller.
HRESULT STDMETHODCALLTYPE nextSlot(EnumVariant* p, ULONG count, VARIANT* out, ULONG* fetched) {
  if (count > 0 && !out) return E_POINTER;
  try {
    ULONG n = 0;
    for (; n < count; ++n) {
      Variant element;
      std::uint32_t got = 0;
      if (self(p)->next(1, &element, &got) != kSOk || got == 0) break;
      ::VariantInit(&out[n]);
      if (FAILED(win32::toSystem(element, out[n]))) break;
    }
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
  } catch (...) {
    return static_cast<HRESULT>(self(p)->failWithCurrentException());
  }
}
HRESULT STDMETHODCALLTYPE skipSlot(EnumVariant* p, ULONG count) { return static_cast<HRESULT>(self(p)->skip(count)); }
HRESULT STDMETHODCALLTYPE resetSlot(EnumVariant* p) {
  self(p)->reset();
  return S_OK;
}
HRESULT STDMETHODCALLTYPE cloneSlot(EnumVariant* p, EnumVariant** out) {
  return static_cast<HRESULT>(self(p)->clone(out));
}

const SlotPtr kEnumTable[] = {
    reinterpret_cast<SlotPtr>(&unknown_slots::queryInterface),
    reinterpret_cast<SlotPtr>(&unknown_slots::addRef),
    reinterpret_cast<SlotPtr>(&unknown_slots::release),
    reinterpret_cast<SlotPtr>(&nextSlot),
    reinterpret_cast<SlotPtr>(&skipSlot),
    reinterpret_cast<SlotPtr>(&resetSlot),
    reinterpret_cast<SlotPtr>(&cloneSlot),
};

}  // namespace

CollectionEnumerator::CollectionEnumerator(Collection* collection, std::size_t position)
    : ComObject(kEnumTable), keepAlive_(collection->dispatch()), collection_(collection), position_(position) {}

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
