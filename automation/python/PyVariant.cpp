#include "PyVariant.h"

#include <datetime.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "PyDispatchProxy.h"
#include "PyEnumerator.h"
#include "PyServerObject.h"
#include "platform/DateTime.h"
#include "platform/Utf.h"

namespace ferrule_py {
namespace {

using namespace tov::automation;

// The proleptic ordinal of 1899-12-30, day 0 of an automation date.
constexpr long kDateEpochOrdinal = 693594;

void ensureDateTimeApi() {
  if (!PyDateTimeAPI) {
    PyDateTime_IMPORT;
    if (!PyDateTimeAPI) throw py::error_already_set();
  }
}

// Before day 0 the fraction still counts forward from that day's midnight.
Variant dateToVariant(py::handle value) {
  py::object dt = py::reinterpret_borrow<py::object>(value);
  double seconds = 0;
  if (PyDateTime_Check(dt.ptr())) {
    // An aware time becomes the local time the library's dates are in.
    if (!dt.attr("utcoffset")().is_none()) dt = dt.attr("astimezone")().attr("replace")(py::arg("tzinfo") = py::none());
    seconds = PyDateTime_DATE_GET_HOUR(dt.ptr()) * 3600.0 + PyDateTime_DATE_GET_MINUTE(dt.ptr()) * 60.0 +
              PyDateTime_DATE_GET_SECOND(dt.ptr()) + PyDateTime_DATE_GET_MICROSECOND(dt.ptr()) / 1e6;
  }
  const double days = static_cast<double>(dt.attr("toordinal")().cast<long>() - kDateEpochOrdinal);
  const double fraction = seconds / 86400.0;
  return Variant::fromDate(Date{days < 0 ? days - fraction : days + fraction});
}

[[noreturn]] void raiseOwn(const py::object& cls, HResult hr, std::int32_t number, const std::string& description);

// Python's datetime holds the years 1 to 9999: days -693593 to 2958465.
constexpr double kFirstPythonDay = -693593;
constexpr double kLastPythonDay = 2958465;

py::object dateFromVariant(Date d) {
  ensureDateTimeApi();
  if (!(d.value > kFirstPythonDay - 1 && d.value < kLastPythonDay + 1)) {
    raiseOwn(pythonClasses().comError, kDispEOverflow, tov::errors::kOverflow,
             "Overflow: the date is outside the years 1 to 9999 a Python datetime holds");
  }
  // The day, then the fraction counted forward from its midnight, to the
  // nearest second.
  const double whole = std::trunc(d.value);
  const auto seconds = static_cast<std::int64_t>(whole) * 86400 +
                       static_cast<std::int64_t>(std::llround(std::fabs(d.value - whole) * 86400.0));
  const std::int64_t days = seconds / 86400 - (seconds % 86400 < 0 ? 1 : 0);
  const std::int64_t inDay = seconds - days * 86400;
  std::int64_t year = 0;
  unsigned month = 0;
  unsigned day = 0;
  tov::platform::civilFromDays(days + tov::platform::kAutomationDateEpochDays, year, month, day);
  if (year < 1 || year > 9999) {
    raiseOwn(pythonClasses().comError, kDispEOverflow, tov::errors::kOverflow,
             "Overflow: the date is outside the years 1 to 9999 a Python datetime holds");
  }
  PyObject* dt = PyDateTime_FromDateAndTime(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day),
                                            static_cast<int>(inDay / 3600), static_cast<int>(inDay / 60 % 60),
                                            static_cast<int>(inDay % 60), 0);
  if (!dt) throw py::error_already_set();
  return py::reinterpret_steal<py::object>(dt);
}

// Beyond 32 bits an integer travels as a Double, as the runtime's
// literals do; beyond a Double's range it cannot travel at all.
Variant integerToVariant(PyObject* number) {
  int overflow = 0;
  const long long v = PyLong_AsLongLongAndOverflow(number, &overflow);
  if (v == -1 && PyErr_Occurred()) throw py::error_already_set();
  if (!overflow) {
    if (v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max()) {
      return Variant::fromLong(static_cast<std::int32_t>(v));
    }
    return Variant::fromDouble(static_cast<double>(v));
  }
  const double d = PyLong_AsDouble(number);
  if (d == -1.0 && PyErr_Occurred()) {
    PyErr_Clear();
    raiseArgumentOverflowError("the integer is too large for any automation number");
  }
  return Variant::fromDouble(d);
}

// Any buffer, contiguous or not, as its bytes in order.
Variant bufferToVariant(PyObject* object) {
  Py_buffer view;
  if (PyObject_GetBuffer(object, &view, PyBUF_FULL_RO) != 0) throw py::error_already_set();
  tov::ByteVector bytes(static_cast<std::size_t>(view.len));
  const int rc = PyBuffer_ToContiguous(bytes.data(), &view, view.len, 'C');
  PyBuffer_Release(&view);
  if (rc != 0) throw py::error_already_set();
  return Variant::fromBytes(tov::ByteArray(std::move(bytes)));
}

Variant pathToVariant(PyObject* object) {
  py::object path = py::reinterpret_steal<py::object>(PyOS_FSPath(object));
  if (!path) throw py::error_already_set();
  if (PyBytes_Check(path.ptr())) {
    path = py::reinterpret_steal<py::object>(
        PyUnicode_DecodeFSDefaultAndSize(PyBytes_AS_STRING(path.ptr()), PyBytes_GET_SIZE(path.ptr())));
    if (!path) throw py::error_already_set();
  }
  return Variant::fromString(textFromPython(path));
}

bool isContainerOrComplex(PyObject* o) {
  return PyList_Check(o) || PyTuple_Check(o) || PyDict_Check(o) || PyAnySet_Check(o) || PyComplex_Check(o);
}

std::string typeNameOf(py::handle value) { return Py_TYPE(value.ptr())->tp_name; }

py::object objectFromUnknown(Unknown* p) {
  if (!p) return py::none();
  if (py::handle original = PythonObjectServer::unwrap(p)) return py::reinterpret_borrow<py::object>(original);
  ComPtr<Dispatch> d;
  if (succeeded(queryInterface(p, kIidDispatch, d.putVoid()))) return py::cast(DispatchProxy(std::move(d)));
  ComPtr<EnumVariant> e;
  if (succeeded(queryInterface(p, kIidEnumVariant, e.putVoid()))) return py::cast(Enumerator(std::move(e)));
  return py::none();
}

[[noreturn]] void raiseOwn(const py::object& cls, HResult hr, std::int32_t number, const std::string& description) {
  py::object error = cls(hr, number, "ferrule0101", description, "", 0);
  PyErr_SetObject(cls.ptr(), error.ptr());
  throw py::error_already_set();
}

}  // namespace

