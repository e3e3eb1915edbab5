#include "ui/HandleTable.h"

#include <unordered_map>
#include <variant>

namespace tov::ui {
namespace {

using Entry = std::variant<Form*, Control*>;

struct Table {
  std::unordered_map<Handle, Entry> entries;
  // Never reused within a run, so a stale handle finds nothing.
  Handle next = 0x10000;
};

Table& table() {
  static Table t;
  return t;
}

Handle insert(Entry entry) {
  Table& t = table();
  Handle h = t.next;
  t.next += 2;
  t.entries.emplace(h, entry);
  return h;
}

template <typename T>
T* find(Handle handle) {
  auto& entries = table().entries;
  auto it = entries.find(handle);
  if (it == entries.end()) return nullptr;
  T* const* p = std::get_if<T*>(&it->second);
  return p ? *p : nullptr;
}

}  // namespace

Handle HandleTable::add(Form* form) { return insert(form); }
Handle HandleTable::add(Control* control) { return insert(control); }
void HandleTable::remove(Handle handle) { table().entries.erase(handle); }
Form* HandleTable::form(Handle handle) { return find<Form>(handle); }
Control* HandleTable::control(Handle handle) { return find<Control>(handle); }

}  // namespace tov::ui
