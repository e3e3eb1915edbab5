// The native half of the ferrule0101 package: proxies, iterators, object
// creation through the component registry.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "PyBoundMember.h"
#include "PyDispatchProxy.h"
#include "PyEnumerator.h"
#include "PyVariant.h"
#include "automation/Collection.h"
#include "automation/ComponentLoader.h"
#include "automation/PictureObject.h"
#include "automation/RegistrySearch.h"
#include "platform/Path.h"
#include "platform/Utf.h"
#include "support/IconFile.h"

namespace ferrule_py {
namespace {

using namespace tov::automation;

DispatchProxy createProxy(py::handle progId) {
  if (!PyUnicode_Check(progId.ptr())) raiseArgumentTypeError("a ProgID or class id is text");
  HResult hr = kSOk;
  ComPtr<Dispatch> object = createDispatchObject(textFromPython(progId), hr);
  if (!object) {
    CallError e;
    e.hr = hr;
    e.record.number = errorNumberFromHResult(hr);
    e.record.description = tov::platform::fromUtf8(lastCreationMessage());
    raiseComError(e);
  }
  return DispatchProxy(std::move(object));
}

std::vector<py::str> applicationObjects(py::handle library) {
  std::vector<py::str> out;
  if (!PyUnicode_Check(library.ptr())) return out;
  if (auto record = RegistrySearch::standard().findTypeLibrary(textFromPython(library)).value) {
    for (const auto& progId : record->appObjects) out.push_back(textToPython(progId));
  }
  return out;
}

void install(py::dict classes) {
  PythonClasses& c = pythonClasses();
  c.comError = classes["ComError"];
  c.argumentTypeError = classes["ArgumentTypeError"];
  c.argumentOverflowError = classes["ArgumentOverflowError"];
  c.variantBool = classes["VariantBool"];
  c.byRef = classes["ByRef"];
  c.missing = classes["Missing"];
}

// Each method reaches its C++ object through nativeOf, which refuses a
// Python object made without one instead of using uninitialised memory.
template <typename T, typename R, typename... A>
auto checked(R (T::*method)(A...)) {
  return [method](py::handle self, A... a) -> R { return (nativeOf<T>(self).*method)(std::forward<A>(a)...); };
}
template <typename T, typename R, typename... A>
auto checked(R (T::*method)(A...) const) {
  return [method](py::handle self, A... a) -> R { return (nativeOf<T>(self).*method)(std::forward<A>(a)...); };
}

// The body of a type slot written in C: a C++ exception leaves it as the
// Python error pybind11 makes of it for its own functions.
template <typename Body>
PyObject* asSlot(Body&& body) {
  try {
    return body();
  } catch (py::error_already_set& e) {
    e.restore();
  } catch (...) {
    if (!py::detail::apply_exception_translators(py::detail::get_local_internals().registered_exception_translators) &&
        !py::detail::apply_exception_translators(py::detail::get_internals().registered_exception_translators)) {
      PyErr_SetString(PyExc_SystemError, "an unexpected C++ exception left the client");
    }
  }
  return nullptr;
}

bool startsWithUnderscore(PyObject* name, Py_ssize_t count) {
  if (PyUnicode_GET_LENGTH(name) < count) return false;
  for (Py_ssize_t i = 0; i < count; ++i) {
    if (PyUnicode_READ_CHAR(name, i) != '_') return false;
  }
  return true;
}

// Attribute access on a proxy. Names of the package's own (its methods, the
// protocol names) all start with "_" and are looked up as on any object;
// every other name is a member, asked for straight away instead of after
// Python's own lookup has failed and built its AttributeError.
PyObject* dispatchGetAttr(PyObject* self, PyObject* name) {
  if (!PyUnicode_Check(name) || startsWithUnderscore(name, 1)) {
    PyObject* found = PyObject_GenericGetAttr(self, name);
    if (found || !PyUnicode_Check(name) || startsWithUnderscore(name, 2) ||
        !PyErr_ExceptionMatches(PyExc_AttributeError)) {
      return found;
    }
    PyErr_Clear();  // a member whose name starts with "_"
  }
  return asSlot([&] { return nativeOf<DispatchProxy>(self).getattr(name).release().ptr(); });
}

// for ... in: the end is a plain null, not a StopIteration to build.
PyObject* enumeratorNext(PyObject* self) {
  return asSlot([&] { return nativeOf<Enumerator>(self).nextOrNull().release().ptr(); });
}

template <typename Slot>
void setSlot(py::handle cls, Slot PyTypeObject::*slot, Slot function) {
  auto* type = reinterpret_cast<PyTypeObject*>(cls.ptr());
  type->*slot = function;
  PyType_Modified(type);
}

void setInstanceProperty(py::handle cls, const char* name, py::cpp_function getter) {
  py::object property = py::module_::import("builtins").attr("property")(getter);
  auto* type = reinterpret_cast<PyTypeObject*>(cls.ptr());
  if (PyDict_SetItemString(type->tp_dict, name, property.ptr()) != 0) throw py::error_already_set();
  PyType_Modified(type);
}

// A picture of the PNG image in a file (its name as the file system's
// bytes); with no name, the empty picture.
DispatchProxy loadPicture(const py::bytes& path) {
  const std::string name = path;
  try {
    return DispatchProxy(PictureObject::create(name.empty() ? tov::IconImage()
                                                            : tov::loadIconFile(tov::platform::fromNativePath(name))));
  } catch (const tov::RuntimeError& e) {
    raiseComError(CallError{e.record().hresult(), e.record()});
  }
}

}  // namespace
}  // namespace ferrule_py

