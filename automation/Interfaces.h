#pragma once
// The binary shape of the frame's interfaces. An interface pointer points at
// a structure whose first member is a table of slots; slots 0-2 are the
// reference-counting trio, a dispatch interface has its four dispatch slots
// at 3-6 and the interface's own members from slot 7 on, in their declared
// order. Callers reach every member through this table, by slot number
// (early binding) or through Invoke (late binding).
//
// Values cross as the frame's own C++ types (Variant, ByteArray,
// std::u16string); both sides are built from these headers.
#include <cstdint>
#include <string>
#include <string_view>

#include "automation/Guid.h"
#include "automation/HResult.h"
#include "support/AutomationDate.h"

namespace tov { struct ErrorRecord; }

namespace tov::automation {

class Variant;
struct InterfaceDescription;
struct TypeLibraryDescription;

// The calling convention of every slot function: empty here; the 32-bit
// Windows tables are called with __stdcall.
#ifndef TOV_SLOTCALL
#if defined(_WIN32)
#define TOV_SLOTCALL __stdcall
#else
#define TOV_SLOTCALL
#endif
#endif

using SlotPtr = void (*)();
using DispId = std::int32_t;
using Lcid = std::uint32_t;

struct Unknown {
  const SlotPtr* vtbl;
};
struct Dispatch : Unknown {};
struct EnumVariant : Unknown {};
struct ClassFactory : Unknown {};
struct TypeInfo : Unknown {};
struct ErrorInfoSource : Unknown {};

// The automation Boolean: True is all bits set. Its own type, so a 16-bit
// Integer and a Boolean never mix up in a signature.
enum class VariantBool : std::int16_t { False = 0, True = -1 };
constexpr VariantBool toVariantBool(bool b) { return b ? VariantBool::True : VariantBool::False; }
constexpr bool isTrue(VariantBool b) { return b != VariantBool::False; }

// An automation date: days since 30 December 1899, time as the fraction.
// The value type lives below the frame, so the library's core classes make
// dates without seeing the frame.
using Date = tov::Date;

inline constexpr DispId kDispIdValue = 0;
inline constexpr DispId kDispIdNewEnum = -4;
inline constexpr DispId kDispIdUnknown = -1;

inline constexpr std::uint16_t kDispatchMethod = 1;
inline constexpr std::uint16_t kDispatchPropertyGet = 2;
inline constexpr std::uint16_t kDispatchPropertyPut = 4;
inline constexpr std::uint16_t kDispatchPropertyPutRef = 8;

inline constexpr Lcid kLcidUser = 0x0400;

// Arguments of Invoke as automation lays them out: `args` holds the named
// arguments first (matching `namedArgs`), then the positional ones in
// reverse order, the last argument first.
struct DispParams {
  Variant* args = nullptr;
  const DispId* namedArgs = nullptr;
  std::uint32_t argCount = 0;
  std::uint32_t namedCount = 0;
};

// What Invoke reports with kDispEException: the raised error.
struct ExcepInfo {
  std::uint16_t code = 0;
  std::u16string source;
  std::u16string description;
  std::u16string helpFile;
  std::uint32_t helpContext = 0;
  HResult scode = kSOk;
};

namespace slots {
inline constexpr int kQueryInterface = 0;
inline constexpr int kAddRef = 1;
inline constexpr int kRelease = 2;
inline constexpr int kGetTypeInfoCount = 3;
inline constexpr int kGetTypeInfo = 4;
inline constexpr int kGetIDsOfNames = 5;
inline constexpr int kInvoke = 6;
// Member n (1-based, as the interface lists it) sits at kFirstMember + n - 1.
inline constexpr int kFirstMember = 7;
inline constexpr int member(int n) { return kFirstMember + n - 1; }

inline constexpr int kEnumNext = 3;
inline constexpr int kEnumSkip = 4;
inline constexpr int kEnumReset = 5;
inline constexpr int kEnumClone = 6;

inline constexpr int kCreateInstance = 3;
inline constexpr int kLockServer = 4;

inline constexpr int kGetInterfaceDescription = 3;
inline constexpr int kGetLibraryDescription = 4;

inline constexpr int kGetErrorInfo = 3;
}  // namespace slots

using QueryInterfaceFn = HResult (TOV_SLOTCALL*)(Unknown*, const Guid&, void**);
using AddRefFn = std::uint32_t (TOV_SLOTCALL*)(Unknown*);
using ReleaseFn = std::uint32_t (TOV_SLOTCALL*)(Unknown*);
using GetTypeInfoCountFn = HResult (TOV_SLOTCALL*)(Dispatch*, std::uint32_t*);
using GetTypeInfoFn = HResult (TOV_SLOTCALL*)(Dispatch*, std::uint32_t, Lcid, TypeInfo**);
using GetIDsOfNamesFn = HResult (TOV_SLOTCALL*)(Dispatch*, const Guid&, const std::u16string_view*, std::uint32_t, Lcid,
                                    DispId*);
using InvokeFn = HResult (TOV_SLOTCALL*)(Dispatch*, DispId, const Guid&, Lcid, std::uint16_t, DispParams*, Variant*,
                             ExcepInfo*, std::uint32_t*);
using EnumNextFn = HResult (TOV_SLOTCALL*)(EnumVariant*, std::uint32_t, Variant*, std::uint32_t*);
using EnumSkipFn = HResult (TOV_SLOTCALL*)(EnumVariant*, std::uint32_t);
using EnumResetFn = HResult (TOV_SLOTCALL*)(EnumVariant*);
using EnumCloneFn = HResult (TOV_SLOTCALL*)(EnumVariant*, EnumVariant**);
using CreateInstanceFn = HResult (TOV_SLOTCALL*)(ClassFactory*, Unknown*, const Guid&, void**);
using LockServerFn = HResult (TOV_SLOTCALL*)(ClassFactory*, std::int32_t);
using GetInterfaceDescriptionFn = HResult (TOV_SLOTCALL*)(TypeInfo*, const InterfaceDescription**);
using GetLibraryDescriptionFn = HResult (TOV_SLOTCALL*)(TypeInfo*, const TypeLibraryDescription**);
// S_OK and the error of the object's last failed call (then forgotten), or
// S_FALSE when there is none.
using GetErrorInfoFn = HResult (TOV_SLOTCALL*)(ErrorInfoSource*, ErrorRecord*);

// The standard interface identifiers keep their well-known values; the
// frame's own two interfaces have identifiers of their own.
inline constexpr Guid kIidUnknown = makeGuid("00000000-0000-0000-C000-000000000046");
inline constexpr Guid kIidClassFactory = makeGuid("00000001-0000-0000-C000-000000000046");
inline constexpr Guid kIidDispatch = makeGuid("00020400-0000-0000-C000-000000000046");
inline constexpr Guid kIidEnumVariant = makeGuid("00020404-0000-0000-C000-000000000046");
inline constexpr Guid kIidTypeInfo = makeGuid("45F17489-388C-401F-84B2-12A3633878E9");
inline constexpr Guid kIidErrorInfoSource = makeGuid("31C30CE8-56A5-48A2-A0A0-1DD43B015536");

template <typename Fn, typename I>
Fn slotOf(I* p, int index) {
  return reinterpret_cast<Fn>(p->vtbl[index]);
}

inline HResult queryInterface(Unknown* p, const Guid& iid, void** out) {
  return slotOf<QueryInterfaceFn>(p, slots::kQueryInterface)(p, iid, out);
}
inline std::uint32_t addRef(Unknown* p) { return slotOf<AddRefFn>(p, slots::kAddRef)(p); }
inline std::uint32_t release(Unknown* p) { return slotOf<ReleaseFn>(p, slots::kRelease)(p); }

}  // namespace tov::automation
