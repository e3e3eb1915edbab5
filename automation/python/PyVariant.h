#pragma once
// Python values to Variants and back, and the Python classes the package
// defines (ComError, VariantBool, ByRef, Missing) as the native side uses
// them.
#include <pybind11/pybind11.h>

#include <memory>
#include <vector>

#include "automation/DispatchClient.h"
#include "automation/Variant.h"

namespace ferrule_py {

namespace py = pybind11;

struct PythonClasses {
  py::object comError;
  py::object variantBool;
  py::object byRef;
  py::object missing;
};

// Set once by the package when it is imported.
PythonClasses& pythonClasses();

// None -> Empty, bool -> Boolean, int -> Long (Double beyond 32 bits),
// float -> Double, str -> String, bytes-like -> byte array, datetime ->
// Date, a proxy -> object, Missing -> an omitted argument. Anything else
// raises TypeError.
tov::automation::Variant toVariant(py::handle value);

// Empty and Null -> None, Boolean -> VariantBool (-1 or 0), byte array ->
// bytes, Date -> datetime, objects -> proxies or iterators.
py::object fromVariant(const tov::automation::Variant& value);

// Raises ComError carrying the error's fields.
[[noreturn]] void raiseComError(const tov::automation::CallError& error);

// The arguments of one call. A ByRef argument passes a reference to
// storage of its own; writeBack() puts what the member left there into
// the ByRef's value.
class ArgumentPack {
 public:
  void add(py::handle value);
  std::vector<tov::automation::Variant>& values() { return values_; }
  void writeBack();

 private:
  std::vector<tov::automation::Variant> values_;
  std::vector<std::unique_ptr<tov::automation::Variant>> storage_;
  std::vector<py::object> holders_;
};

}  // namespace ferrule_py
