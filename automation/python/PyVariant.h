#pragma once
// Python values to Variants and back, and the Python classes the package
// defines (ComError and its argument errors, VariantBool, ByRef, Missing)
// as the native side uses them.
#include <pybind11/pybind11.h>

#include <memory>
#include <string>
#include <vector>

#include "automation/DispatchClient.h"
#include "automation/Variant.h"

namespace ferrule_py {

namespace py = pybind11;

struct PythonClasses {
  py::object comError;
  // Both are ComErrors too: a value with no automation counterpart (also a
  // TypeError), a number beyond every automation type (also an
  // OverflowError).
  py::object argumentTypeError;
  py::object argumentOverflowError;
  py::object variantBool;
  py::object byRef;
  py::object missing;
};

// Set once by the package when it is imported.
PythonClasses& pythonClasses();

// str and UTF-16 both ways with lone surrogates kept as they are (Python's
// "surrogatepass"): a file name os.fsdecode gave as U+DC80-U+DCFF reaches
// the file layer unchanged, and comes back the same way.
std::u16string textFromPython(py::handle str);
py::str textToPython(std::u16string_view text);

// None -> Empty, bool -> Boolean, int -> Long (Double beyond 32 bits),
// float -> Double, str and path-like -> String, bytes-like -> byte array,
// datetime and date -> Date, a proxy -> its object, Missing -> an omitted
// argument, lists, tuples, dicts, sets and complex numbers -> an
// ArgumentTypeError; any other Python object -> a dispatch object serving
// that object's attributes.
tov::automation::Variant toVariant(py::handle value);

// Empty and Null -> None, Boolean -> True/False, byte array -> bytes, Date
// -> datetime, objects -> proxies or iterators (or, for a Python object
// that went out as an argument, that same object).
py::object fromVariant(const tov::automation::Variant& value);

// Raises ComError carrying the error's fields, with `cause` as its
// __cause__ when given.
[[noreturn]] void raiseComError(const tov::automation::CallError& error, py::handle cause = py::handle());
[[noreturn]] void raiseArgumentTypeError(const std::string& detail);
[[noreturn]] void raiseArgumentOverflowError(const std::string& detail);
// Error 91: a Python object of the package's classes made without an
// automation object behind it (Dispatch.__new__(Dispatch), copy.copy).
[[noreturn]] void raiseObjectNotSet();

// The C++ object behind a Python object of a bound class, or nullptr when
// it is of another class or was never constructed.
template <typename T>
T* nativeOrNull(py::handle object) {
  // Looked up once: every call of every member comes through here.
  static py::detail::type_info* const info = py::detail::get_type_info(typeid(T), true);
  if (!object || !PyObject_TypeCheck(object.ptr(), info->type)) return nullptr;
  auto* instance = reinterpret_cast<py::detail::instance*>(object.ptr());
  auto holder = instance->get_value_and_holder(info);
  if (!holder.holder_constructed()) return nullptr;
  return holder.template value_ptr<T>();
}

// The same, raising error 91 for an object made without one.
template <typename T>
T& nativeOf(py::handle object) {
  T* p = nativeOrNull<T>(object);
  if (!p) raiseObjectNotSet();
  return *p;
}

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
