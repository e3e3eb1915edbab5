#include "PyServerObject.h"

#include "PyVariant.h"
#include "automation/VariantCoercion.h"
#include "platform/CaseFold.h"
#include "platform/Utf.h"

namespace ferrule_py {
namespace {

using namespace tov::automation;

// Answered only by objects of this class, to find the Python object again
// when it comes back from the library.
constexpr Guid kIidPythonObject = makeGuid("6B0F3A52-94C1-4E0B-9D6A-3E2C51F7A8D4");

constexpr DispId kDispIdPropertyPut = -3;

// No Python code may run once the interpreter is going away.
bool interpreterAlive() {
#if PY_VERSION_HEX >= 0x030D0000
  return Py_IsInitialized() && !Py_IsFinalizing();
#else
  return Py_IsInitialized() && !_Py_IsFinalizing();
#endif
}

// The last callback failure of this thread; a plain reference, since a
// thread-local object would be released after the interpreter lock is gone.
thread_local PyObject* tCallbackException = nullptr;

// Each call back into a script nested in another costs a few kilobytes of
// C stack besides the interpreter's own frames; a script that recurses
// through the library without end gets error 28 long before a thread's
// stack runs out.
constexpr int kMaxNesting = 64;
constexpr std::int32_t kOutOfStackSpace = 28;
thread_local int tNesting = 0;

class NestingGuard {
 public:
  NestingGuard() { ++tNesting; }
  ~NestingGuard() { --tNesting; }
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;
};

PythonObjectServer* self(Dispatch* p) { return objectOf<PythonObjectServer>(p); }

HResult getTypeInfoCountSlot(Dispatch*, std::uint32_t* count) {
  if (!count) return kEPointer;
  *count = 0;
  return kSOk;
}

HResult getTypeInfoSlot(Dispatch*, std::uint32_t, Lcid, TypeInfo** out) {
  if (out) *out = nullptr;
  return kENotImpl;
}

HResult getIDsOfNamesSlot(Dispatch* p, const Guid& riid, const std::u16string_view* names, std::uint32_t count, Lcid,
                          DispId* ids) {
  if (!riid.isNull()) return kDispEUnknownInterface;
  try {
    return self(p)->getIDsOfNames(names, count, ids);
  } catch (...) {
    return kEUnexpected;
  }
}

HResult invokeSlot(Dispatch* p, DispId id, const Guid& riid, Lcid, std::uint16_t flags, DispParams* params,
                   Variant* result, ExcepInfo* excep, std::uint32_t* argErr) {
  if (!riid.isNull()) return kDispEUnknownInterface;
  try {
    return self(p)->invoke(id, flags, params, result, excep, argErr);
  } catch (...) {
    return self(p)->failWithCurrentException();
  }
}

const SlotPtr kSlots[] = {
    reinterpret_cast<SlotPtr>(&unknown_slots::queryInterface),
    reinterpret_cast<SlotPtr>(&unknown_slots::addRef),
    reinterpret_cast<SlotPtr>(&unknown_slots::release),
    reinterpret_cast<SlotPtr>(&getTypeInfoCountSlot),
    reinterpret_cast<SlotPtr>(&getTypeInfoSlot),
    reinterpret_cast<SlotPtr>(&getIDsOfNamesSlot),
    reinterpret_cast<SlotPtr>(&invokeSlot),
};

// The parameter names of a callable, in order, for named arguments.
std::vector<py::str> parameterNames(py::handle callable) {
  py::object parameters = py::module_::import("inspect").attr("signature")(callable).attr("parameters");
  std::vector<py::str> out;
  for (py::handle name : parameters) out.push_back(py::reinterpret_borrow<py::str>(name));
  return out;
}

std::optional<std::size_t> findIgnoringCase(const std::vector<py::str>& names, std::u16string_view wanted) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (tov::platform::equalsIgnoreCase(textFromPython(names[i]), wanted)) return i;
  }
  return std::nullopt;
}

template <typename T>
T attributeOr(const py::object& object, const char* name, T fallback) {
  try {
    py::object value = object.attr(name);
    return value.is_none() ? fallback : value.cast<T>();
  } catch (py::error_already_set&) {
    return fallback;
  } catch (py::cast_error&) {
    return fallback;
  }
}

std::u16string textAttributeOr(const py::object& object, const char* name) {
  try {
    py::object value = object.attr(name);
    return PyUnicode_Check(value.ptr()) ? textFromPython(value) : std::u16string();
  } catch (py::error_already_set&) {
    return {};
  }
}

constexpr std::int32_t kAutomationError = 440;

