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
#include "platform/Utf.h"

namespace ferrule_py {
namespace {

using namespace tov::automation;

DispatchProxy createProxy(const std::string& progId) {
  HResult hr = kSOk;
  ComPtr<Dispatch> object = createDispatchObject(tov::platform::fromUtf8(progId), hr);
  if (!object) {
    CallError e;
    e.hr = hr;
    e.record.number = errorNumberFromHResult(hr);
    e.record.description = tov::platform::fromUtf8(lastCreationMessage());
    raiseComError(e);
  }
  return DispatchProxy(std::move(object));
}

std::vector<std::string> applicationObjects(const std::string& library) {
  std::vector<std::string> out;
  if (auto record = ComponentRegistry().findTypeLibrary(tov::platform::fromUtf8(library))) {
    for (const auto& progId : record->appObjects) out.push_back(tov::platform::toUtf8(progId));
  }
  return out;
}

void install(py::object comError, py::object variantBool, py::object byRef, py::object missing) {
  PythonClasses& c = pythonClasses();
  c.comError = std::move(comError);
  c.variantBool = std::move(variantBool);
  c.byRef = std::move(byRef);
  c.missing = std::move(missing);
}

}  // namespace
}  // namespace ferrule_py

PYBIND11_MODULE(_native, m) {
  using namespace ferrule_py;
  m.doc() = "Native part of the ferrule0101 automation client";

  py::class_<DispatchProxy>(m, "Dispatch")
      .def("__getattr__", &DispatchProxy::getattr)
      .def("__setattr__", &DispatchProxy::setattr)
      .def("__call__", &DispatchProxy::call)
      .def("__getitem__", &DispatchProxy::getitem)
      .def("__iter__", &DispatchProxy::iter)
      .def("__dir__", &DispatchProxy::dir)
      .def("__repr__", &DispatchProxy::repr)
      .def("__eq__", &DispatchProxy::equals)
      .def("__hash__", &DispatchProxy::hash)
      .def("_has_member", &DispatchProxy::hasMember);

  py::class_<BoundMember>(m, "Member").def("__call__", &BoundMember::call).def("__repr__", &BoundMember::repr);

  py::class_<Enumerator>(m, "Enumerator")
      .def("__iter__", [](py::object self) { return self; })
      .def("__next__", &Enumerator::next);

  m.def("create_object", &createProxy, py::arg("progid"));
  m.def("new_collection", [] { return DispatchProxy(tov::automation::Collection::create()); });
  m.def("application_objects", &applicationObjects, py::arg("library"));
  m.def("free_unused_libraries", &tov::automation::CoFreeUnusedLibraries);
  m.def("_install", &install);
}
