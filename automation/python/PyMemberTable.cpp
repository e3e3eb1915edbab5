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

const MemberDescription* MemberTable::describe(DispId id) const {
  return description_ ? description_->findById(id) : nullptr;
}

}  // namespace ferrule_py