PythonClasses& pythonClasses() {
  // Never destroyed: the interpreter may be gone by the time statics are.
  static auto* classes = new PythonClasses();
  return *classes;
}

std::u16string textFromPython(py::handle str) {
  PyObject* s = str.ptr();
  if (!PyUnicode_Check(s)) throw py::type_error("expected a str");
  const Py_ssize_t n = PyUnicode_GET_LENGTH(s);
  const void* data = PyUnicode_DATA(s);
  std::u16string out;
  switch (PyUnicode_KIND(s)) {
    case PyUnicode_1BYTE_KIND: {
      const auto* p = static_cast<const Py_UCS1*>(data);
      out.assign(p, p + n);
      break;
    }
    case PyUnicode_2BYTE_KIND: {
      // Lone surrogates are stored as they are: they pass unchanged.
      const auto* p = static_cast<const Py_UCS2*>(data);
      out.assign(p, p + n);
      break;
    }
    default: {
      const auto* p = static_cast<const Py_UCS4*>(data);
      out.reserve(static_cast<std::size_t>(n));
      for (Py_ssize_t i = 0; i < n; ++i) {
        const Py_UCS4 cp = p[i];
        if (cp < 0x10000) {
          out.push_back(static_cast<char16_t>(cp));
        } else {
          out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
          out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        }
      }
    }
  }
  return out;
}

