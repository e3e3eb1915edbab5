#include "PyMemberTable.h"

#include "automation/DispatchClient.h"
#include "platform/CaseFold.h"

namespace ferrule_py {
namespace {

using namespace tov::automation;

std::u16string fold(std::u16string_view s) {
  std::u16string out(s);
  for (char16_t& c : out) c = tov::platform::foldCase(c);
  return out;
}

}  // namespace

std::shared_ptr<MemberTable> MemberTable::of(Dispatch* object) {
  // Kept for the life of the process: the interpreter may outlive nothing
  // here, and the libraries the descriptions live in stay loaded.
  static auto* tables = new std::map<const InterfaceDescription*, std::shared_ptr<MemberTable>>();
  ComPtr<TypeInfo> holder;
  const InterfaceDescription* description = nullptr;
  if (failed(DispatchClient(ComPtr<Dispatch>(object)).typeInfo(holder, &description)) || !description) {
    return std::make_shared<MemberTable>();
  }
  auto& table = (*tables)[description];
  if (!table) {
    table = std::make_shared<MemberTable>();
    table->holder_ = std::move(holder);
    table->description_ = description;
  }
  return table;
}

std::optional<DispId> MemberTable::idOf(Dispatch* object, std::u16string_view name) {
  const std::u16string key = fold(name);
  if (auto it = ids_.find(key); it != ids_.end()) return it->second;
  std::vector<DispId> ids;
  if (failed(DispatchClient(ComPtr<Dispatch>(object)).idsOf(name, {}, ids))) return std::nullopt;
  ids_.emplace(key, ids[0]);
  return ids[0];
}

HResult MemberTable::paramIds(Dispatch* object, std::u16string_view member, const std::vector<std::u16string>& params,
                              std::vector<DispId>& ids) {
  std::u16string key = fold(member);
  for (const auto& p : params) key += u"\n" + fold(p);
  if (auto it = paramIds_.find(key); it != paramIds_.end()) {
    ids = it->second;
    return kSOk;
  }
  const std::vector<std::u16string_view> views(params.begin(), params.end());
  std::vector<DispId> all;
  const HResult hr = DispatchClient(ComPtr<Dispatch>(object)).idsOf(member, views, all);
  if (failed(hr)) return hr;
  ids.assign(all.begin() + 1, all.end());
  paramIds_.emplace(std::move(key), ids);
  return kSOk;
}

MemberTable::~MemberTable() {
  // Tables of interfaces live as long as the process; a table of its own
  // goes with its object, under the interpreter lock.
  if (byName_ && Py_IsInitialized()) Py_DECREF(byName_);
}

const MemberTable::Resolved* MemberTable::cached(PyObject* name) const {
  if (!byName_) return nullptr;
  PyObject* index = PyDict_GetItemWithError(byName_, name);
  if (!index) {
    if (PyErr_Occurred()) throw pybind11::error_already_set();
    return nullptr;
  }
  return resolved_[PyLong_AsSize_t(index)].get();
}

const MemberTable::Resolved* MemberTable::resolve(Dispatch* object, PyObject* name, std::u16string wide) {
  const std::optional<DispId> id = idOf(object, wide);
  if (!id) return nullptr;
  const MemberDescription* member = describe(*id);
  const bool readAtOnce = member && member->kind == MemberKind::PropertyGet && member->requiredCount() == 0;
  if (!byName_) {
    byName_ = PyDict_New();
    if (!byName_) throw pybind11::error_already_set();
  }
  pybind11::object index = pybind11::reinterpret_steal<pybind11::object>(PyLong_FromSize_t(resolved_.size()));
  if (!index || PyDict_SetItem(byName_, name, index.ptr()) != 0) throw pybind11::error_already_set();
  resolved_.push_back(std::make_unique<Resolved>(Resolved{*id, readAtOnce, std::move(wide)}));
  return resolved_.back().get();
}

const MemberDescription* MemberTable::describe(DispId id) const {
  return description_ ? description_->findById(id) : nullptr;
}

}  // namespace ferrule_py
