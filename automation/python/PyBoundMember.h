#pragma once
// A member of an automation object taken as a Python callable: calling it
// invokes the member by its dispatch id with the call's arguments.
#include <pybind11/pybind11.h>

#include <string>

#include "PyDispatchProxy.h"

namespace ferrule_py {

class BoundMember {
 public:
  BoundMember(DispatchProxy proxy, tov::automation::DispId id, std::u16string name);

  py::object call(py::args args, py::kwargs kwargs);
  std::string repr() const;

 private:
  DispatchProxy proxy_;
  tov::automation::DispId id_;
  std::u16string name_;
};

}  // namespace ferrule_py
