#include "PyDispatchProxy.h"

#include "PyBoundMember.h"
#include "PyEnumerator.h"
#include "PyVariant.h"
#include "automation/DispatchClient.h"
#include "platform/Utf.h"

namespace ferrule_py {
namespace {

using namespace tov::automation;
using tov::platform::fromUtf8;
using tov::platform::toUtf8;

[[noreturn]] void raiseFrameError(HResult hr) { raiseComError(errorOfFailedCall(nullptr, hr)); }

}  // namespace

DispatchProxy::DispatchProxy(ComPtr<Dispatch> object) : object_(std::move(object)) {}

MemberTable& DispatchProxy::table() {
  if (!table_) table_ = MemberTable::of(object_.get());
  return *table_;
}

py::object DispatchProxy::invoke(DispId id, std::u16string_view member, std::uint16_t flags, py::args args,
                                 py::kwargs kwargs) {
  ArgumentPack positional;
  for (py::handle a : args) positional.add(a);
  ArgumentPack named;
  std::vector<std::u16string> names;
  for (auto [key, value] : kwargs) {
    names.push_back(fromUtf8(py::str(key).cast<std::string>()));
    named.add(value);
  }
  std::vector<DispId> namedIds;
  if (!names.empty()) {
    if (HResult hr = table().paramIds(object_.get(), member, names, namedIds); failed(hr)) raiseFrameError(hr);
  }
  Variant result;
  CallError error;
  const HResult hr =
      DispatchClient(object_).invoke(id, flags, positional.values(), namedIds, named.values(), &result, &error);
  positional.writeBack();
  named.writeBack();
  if (failed(hr)) raiseComError(error);
  return fromVariant(result);
}

py::object DispatchProxy::getattr(const std::string& name) {
  // Python's own protocol names are never members.
  if (name.size() > 1 && name[0] == '_' && name[1] == '_') throw py::attribute_error(name);
  const std::u16string wide = fromUtf8(name);
  const std::optional<DispId> id = table().idOf(object_.get(), wide);
  if (!id) throw py::attribute_error("the object has no member " + name);
  const MemberDescription* member = table().describe(*id);
  if (member && member->kind == MemberKind::PropertyGet && member->requiredCount() == 0) {
    return invoke(*id, wide, kDispatchPropertyGet, py::args(), py::kwargs());
  }
  return py::cast(BoundMember(*this, *id, wide));
}

void DispatchProxy::setattr(const std::string& name, py::handle value) {
  const std::optional<DispId> id = table().idOf(object_.get(), fromUtf8(name));
  if (!id) throw py::attribute_error("the object has no member " + name);
  py::tuple args = py::make_tuple(value);
  invoke(*id, fromUtf8(name), kDispatchPropertyPut, py::args(args), py::kwargs());
}

py::object DispatchProxy::call(py::args args, py::kwargs kwargs) {
  return invoke(kDispIdValue, u"Item", kDispatchMethod | kDispatchPropertyGet, std::move(args), std::move(kwargs));
}

py::object DispatchProxy::getitem(py::handle index) {
  py::tuple args = py::make_tuple(index);
  return invoke(kDispIdValue, u"Item", kDispatchPropertyGet, py::args(args), py::kwargs());
}

py::object DispatchProxy::iter() {
  py::object e = invoke(kDispIdNewEnum, u"NewEnum", kDispatchMethod | kDispatchPropertyGet, py::args(), py::kwargs());
  if (!py::isinstance<Enumerator>(e)) throw py::type_error("the object's enumerator is not an enumerator of variants");
  return e;
}

bool DispatchProxy::hasMember(const std::string& name) { return table().idOf(object_.get(), fromUtf8(name)).has_value(); }

std::vector<std::string> DispatchProxy::dir() {
  std::vector<std::string> names;
  if (const InterfaceDescription* d = table().description()) {
    for (const auto& m : d->members) {
      if (!(m.flags & kMemberHidden)) names.push_back(toUtf8(m.name));
    }
  }
  return names;
}

std::string DispatchProxy::repr() {
  const InterfaceDescription* d = table().description();
  return "<automation object " + (d ? toUtf8(d->name) : std::string("(no type information)")) + ">";
}

Unknown* DispatchProxy::identity() const {
  ComPtr<Unknown> unknown;
  queryInterface(object_.get(), kIidUnknown, unknown.putVoid());
  return unknown.get();  // the object stays alive through object_
}

bool DispatchProxy::equals(py::handle other) const {
  return py::isinstance<DispatchProxy>(other) && identity() == other.cast<const DispatchProxy&>().identity();
}

std::size_t DispatchProxy::hash() const { return std::hash<const void*>()(identity()); }

}  // namespace ferrule_py
