#pragma once
// Base of every object with a dispatch interface: its table comes from an
// InterfaceBinding, and GetTypeInfo, GetIDsOfNames and Invoke are served
// from the interface's description.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "automation/ComObject.h"
#include "automation/InterfaceBinding.h"

namespace tov::automation {

class DispatchObject : public ComObject {
 public:
  Dispatch* dispatch() { return static_cast<Dispatch*>(primary()); }
  const InterfaceBinding& binding() const { return binding_; }

  HResult getTypeInfo(std::uint32_t index, TypeInfo** out);
  HResult getIDsOfNames(const Guid& riid, const std::u16string_view* names, std::uint32_t count, DispId* ids) const;
  HResult invoke(DispId id, const Guid& riid, std::uint16_t flags, DispParams* params, Variant* result,
                 ExcepInfo* excep, std::uint32_t* argErr);

 protected:
  // `className` names the object in the errors the frame raises for it.
  DispatchObject(const InterfaceBinding& binding, std::u16string_view className);
  bool answersWithPrimary(const Guid& iid) const override { return binding_.answersTo(iid); }
  std::u16string errorSource() const override { return std::u16string(className_); }

  // Raises the runtime's standard error `number` with this class as source.
  [[noreturn]] void raise(std::int32_t number) const;
  // For members declared in the interface whose implementation this build
  // does not have yet: error 445, naming the member.
  [[noreturn]] void raiseNotAvailable(std::u16string_view member) const;

 private:
  const InterfaceBinding& binding_;
  std::u16string_view className_;
};

// A new object of type T, as its dispatch interface.
template <typename T, typename... Args>
ComPtr<Dispatch> makeDispatch(Args&&... args) {
  ComPtr<Unknown> object = makeObject<T>(std::forward<Args>(args)...);
  return ComPtr<Dispatch>(objectOf<T>(object.get())->dispatch());
}

// Slots 0-6 of every dispatch table.
std::span<const SlotPtr> dispatchSlotTable();

// Error 445, the runtime's "Object doesn't support this action".
inline constexpr std::int32_t kErrorActionNotSupported = 445;

}  // namespace tov::automation
