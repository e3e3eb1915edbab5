#pragma once
// The server side of every frame object: the reference count, the interface
// pointers it hands out, QueryInterface, and the error information of its
// last failed call.
#include <atomic>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <utility>

#include "automation/ComPtr.h"
#include "automation/Interfaces.h"
#include "support/ErrorRecord.h"

namespace tov::automation {

class ComObject;

// An interface pointer as the object hands it out: the slot table a client
// sees, followed by the object it belongs to.
struct InterfaceEntry : Unknown {
  ComObject* owner;
};

class ComObject {
 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  std::uint32_t addRef();
  std::uint32_t release();
  // IUnknown and the primary interface's identifiers give the primary
  // interface; kIidErrorInfoSource gives the error information.
  HResult queryInterface(const Guid& iid, void** out);

  Unknown* primary() { return &primary_; }
  static ComObject* ownerOf(Unknown* p) { return static_cast<InterfaceEntry*>(p)->owner; }

  // The error of the last failed call, kept until a client takes it.
  void setLastError(ErrorRecord record);
  std::optional<ErrorRecord> takeLastError();
  // Records the exception being handled (inside a catch block) as this
  // object's error and gives the result code of the failed call.
  HResult failWithCurrentException();

 protected:
  explicit ComObject(const SlotPtr* primaryTable);
  virtual ~ComObject();
  virtual bool answersWithPrimary(const Guid& iid) const = 0;
  // The source named by errors the frame itself raises for this object.
  virtual std::u16string errorSource() const { return {}; }

 private:
  InterfaceEntry primary_;
  InterfaceEntry errorSource_;
  std::atomic<std::uint32_t> refs_{0};
  // Most objects never fail a call, and lists hold many of them: the record
  // is allocated only when there is an error to keep.
  std::unique_ptr<ErrorRecord> lastError_;
};

// The three Unknown slots, shared by every table the frame builds.
namespace unknown_slots {
HResult TOV_SLOTCALL queryInterface(Unknown* self, const Guid& iid, void** out);
std::uint32_t TOV_SLOTCALL addRef(Unknown* self);
std::uint32_t TOV_SLOTCALL release(Unknown* self);
}  // namespace unknown_slots

// A new object of type T holding its first reference.
template <typename T, typename... Args>
ComPtr<Unknown> makeObject(Args&&... args) {
  T* object = new T(std::forward<Args>(args)...);
  return ComPtr<Unknown>(object->primary());
}

// A new object of type T, asked for `iid`; the object goes again when the
// request fails.
template <typename T, typename... Args>
HResult createObject(const Guid& iid, void** out, Args&&... args) {
  if (!out) return kEPointer;
  *out = nullptr;
  try {
    ComPtr<Unknown> object = makeObject<T>(std::forward<Args>(args)...);
    return queryInterface(object.get(), iid, out);
  } catch (const std::bad_alloc&) {
    return kEOutOfMemory;
  }
}

// The C++ object behind an interface pointer the frame handed out.
template <typename T>
T* objectOf(Unknown* p) {
  return static_cast<T*>(ComObject::ownerOf(p));
}

}  // namespace tov::automation