PYBIND11_MODULE(_native, m) {
  using namespace ferrule_py;
  m.doc() = "Native part of the ferrule0101 automation client";

  py::class_<DispatchProxy> dispatch(m, "Dispatch");
  // __getattr__ stays callable by name; attribute access itself goes
  // through dispatchGetAttr, set as the type's slot after every def.
  dispatch.def("__getattr__", checked(&DispatchProxy::getattr))
      .def("__setattr__", checked(&DispatchProxy::setattr))
      .def("__call__", checked(&DispatchProxy::call))
      .def("__getitem__", checked(&DispatchProxy::getitem))
      .def("__iter__", checked(&DispatchProxy::iter))
      .def("__dir__", checked(&DispatchProxy::dir))
      .def("__repr__", checked(&DispatchProxy::repr))
      // Comparing never fails: an object made without one is only itself.
      .def("__eq__",
           [](py::handle self, py::handle other) {
             const DispatchProxy* p = nativeOrNull<DispatchProxy>(self);
             return p ? p->equals(other) : self.is(other);
           })
      .def("__hash__",
           [](py::handle self) {
             const DispatchProxy* p = nativeOrNull<DispatchProxy>(self);
             return p ? p->hash() : std::hash<const void*>()(self.ptr());
           })
      .def("_has_member", checked(&DispatchProxy::hasMember))
      .def("_doc", checked(&DispatchProxy::doc));
  setSlot(dispatch, &PyTypeObject::tp_getattro, &dispatchGetAttr);

  // __get__ makes a member a routine to inspect and pydoc, which then show
  // its signature; a member is already bound to its object.
  py::class_<BoundMember> member(m, "Member");
  member.def("__call__", checked(&BoundMember::call))
      .def("__get__", [](py::object self, py::handle, py::handle) { return self; }, py::arg("instance"),
           py::arg("owner") = py::none())
      .def("_describe", checked(&BoundMember::describe));
  // Each member's own name; set in the class's dictionary, since the
  // class's own __name__ is not assignable.
  setInstanceProperty(member, "__name__", py::cpp_function(checked(&BoundMember::name)));

  py::class_<Enumerator> enumerator(m, "Enumerator");
  enumerator.def("__iter__", [](py::object self) { return self; }).def("__next__", checked(&Enumerator::next));
  setSlot(enumerator, &PyTypeObject::tp_iternext, &enumeratorNext);

  m.def("create_object", &createProxy, py::arg("progid"));
  m.def("new_collection", [] { return DispatchProxy(tov::automation::Collection::create()); });
  m.def("application_objects", &applicationObjects, py::arg("library"));
  m.def("free_unused_libraries", &tov::automation::CoFreeUnusedLibraries);
  m.def("load_picture", &loadPicture, py::arg("path"));
  m.def("_install", &install);
}
