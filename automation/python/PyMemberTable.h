#pragma once
// What the proxies of one interface know about it: names resolved to
// dispatch ids through GetIDsOfNames (asked once per name, then kept), and
// the interface's description for telling properties from methods. Shared
// by every proxy of the interface.
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
  // The table of the object's interface; an object without type
  // information gets a table of its own that still resolves names.
  static std::shared_ptr<MemberTable> of(tov::automation::Dispatch* object);

  std::optional<tov::automation::DispId> idOf(tov::automation::Dispatch* object, std::u16string_view name);
  // Dispatch ids of named parameters of a member, for named arguments.
  tov::automation::HResult paramIds(tov::automation::Dispatch* object, std::u16string_view member,
                                    const std::vector<std::u16string>& params,
                                    std::vector<tov::automation::DispId>& ids);

  const tov::automation::MemberDescription* describe(tov::automation::DispId id) const;
  const tov::automation::InterfaceDescription* description() const { return description_; }

 private:
  tov::automation::ComPtr<tov::automation::TypeInfo> holder_;
  const tov::automation::InterfaceDescription* description_ = nullptr;
  std::unordered_map<std::u16string, tov::automation::DispId> ids_;
  std::map<std::u16string, std::vector<tov::automation::DispId>> paramIds_;
};

}  // namespace ferrule_py
