#include "PyBoundMember.h"

#include "platform/Utf.h"

namespace ferrule_py {

BoundMember::BoundMember(DispatchProxy proxy, tov::automation::DispId id, std::u16string name)
    : proxy_(std::move(proxy)), id_(id), name_(std::move(name)) {}

py::object BoundMember::call(py::args args, py::kwargs kwargs) {
  return proxy_.invoke(id_, name_, tov::automation::kDispatchMethod | tov::automation::kDispatchPropertyGet,
                       std::move(args), std::move(kwargs));
}

std::string BoundMember::repr() const { return "<automation member " + tov::platform::toUtf8(name_) + ">"; }

}  // namespace ferrule_py
