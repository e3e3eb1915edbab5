#include "PyBoundMember.h"

#include "PyVariant.h"
#include "automation/MemberSignature.h"

namespace ferrule_py {

using namespace tov::automation;

BoundMember::BoundMember(DispatchProxy proxy, DispId id, std::u16string name)
    : proxy_(std::move(proxy)), id_(id), name_(std::move(name)) {}

py::object BoundMember::call(py::args args, py::kwargs kwargs) {
  return proxy_.invoke(id_, name_, kDispatchMethod | kDispatchPropertyGet, std::move(args), std::move(kwargs));
}

py::str BoundMember::name() {
  const MemberDescription* member = proxy_.describe(id_);
  // The declared spelling, whatever letter case the script used.
  return textToPython(member ? member->name : name_);
}

py::object BoundMember::describe() {
  const MemberDescription* member = proxy_.describe(id_);
  const InterfaceDescription* iface = proxy_.interfaceDescription();
  if (!member || !iface) return py::none();
  py::list params;
  for (const auto& p : member->params) {
    const bool hasDefault = p.defaultValue.has_value();
    params.append(py::make_tuple(textToPython(p.name), textToPython(paramTypeText(p)), p.optional, hasDefault,
                                 hasDefault ? fromVariant(*p.defaultValue) : py::object(py::none()), p.byRef));
  }
  py::object result = member->result.kind == TypeKind::Void ? py::object(py::none())
                                                            : py::object(textToPython(typeText(member->result)));
  return py::make_tuple(textToPython(iface->name), member->kind == MemberKind::Method ? "method" : "property", params,
                        result, textToPython(member->help), textToPython(memberLine(*member)));
}

}  // namespace ferrule_py
