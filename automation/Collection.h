#pragma once
// The runtime's collection: an ordered list of Variants numbered from 1,
// each optionally under a text key compared without letter case, with
// for-each through an enumerator that visits the members in order.
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "automation/DispatchObject.h"

namespace tov::automation {

class Collection : public DispatchObject {
 public:
  // `errorSource` names the source of the errors the collection raises
  // (subscript out of range and the like); a library passes its own name.
  explicit Collection(std::u16string_view errorSource = u"Collection");

  static ComPtr<Dispatch> create(std::u16string_view errorSource = u"Collection");

  // The interface's members.
  void Add(const Variant& Item, const Variant& Key, const Variant& Before, const Variant& After);
  std::int32_t Count() const { return static_cast<std::int32_t>(entries_.size()); }
  Variant Item(const Variant& Index) const;
  void Remove(const Variant& Index);
  ComPtr<Unknown> NewEnum();

  // For C++ owners: appends under an optional key; position from 1.
  void append(Variant item, std::u16string_view key = {});
  const Variant& at(std::int32_t position) const;

 private:
  struct Entry {
    Variant value;
    std::u16string key;  // folded; empty for no key
  };

  std::size_t indexOf(const Variant& index) const;
  std::size_t insertionPoint(const Variant& before, const Variant& after) const;

  std::vector<Entry> entries_;
  std::unordered_set<std::u16string> keys_;
};

// Error 457, raised for a key already in the collection.
inline constexpr std::int32_t kErrorKeyInUse = 457;

}  // namespace tov::automation