// A ComError keeps what it says; any other exception is the runtime's
// "Automation error" with the exception's own text.
tov::ErrorRecord recordOf(py::error_already_set& error) {
  tov::ErrorRecord record;
  const py::object value = error.value();
  if (pythonClasses().comError && error.matches(pythonClasses().comError)) {
    record.number = attributeOr<std::int32_t>(value, "number", kAutomationError);
    record.source = textAttributeOr(value, "source");
    record.description = textAttributeOr(value, "description");
    record.helpFile = textAttributeOr(value, "helpfile");
    record.helpContext = attributeOr<std::int32_t>(value, "helpcontext", 0);
    if (record.description.empty()) record.description = tov::standardDescription(record.number);
    return record;
  }
  record.number = kAutomationError;
  record.source = u"Python";
  record.description = tov::platform::fromUtf8(Py_TYPE(value.ptr())->tp_name);
  try {
    const std::u16string text = textFromPython(py::str(value));
    if (!text.empty()) record.description += u": " + text;
  } catch (py::error_already_set&) {
    // The exception cannot say what it is: its type name must do.
  }
  return record;
}

void rememberCallbackException(py::handle exception) {
  Py_XDECREF(tCallbackException);
  tCallbackException = py::reinterpret_borrow<py::object>(exception).release().ptr();
}

// What the script left in a by-reference holder, converted to the type of
// the caller's storage (any type when the caller gave an empty one).
HResult storeWritten(py::handle holder, Variant& storage) {
  Variant written = toVariant(holder.attr("value"));
  const VarType type = storage.type();
  if (type == VarType::Empty || type == written.type()) {
    storage = std::move(written);
    return kSOk;
  }
  Variant converted;
  const HResult hr = changeType(written, type, converted);
  if (succeeded(hr)) storage = std::move(converted);
  return hr;
}

}  // namespace

PythonObjectServer::PythonObjectServer(py::handle object)
    : ComObject(kSlots), object_(py::reinterpret_borrow<py::object>(object)) {}

PythonObjectServer::~PythonObjectServer() {
  if (!interpreterAlive()) {
    // Too late to release them safely: leave them to the process's end.
    for (auto& name : names_) name.release();
    object_.release();
    return;
  }
  py::gil_scoped_acquire gil;
  names_.clear();
  object_ = py::object();
}

ComPtr<Dispatch> PythonObjectServer::wrap(py::handle object) {
  ComPtr<Unknown> made = makeObject<PythonObjectServer>(object);
  return ComPtr<Dispatch>(static_cast<Dispatch*>(made.get()));
}

py::handle PythonObjectServer::unwrap(Unknown* p) {
  ComPtr<Unknown> mine;
  if (!p || failed(tov::automation::queryInterface(p, kIidPythonObject, mine.putVoid()))) return {};
  return objectOf<PythonObjectServer>(mine.get())->object_;
}

bool PythonObjectServer::answersWithPrimary(const Guid& iid) const {
  return iid == kIidDispatch || iid == kIidPythonObject;
}

py::object PythonObjectServer::attributeNamed(std::u16string_view name) const {
  py::str exact = textToPython(name);
  if (PyObject_HasAttr(object_.ptr(), exact.ptr())) return exact;
  py::object names = py::reinterpret_steal<py::object>(PyObject_Dir(object_.ptr()));
  if (!names) throw py::error_already_set();
  for (py::handle candidate : names) {
    if (PyUnicode_Check(candidate.ptr()) && tov::platform::equalsIgnoreCase(textFromPython(candidate), name)) {
      return py::reinterpret_borrow<py::object>(candidate);
    }
  }
  return {};
}

DispId PythonObjectServer::idOf(const py::str& attribute) {
  for (std::size_t i = 0; i < names_.size(); ++i) {
    if (PyUnicode_Compare(names_[i].ptr(), attribute.ptr()) == 0) return static_cast<DispId>(i + 1);
  }
  names_.push_back(attribute);
  return static_cast<DispId>(names_.size());
}

py::object PythonObjectServer::target(DispId id) const {
  if (id == kDispIdValue) return object_;
  if (id < 1 || static_cast<std::size_t>(id) > names_.size()) return {};
  return object_.attr(names_[static_cast<std::size_t>(id) - 1]);
}

HResult PythonObjectServer::getIDsOfNames(const std::u16string_view* names, std::uint32_t count, DispId* ids) {
  if (count == 0) return kSOk;
  if (!names || !ids) return kEPointer;
  for (std::uint32_t i = 0; i < count; ++i) ids[i] = kDispIdUnknown;
  if (!interpreterAlive()) return kEUnexpected;
  py::gil_scoped_acquire gil;
  try {
    py::object attribute = attributeNamed(names[0]);
    if (!attribute) return kDispEUnknownName;
    ids[0] = idOf(py::reinterpret_borrow<py::str>(attribute));
    if (count == 1) return kSOk;
    const std::vector<py::str> params = parameterNames(object_.attr(attribute));
    HResult hr = kSOk;
    for (std::uint32_t i = 1; i < count; ++i) {
      if (auto index = findIgnoringCase(params, names[i])) {
        ids[i] = static_cast<DispId>(*index);
      } else {
        hr = kDispEUnknownName;
      }
    }
    return hr;
  } catch (py::error_already_set&) {
    return kDispEUnknownName;
  }
}

