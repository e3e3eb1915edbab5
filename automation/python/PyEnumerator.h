#pragma once
// A Python iterator over an enumerator of variants.
#include <pybind11/pybind11.h>

#include "automation/ComPtr.h"

namespace ferrule_py {

namespace py = pybind11;

class Enumerator {
 public:
  explicit Enumerator(tov::automation::ComPtr<tov::automation::EnumVariant> e) : e_(std::move(e)) {}
  // The next element; StopIteration at the end.
  py::object next();
  // The same with a null object at the end.
  py::object nextOrNull();

 private:
  tov::automation::ComPtr<tov::automation::EnumVariant> e_;
};

}  // namespace ferrule_py
