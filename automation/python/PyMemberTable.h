#pragma once
// What the proxies of one interface know about it: names resolved to
// dispatch ids through GetIDsOfNames (asked once per name, then kept), and
// the interface's description for telling properties from methods. Shared
// by every proxy of the interface.
#include <pybind11/pybind11.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "automation/ComPtr.h"
#include "automation/TypeDescription.h"

namespace ferrule_py {

class MemberTable {
 public:
  // A member as a script's attribute name found it, kept under that exact
  // name so the next access with it costs one dictionary lookup.
  struct Resolved {
    tov::automation::DispId id;
    bool readAtOnce;  // a property without required parameters: the attribute is its value
    std::u16string name;
  };

  MemberTable() = default;
  ~MemberTable();
  MemberTable(const MemberTable&) = delete;
  MemberTable& operator=(const MemberTable&) = delete;

  // The table of the object's interface; an object without type
  // information gets a table of its own that still resolves names.
  static std::shared_ptr<MemberTable> of(tov::automation::Dispatch* object);

  std::optional<tov::automation::DispId> idOf(tov::automation::Dispatch* object, std::u16string_view name);
  // Dispatch ids of named parameters of a member, for named arguments.
  tov::automation::HResult paramIds(tov::automation::Dispatch* object, std::u16string_view member,
                                    const std::vector<std::u16string>& params,
                                    std::vector<tov::automation::DispId>& ids);

  // What `name` (a str) resolved to before, or null.
  const Resolved* cached(PyObject* name) const;
  // The member `name` stands for, resolved by name when it is new here;
  // null when the object has no such member.
  const Resolved* resolve(tov::automation::Dispatch* object, PyObject* name, std::u16string wide);

  const tov::automation::MemberDescription* describe(tov::automation::DispId id) const;
  const tov::automation::InterfaceDescription* description() const { return description_; }

 private:
  tov::automation::ComPtr<tov::automation::TypeInfo> holder_;
  const tov::automation::InterfaceDescription* description_ = nullptr;
  std::unordered_map<std::u16string, tov::automation::DispId> ids_;
  std::map<std::u16string, std::vector<tov::automation::DispId>> paramIds_;
  std::vector<std::unique_ptr<Resolved>> resolved_;
  PyObject* byName_ = nullptr;  // dict: attribute name -> index in resolved_
};

}  // namespace ferrule_py