HResult PythonObjectServer::invoke(DispId id, std::uint16_t flags, DispParams* params, Variant* result,
                                   ExcepInfo* excep, std::uint32_t* argErr) {
  const DispParams none;
  const DispParams& p = params ? *params : none;
  if (p.namedCount > p.argCount || (p.argCount > 0 && !p.args) || (p.namedCount > 0 && !p.namedArgs)) {
    return kEInvalidArg;
  }
  if (!interpreterAlive()) return kEUnexpected;
  if (tNesting >= kMaxNesting) return report(tov::standardError(kOutOfStackSpace, u"Python"), excep);
  const NestingGuard nested;
  py::gil_scoped_acquire gil;
  try {
    return call(id, flags, p, result, argErr);
  } catch (py::error_already_set& error) {
    return fail(error, excep);
  }
}

HResult PythonObjectServer::call(DispId id, std::uint16_t flags, const DispParams& p, Variant* result,
                                 std::uint32_t* argErr) {
  if (flags & (kDispatchPropertyPut | kDispatchPropertyPutRef)) {
    if (id < 1 || static_cast<std::size_t>(id) > names_.size()) return kDispEMemberNotFound;
    if (p.argCount != 1 || (p.namedCount == 1 && p.namedArgs[0] != kDispIdPropertyPut)) return kDispEBadParamCount;
    py::setattr(object_, names_[static_cast<std::size_t>(id) - 1], fromVariant(p.args[0]));
    return kSOk;
  }
  py::object callable = target(id);
  if (!callable) return kDispEMemberNotFound;

  // Positional arguments are laid last first, after the named ones.
  const std::uint32_t positional = p.argCount - p.namedCount;
  std::uint32_t given = positional;
  // Trailing omitted arguments are left to the script's own defaults.
  while (given > 0 && p.args[p.argCount - given].isMissing()) --given;
  std::vector<std::pair<py::object, std::uint32_t>> holders;  // holder, index in p.args
  auto argument = [&](std::uint32_t at) -> py::object {
    Variant& v = p.args[at];
    if (!v.isByRef()) return fromVariant(v);
    py::object holder = pythonClasses().byRef(fromVariant(v.deref()));
    holders.emplace_back(holder, at);
    return holder;
  };
  py::tuple args(given);
  for (std::uint32_t i = 0; i < given; ++i) args[i] = argument(p.argCount - 1 - i);
  py::dict kwargs;
  if (p.namedCount > 0) {
    const std::vector<py::str> names = parameterNames(callable);
    for (std::uint32_t k = 0; k < p.namedCount; ++k) {
      const DispId at = p.namedArgs[k];
      if (at < 0 || static_cast<std::size_t>(at) >= names.size()) return kDispEParamNotFound;
      kwargs[names[static_cast<std::size_t>(at)]] = argument(k);
    }
  }

  py::object value;
  const bool readOnly = (flags & kDispatchPropertyGet) && !(flags & kDispatchMethod);
  if (PyCallable_Check(callable.ptr()) && !(readOnly && p.argCount == 0)) {
    value = callable(*args, **kwargs);
  } else if (p.argCount == 0) {
    value = callable;
  } else {
    return kDispEBadParamCount;
  }
  for (auto& [holder, at] : holders) {
    if (HResult hr = storeWritten(holder, p.args[at].deref()); failed(hr)) {
      if (argErr) *argErr = at;
      return hr;
    }
  }
  if (result) *result = toVariant(value);
  return kSOk;
}

HResult PythonObjectServer::fail(py::error_already_set& error, ExcepInfo* excep) {
  rememberCallbackException(error.value());
  return report(recordOf(error), excep);
}

HResult PythonObjectServer::report(tov::ErrorRecord record, ExcepInfo* excep) {
  const HResult hr = record.hresult();
  if (!excep) {
    setLastError(std::move(record));
    return hr;
  }
  excep->code = 0;
  excep->source = std::move(record.source);
  excep->description = std::move(record.description);
  excep->helpFile = std::move(record.helpFile);
  excep->helpContext = static_cast<std::uint32_t>(record.helpContext);
  excep->scode = hr;
  return kDispEException;
}

py::object takeCallbackException() {
  return py::reinterpret_steal<py::object>(std::exchange(tCallbackException, nullptr));
}

void forgetCallbackException() { Py_XDECREF(std::exchange(tCallbackException, nullptr)); }

}  // namespace ferrule_py
