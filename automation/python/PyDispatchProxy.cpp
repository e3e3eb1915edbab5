#include "PyDispatchProxy.h"

#include "PyBoundMember.h"
#include "PyEnumerator.h"
#include "PyServerObject.h"
#include "PyVariant.h"
#include "automation/DispatchClient.h"
#include "automation/MemberSignature.h"

namespace ferrule_py {
namespace {

using namespace tov::automation;

bool isProtocolName(std::u16string_view name) { return name.size() > 1 && name[0] == u'_' && name[1] == u'_'; }

// After a call: an interrupt raised in a callback goes on as it was; any
// other callback exception becomes the cause of the call's ComError.
void finishCall(HResult hr, const CallError& error) {
  py::object callbackException = takeCallbackException();
  if (callbackException && !PyObject_IsInstance(callbackException.ptr(), PyExc_Exception)) {
    PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(callbackException.ptr())), callbackException.ptr());
    throw py::error_already_set();
  }
  if (failed(hr)) raiseComError(error, callbackException);
}

}  // namespace

DispatchProxy::DispatchProxy(ComPtr<Dispatch> object) : object_(std::move(object)) {}

MemberTable& DispatchProxy::table() {
  if (!table_) table_ = MemberTable::of(object_.get());
  return *table_;
}

const MemberDescription* DispatchProxy::describe(DispId id) { return table().describe(id); }

const InterfaceDescription* DispatchProxy::interfaceDescription() { return table().description(); }

py::object DispatchProxy::invoke(DispId id, std::u16string_view member, std::uint16_t flags, py::args args,
                                 py::kwargs kwargs) {
  ArgumentPack positional;
  for (py::handle a : args) positional.add(a);
  ArgumentPack named;
  std::vector<std::u16string> names;
  for (auto [key, value] : kwargs) {
    names.push_back(textFromPython(key));
    named.add(value);
  }
  std::vector<DispId> namedIds;
  if (!names.empty()) {
    if (HResult hr = table().paramIds(object_.get(), member, names, namedIds); failed(hr)) {
      const DispId known[] = {id};
      raiseComError(namingError(hr, known));
    }
  }
  Variant result;
  CallError error;
  forgetCallbackException();
  const HResult hr =
      DispatchClient(object_).invoke(id, flags, positional.values(), namedIds, named.values(), &result, &error);
  positional.writeBack();
  named.writeBack();
  finishCall(hr, error);
  return fromVariant(result);
}

py::object DispatchProxy::getattr(py::handle name) {
  const MemberTable::Resolved* member = table().cached(name.ptr());
  if (!member) {
    std::u16string wide = textFromPython(name);
    // Python's own protocol names are never members.
    if (isProtocolName(wide)) throw py::attribute_error(py::str(name));
    member = table().resolve(object_.get(), name.ptr(), std::move(wide));
    if (!member) throw py::attribute_error("the object has no member " + std::string(py::str(name)));
  }
  if (member->readAtOnce) return getProperty(member->id);
  return py::cast(BoundMember(*this, member->id, member->name));
}

py::object DispatchProxy::getProperty(DispId id) {
  Variant result;
  CallError error;
  forgetCallbackException();
  const HResult hr = DispatchClient(object_).invoke(id, kDispatchPropertyGet, {}, {}, {}, &result, &error);
  finishCall(hr, error);
  return fromVariant(result);
}

void DispatchProxy::setattr(py::handle name, py::handle value) {
  const std::u16string wide = textFromPython(name);
  const std::optional<DispId> id = table().idOf(object_.get(), wide);
  if (!id) throw py::attribute_error("the object has no member " + std::string(py::str(name)));
  py::tuple args = py::make_tuple(value);
  invoke(*id, wide, kDispatchPropertyPut, py::args(args), py::kwargs());
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

bool DispatchProxy::hasMember(py::handle name) {
  return table().idOf(object_.get(), textFromPython(name)).has_value();
}

std::vector<py::str> DispatchProxy::dir() {
  std::vector<py::str> names;
  if (const InterfaceDescription* d = table().description()) {
    for (const auto& m : d->members) {
      if (!(m.flags & kMemberHidden)) names.push_back(textToPython(m.name));
    }
  }
  return names;
}

std::string DispatchProxy::repr() {
  const InterfaceDescription* d = table().description();
  return "<automation object " + (d ? std::string(py::str(textToPython(d->name))) : "(no type information)") + ">";
}

py::str DispatchProxy::doc() {
  const InterfaceDescription* d = table().description();
  if (!d) return textToPython(u"An automation object without type information: its members answer by name.");
  std::u16string text = u"An automation object with the interface " + std::u16string(d->name) + u".";
  if (!d->help.empty()) text += u"\n" + std::u16string(d->help);
  text += u"\n\nMembers:\n";
  for (const auto& m : d->members) {
    if (m.flags & kMemberHidden) continue;
    text += u"    " + memberLine(m);
    if (m.kind == MemberKind::PropertyGet) text += u"  (property)";
    text += u"\n";
  }
  return textToPython(text);
}

Unknown* DispatchProxy::identity() const {
  ComPtr<Unknown> unknown;
  queryInterface(object_.get(), kIidUnknown, unknown.putVoid());
  return unknown.get();  // the object stays alive through object_
}

bool DispatchProxy::equals(py::handle other) const {
  const DispatchProxy* o = nativeOrNull<DispatchProxy>(other);
  return o && identity() == o->identity();
}

std::size_t DispatchProxy::hash() const { return std::hash<const void*>()(identity()); }

}  // namespace ferrule_py
