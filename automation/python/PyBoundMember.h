#pragma once
// A member of an automation object taken as a Python callable: calling it
// invokes the member by its dispatch id with the call's arguments. It
// describes itself from the object's type information, so help(), repr()
// and inspect.signature() show the member's parameters, defaults and
// result type.
#include <pybind11/pybind11.h>

#include <string>

#include "PyDispatchProxy.h"

namespace ferrule_py {

class BoundMember {
 public:
  BoundMember(DispatchProxy proxy, tov::automation::DispId id, std::u16string name);

  py::object call(py::args args, py::kwargs kwargs);
  py::str name();
  // (interface, "method" or "property", parameters, result type or None,
  // help text, signature line), each parameter as (name, type, optional,
  // has default, default, by reference); None without type information.
  py::object describe();

 private:
  DispatchProxy proxy_;
  tov::automation::DispId id_;
  std::u16string name_;
};

}  // namespace ferrule_py
