#include "PyEnumerator.h"

#include "PyVariant.h"

namespace ferrule_py {

py::object Enumerator::nextOrNull() {
  using namespace tov::automation;
  Variant item;
  std::uint32_t fetched = 0;
  const HResult hr = slotOf<EnumNextFn>(e_.get(), slots::kEnumNext)(e_.get(), 1, &item, &fetched);
  if (failed(hr)) raiseComError(errorOfFailedCall(e_.get(), hr));
  if (hr != kSOk || fetched != 1) return {};
  return fromVariant(item);
}

py::object Enumerator::next() {
  py::object item = nextOrNull();
  if (!item) throw py::stop_iteration();
  return item;
}

}  // namespace ferrule_py