py::str textToPython(std::u16string_view text) {
  // Without surrogates every unit is one character: no codec needed.
  if (std::none_of(text.begin(), text.end(), [](char16_t c) { return c >= 0xD800 && c <= 0xDFFF; })) {
    PyObject* s = PyUnicode_FromKindAndData(PyUnicode_2BYTE_KIND, text.data(), static_cast<Py_ssize_t>(text.size()));
    if (!s) throw py::error_already_set();
    return py::reinterpret_steal<py::str>(s);
  }
  int byteOrder = std::endian::native == std::endian::little ? -1 : 1;
  PyObject* s = PyUnicode_DecodeUTF16(reinterpret_cast<const char*>(text.data()),
                                      static_cast<Py_ssize_t>(text.size() * 2), "surrogatepass", &byteOrder);
  if (!s) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(s);
}

Variant toVariant(py::handle value) {
  PyObject* o = value.ptr();
  const PythonClasses& classes = pythonClasses();
  if (PyUnicode_Check(o)) return Variant::fromString(textFromPython(value));
  if (o == Py_None) return Variant();
  if (PyBool_Check(o)) return Variant::fromBool(o == Py_True);
  if (classes.variantBool && PyObject_TypeCheck(o, reinterpret_cast<PyTypeObject*>(classes.variantBool.ptr()))) {
    return Variant::fromBool(PyObject_IsTrue(o) == 1);
  }
  if (PyLong_Check(o)) return integerToVariant(o);
  if (PyFloat_Check(o)) return Variant::fromDouble(PyFloat_AS_DOUBLE(o));
  if (classes.missing && value.is(classes.missing)) return Variant::missing();
  if (py::isinstance<DispatchProxy>(value)) return Variant::fromDispatch(nativeOf<DispatchProxy>(value).object());
  if (PyObject_CheckBuffer(o)) return bufferToVariant(o);
  ensureDateTimeApi();
  if (PyDate_Check(o)) return dateToVariant(value);
  if (isContainerOrComplex(o) || (classes.byRef && py::isinstance(value, classes.byRef))) {
    raiseArgumentTypeError("a " + typeNameOf(value) + " has no automation counterpart");
  }
  if (PyIndex_Check(o)) {
    py::object number = py::reinterpret_steal<py::object>(PyNumber_Index(o));
    if (!number) throw py::error_already_set();
    return integerToVariant(number.ptr());
  }
  if (Py_TYPE(o)->tp_as_number && Py_TYPE(o)->tp_as_number->nb_float) {
    const double d = PyFloat_AsDouble(o);
    if (d == -1.0 && PyErr_Occurred()) throw py::error_already_set();
    return Variant::fromDouble(d);
  }
  if (py::hasattr(value, "__fspath__")) return pathToVariant(o);
  // Anything else goes where an object is expected: the member may call
  // it back.
  return Variant::fromDispatch(PythonObjectServer::wrap(value));
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
    case VarType::String: return textToPython(v.stringValue());
    case VarType::Boolean: return py::bool_(isTrue(v.boolValue()));
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

void raiseComError(const CallError& e, py::handle cause) {
  const auto& r = e.record;
  py::object error = pythonClasses().comError(e.hr, r.number, textToPython(r.source), textToPython(r.description),
                                              textToPython(r.helpFile), r.helpContext);
  if (cause) PyException_SetCause(error.ptr(), py::reinterpret_borrow<py::object>(cause).release().ptr());
  PyErr_SetObject(pythonClasses().comError.ptr(), error.ptr());
  throw py::error_already_set();
}

void raiseArgumentTypeError(const std::string& detail) {
  raiseOwn(pythonClasses().argumentTypeError, kDispETypeMismatch, 13, "Type mismatch: " + detail);
}

void raiseArgumentOverflowError(const std::string& detail) {
  raiseOwn(pythonClasses().argumentOverflowError, kDispEOverflow, tov::errors::kOverflow, "Overflow: " + detail);
}

void raiseObjectNotSet() {
  constexpr std::int32_t kObjectNotSet = 91;
  raiseOwn(pythonClasses().comError, hresultFromErrorNumber(kObjectNotSet), kObjectNotSet,
           tov::platform::toUtf8(tov::standardDescription(kObjectNotSet)) +
               " (this object was made without an automation object behind it)");
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
