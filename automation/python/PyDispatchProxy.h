#pragma once
// A Python view of an automation object. Every attribute access and call
// goes by name through GetIDsOfNames and Invoke: a property without
// required parameters is read at once, anything else comes back as a
// callable; obj(i) and obj[i] call the default member; iterating walks the
// object's enumerator. A name is resolved once per interface and kept
// under the spelling the script used.
#include <pybind11/pybind11.h>

#include <memory>
#include <string>
#include <vector>

#include "PyMemberTable.h"
#include "automation/ComPtr.h"

namespace ferrule_py {

namespace py = pybind11;

class DispatchProxy {
 public:
  explicit DispatchProxy(tov::automation::ComPtr<tov::automation::Dispatch> object);

  const tov::automation::ComPtr<tov::automation::Dispatch>& object() const { return object_; }

  py::object getattr(py::handle name);
  // A property without arguments, read by its dispatch id.
  py::object getProperty(tov::automation::DispId id);
  void setattr(py::handle name, py::handle value);
  py::object call(py::args args, py::kwargs kwargs);
  py::object getitem(py::handle index);
  py::object iter();
  bool hasMember(py::handle name);
  std::vector<py::str> dir();
  std::string repr();
  // The interface and its members, one line each, for help().
  py::str doc();
  // Identity is the object's IUnknown pointer, whichever interface each
  // proxy holds.
  bool equals(py::handle other) const;
  std::size_t hash() const;

  // Invoke by dispatch id with Python arguments; keyword arguments name
  // parameters of `member`.
  py::object invoke(tov::automation::DispId id, std::u16string_view member, std::uint16_t flags, py::args args,
                    py::kwargs kwargs);

  // The description of member `id`, when the object has type information.
  const tov::automation::MemberDescription* describe(tov::automation::DispId id);
  const tov::automation::InterfaceDescription* interfaceDescription();

 private:
  MemberTable& table();
  tov::automation::Unknown* identity() const;

  tov::automation::ComPtr<tov::automation::Dispatch> object_;
  std::shared_ptr<MemberTable> table_;
};

}  // namespace ferrule_py
