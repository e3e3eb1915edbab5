#include "PyVariant.h"

#include <cmath>
#include <limits>

#include "PyDispatchProxy.h"
#include "PyEnumerator.h"
#include "platform/Utf.h"

namespace ferrule_py {
namespace {

using namespace tov::automation;

py::object datetimeModule() { return py::module_::import("datetime"); }

py::object dateEpoch() { return datetimeModule().attr("datetime")(1899, 12, 30); }

// Before day 0 the fraction still counts forward from that day's midnight.
Variant dateToVariant(py::handle dt) {
  py::object delta = dt - dateEpoch();
  const double days = delta.attr("days").cast<double>();
  const double seconds = delta.attr("seconds").cast<double>() + delta.attr("microseconds").cast<double>() / 1e6;
  const double fraction = seconds / 86400.0;
  return Variant::fromDate(Date{days < 0 ? days - fraction : days + fraction});
}

py::object dateFromVariant(Date d) {
  const double whole = std::trunc(d.value);
  const double fraction = std::fabs(d.value - whole);
  py::object timedelta = datetimeModule().attr("timedelta");
  return dateEpoch() + timedelta(py::arg("days") = whole, py::arg("seconds") = std::round(fraction * 86400.0));
}

Variant intToVariant(py::handle value) {
  const long long v = value.cast<long long>();
  if (v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max()) {
    return Variant::fromLong(static_cast<std::int32_t>(v));
  }
  return Variant::fromDouble(static_cast<double>(v));
}

Variant bytesToVariant(py::handle value) {
  const py::buffer_info info = py::reinterpret_borrow<py::buffer>(value).request();
  const auto* p = static_cast<const std::uint8_t*>(info.ptr);
  return Variant::fromBytes(tov::ByteArray(tov::ByteVector(p, p + info.size * info.itemsize)));
}

py::object objectFromUnknown(Unknown* p) {
  if (!p) return py::none();
  ComPtr<Dispatch> d;
  if (succeeded(queryInterface(p, kIidDispatch, d.putVoid()))) return py::cast(DispatchProxy(std::move(d)));
  ComPtr<EnumVariant> e;
  if (succeeded(queryInterface(p, kIidEnumVariant, e.putVoid()))) return py::cast(Enumerator(std::move(e)));
  return py::none();
}

}  // namespace

PythonClasses& pythonClasses() {
  // Never destroyed: the interpreter may be gone by the time statics are.
  static auto* classes = new PythonClasses();
  return *classes;
}

Variant toVariant(py::handle value) {
  const PythonClasses& classes = pythonClasses();
  if (value.is_none()) return Variant();
  if (classes.missing && value.is(classes.missing)) return Variant::missing();
  if (classes.variantBool && py::isinstance(value, classes.variantBool)) return Variant::fromBool(PyObject_IsTrue(value.ptr()) == 1);
  if (py::isinstance<py::bool_>(value)) return Variant::fromBool(value.cast<bool>());
  if (py::isinstance<py::int_>(value)) return intToVariant(value);
  if (py::isinstance<py::float_>(value)) return Variant::fromDouble(value.cast<double>());
  if (py::isinstance<py::str>(value)) return Variant::fromString(tov::platform::fromUtf8(value.cast<std::string>()));
  if (py::isinstance<py::bytes>(value) || py::isinstance<py::bytearray>(value) ||
      py::isinstance<py::memoryview>(value)) {
    return bytesToVariant(value);
  }
  if (py::isinstance<DispatchProxy>(value)) return Variant::fromDispatch(value.cast<DispatchProxy&>().object());
  if (py::isinstance(value, datetimeModule().attr("datetime"))) return dateToVariant(value);
  throw py::type_error("cannot pass a " + std::string(py::str(value.get_type().attr("__name__"))) +
                       " to an automation member");
}

py::object fromVariant(const Variant& ref) {
  const Variant& v = ref.deref();
  switch (v.type()) {
    case VarType::Empty:
    case VarType::Null: return py::none();
    case VarType::Integer: return py::int_(v.integerValue());
    case VarType::Long: return py::int_(v.longValue());
    case VarType::Double: return py::float_(v.doubleValue());
    case VarType::Date: return dateFromVariant(v.dateValue());
    case VarType::String: return py::str(tov::platform::toUtf8(v.stringValue()));
    case VarType::Boolean: return pythonClasses().variantBool(isTrue(v.boolValue()) ? -1 : 0);
    case VarType::Error: return v.isMissing() ? pythonClasses().missing : py::int_(v.errorValue());
    case VarType::ByteArray: {
      const auto span = v.bytesValue().span();
      return py::bytes(reinterpret_cast<const char*>(span.data()), span.size());
    }
    case VarType::Dispatch: return objectFromUnknown(v.dispatchValue());
    case VarType::Unknown: return objectFromUnknown(v.unknownValue());
    default: return py::none();
  }
}

void raiseComError(const CallError& e) {
  const auto& r = e.record;
  py::object error = pythonClasses().comError(
      e.hr, r.number, tov::platform::toUtf8(r.source), tov::platform::toUtf8(r.description),
      tov::platform::toUtf8(r.helpFile), r.helpContext);
  PyErr_SetObject(pythonClasses().comError.ptr(), error.ptr());
  throw py::error_already_set();
}

void ArgumentPack::add(py::handle value) {
  const py::object& byRef = pythonClasses().byRef;
  if (byRef && py::isinstance(value, byRef)) {
    storage_.push_back(std::make_unique<Variant>(toVariant(value.attr("value"))));
    holders_.push_back(py::reinterpret_borrow<py::object>(value));
    values_.push_back(Variant::byRef(storage_.back().get()));
    return;
  }
  values_.push_back(toVariant(value));
}

void ArgumentPack::writeBack() {
  for (std::size_t i = 0; i < holders_.size(); ++i) holders_[i].attr("value") = fromVariant(*storage_[i]);
}

}  // namespace ferrule_py
