#pragma once
// A Python object served as an automation object, so a script can pass any
// object where a member expects one (a callback above all). Its names are
// the Python object's attributes, found without letter case; Invoke calls
// a method or reads an attribute under the interpreter lock, hands
// by-reference arguments over as ByRef holders and writes what the script
// left in them back converted to the caller's type. A Python exception
// becomes the call's error: a ComError keeps its fields, anything else is
// error 440 with the exception's text.
//
// It answers IDispatch only, so a library calls it by name.
#include <pybind11/pybind11.h>

#include <string>
#include <vector>

#include "automation/ComObject.h"

namespace ferrule_py {

namespace py = pybind11;

class PythonObjectServer : public tov::automation::ComObject {
 public:
  explicit PythonObjectServer(py::handle object);

  static tov::automation::ComPtr<tov::automation::Dispatch> wrap(py::handle object);
  // The Python object behind `p` when it is one of these, else a null handle.
  static py::handle unwrap(tov::automation::Unknown* p);

  tov::automation::HResult getIDsOfNames(const std::u16string_view* names, std::uint32_t count,
                                         tov::automation::DispId* ids);
  tov::automation::HResult invoke(tov::automation::DispId id, std::uint16_t flags,
                                  tov::automation::DispParams* params, tov::automation::Variant* result,
                                  tov::automation::ExcepInfo* excep, std::uint32_t* argErr);

 protected:
  ~PythonObjectServer() override;
  bool answersWithPrimary(const tov::automation::Guid& iid) const override;
  std::u16string errorSource() const override { return u"Python"; }

 private:
  // The attribute a name stands for: the exact name first, then one that
  // differs only in letter case.
  py::object attributeNamed(std::u16string_view name) const;
  tov::automation::DispId idOf(const py::str& attribute);
  py::object target(tov::automation::DispId id) const;
  tov::automation::HResult call(tov::automation::DispId id, std::uint16_t flags,
                                const tov::automation::DispParams& params, tov::automation::Variant* result,
                                std::uint32_t* argErr);
  tov::automation::HResult fail(py::error_already_set& error, tov::automation::ExcepInfo* excep);
  // The error as Invoke reports it: in `excep` when given, else kept as
  // this object's error information.
  tov::automation::HResult report(tov::ErrorRecord record, tov::automation::ExcepInfo* excep);

  py::object object_;
  std::vector<py::str> names_;  // dispatch id n is names_[n - 1]
};

// The Python exception behind the last callback failure on this thread,
// taken once (a null object when there was none), so the client can chain
// it to the ComError it raises, or re-raise an interrupt as it was.
py::object takeCallbackException();
void forgetCallbackException();

}  // namespace ferrule_py
